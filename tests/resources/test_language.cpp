// The player's language: the choice from the desktop's languages, and the library's strings read
// in it by GetResStr, from the built Qel and from one made before languages (no _QelRes2).
// Registered under a Japanese and an English desktop (LANGUAGE=ja, en).
#include "CatalogueIds.h"
#include "Language.h"
#include "PrivateConfig.h"
#include "QelInterface.h"
#include "Registry.h"
#include "modCommon.h"

#include <QtTest>

namespace str = qel::ids::str;
using language::Choice;

class LanguageTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QCOMPARE(language::install(), qgetenv("LANGUAGE") == "en" ? Choice::English : Choice::Japanese); }

    void languageFollowsTheDesktop_data()
    {
        QTest::addColumn<QStringList>("uiLanguages");
        QTest::addColumn<Choice>("choice");
        QTest::newRow("Japanese") << QStringList{"ja-JP", "ja-Jpan-JP", "ja"} << Choice::Japanese;
        QTest::newRow("C or POSIX") << QStringList{"C"} << Choice::Japanese;
        QTest::newRow("English") << QStringList{"en-GB", "en-Latn-GB", "en"} << Choice::English;
        QTest::newRow("German") << QStringList{"de-DE", "de"} << Choice::English;
        QTest::newRow("French, then Japanese") << QStringList{"fr", "fr-FR", "ja", "ja-JP"} << Choice::Japanese;
        QTest::newRow("French, English, Japanese") << QStringList{"fr", "en", "ja"} << Choice::English;
    }
    void languageFollowsTheDesktop()
    {
        QFETCH(QStringList, uiLanguages);
        QTEST(language::fromUiLanguages(uiLanguages), "choice");
    }

    // English where the library has it, else Japanese: what it files in Japanese alone, and
    // everything from a library that knows no languages (a re-skinned one made before them).
    void stringsComeInThePlayersLanguage_data()
    {
        QTest::addColumn<QString>("library");
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("japanese");
        QTest::addColumn<QString>("english");
        const QString built = QEL_LIBRARY, before = JAPANESE_QEL;
        QTest::newRow("caption") << built << str::kSelectCaption << "画像選択" << "Select Picture";
        QTest::newRow("picture name") << built << str::pictureName(2) << "どらごん" << "Dragon";
        QTest::newRow("colour, Japanese only") << built << str::kMainBackColor << "&H00800000" << "&H00800000";
        QTest::newRow("before languages: caption") << before << str::kSelectCaption << "画像選択" << "画像選択";
        QTest::newRow("before languages: picture name") << before << str::pictureName(3) << "へび" << "へび";
    }
    void stringsComeInThePlayersLanguage()
    {
        QFETCH(QString, library);
        QFETCH(int, id);
        const PrivateConfig config(QString(), {QStringLiteral("none")});
        QCOMPARE(component::registry::setValues(component::registry::userFile(),
                                                {{{"CLSID", qel::kClsidQelRes.toString().toUpper(), "InprocServer32"}, {}, library}}),
                 component::hr::kOk);
        QTEST(modCommon::GetResStr(id), language::current() == Choice::English ? "english" : "japanese");
    }
};

QTEST_GUILESS_MAIN(LanguageTest)
#include "test_language.moc"
