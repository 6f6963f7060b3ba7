// The player's language, chosen from the desktop's, and the translations that go with it.
#include "Language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace language {

namespace {
Choice g_current = Choice::Japanese;

void load(const QString& name, const QString& folder)
{
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(name, folder))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}
}  // namespace

Choice fromUiLanguages(const QStringList& uiLanguages)
{
    for (const QString& name : uiLanguages) {
        if (name == QLatin1String("C") || name == QLatin1String("POSIX"))
            return Choice::Japanese;
        switch (QLocale(name).language()) {
        case QLocale::Japanese: return Choice::Japanese;
        case QLocale::English: return Choice::English;
        default: break;
        }
    }
    return Choice::English;
}

Choice install()
{
    g_current = fromUiLanguages(QLocale::system().uiLanguages());
    const QString qt = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (g_current == Choice::Japanese) {
        load(QStringLiteral("qtbase_ja"), qt);
    } else {
        load(QStringLiteral("tavorin_en"), QStringLiteral(":/i18n"));
        load(QStringLiteral("qtbase_en"), qt);
    }
    return g_current;
}

Choice current()
{
    return g_current;
}

}  // namespace language
