// The per-user settings store: string values addressed by application, section and key.
//
// Contract
//   - The store is one JSON file, StorePath(): "$XDG_CONFIG_HOME/tavorin/settings.json"
//     (~/.config when XDG_CONFIG_HOME is unset or not absolute), holding
//     { "<application>": { "<section>": { "<key>": "<value>" } } }. Values are kept exactly:
//     any Unicode text, surrounding spaces included.
//   - GetSetting reads the file afresh on every call (another program may edit it between
//     runs). An absent file, key or section, or a file that cannot be read or parsed (corrupt,
//     unreadable, not an object), reads as absent: the empty text. Entries of the wrong type
//     also read as absent.
//   - SaveSetting reads the file afresh, replaces or creates the one value and writes the whole
//     file by an atomic replace (temporary file in the same folder, flushed and synced, renamed
//     over the old one, folder synced) before it returns. Killing the process at any instant
//     leaves the old file or the new one, whole. A file that could not be parsed is replaced by
//     one holding only the new value. Any failure throws errors::AppError(kFileAccess) whose text
//     names the file and the reason; nothing is lost silently.
//   - No lock file is used or honoured: one copy of the game runs at a time, the last write
//     wins, and a stale or garbage "*.lock" file next to the store changes nothing.
#pragma once

#include <QString>

namespace settings {

QString StorePath();

QString GetSetting(const QString& application, const QString& section, const QString& key);

void SaveSetting(const QString& application, const QString& section, const QString& key, const QString& value);

}  // namespace settings
