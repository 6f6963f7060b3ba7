// The player's language: Japanese, the language the program is written in, or English.
//
// Contract
//   The language follows the desktop and is read once, at the start, from
//   QLocale::system().uiLanguages(): Qt reads LANGUAGE first (a list, "fr:ja"), then the first
//   of LC_ALL, LC_MESSAGES and LANG that is set. The program has no option of its own.
//   The first entry of that list that names Japanese, English or the C/POSIX locale decides:
//   Japanese, and C or POSIX (a desktop with no language set), give Japanese; English gives
//   English. A list that names none of them (a German desktop) gives English.
//   Japanese: the program's texts are its source texts, so nothing of the program is loaded;
//   Qt's own texts (message-box buttons, the file dialog, a text box's menu) come from Qt's
//   qtbase_ja. English: the program's English (tavorin_en, compiled into the program) and Qt's
//   qtbase_en. Qt's files are read from its translations folder (Debian: qt6-translations-l10n);
//   without them Qt's texts stay in English.
//   The resource library is asked for its strings in the same language (modCommon::GetResStr).
#pragma once

#include <QStringList>

namespace language {

enum class Choice { Japanese, English };

// The language the desktop's list of user-interface languages (as uiLanguages() gives it) asks for.
Choice fromUiLanguages(const QStringList& uiLanguages);

// Chooses the language from the desktop and installs the translations into the running
// application, which owns them from then on. Call once, before the first window is made.
Choice install();

// The language install() chose; Japanese before it (as in the tests of the windows).
Choice current();

}  // namespace language
