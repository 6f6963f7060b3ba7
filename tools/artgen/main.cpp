// artgen: renders the game's artwork sources into its bitmap and icon files.
#include "catalogue.h"
#include "generator.h"
#include "render.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QSaveFile>

#include <cstdio>

namespace {

bool g_drawing = false;
int g_warnings = 0;

// Any Qt warning while drawing means a source used something the SVG renderer ignores, so
// the picture would silently differ from what its author drew: count them and fail.
// Messages from platform start-up are not about the art and are dropped.
void countingHandler(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (!g_drawing)
        return;
    if (type != QtDebugMsg && type != QtInfoMsg)
        ++g_warnings;
    std::fprintf(stderr, "artgen: %s\n", qPrintable(message));
}

QString registerFont(const QString& file)
{
    const int id = QFontDatabase::addApplicationFont(file);
    const QStringList families = id < 0 ? QStringList() : QFontDatabase::applicationFontFamilies(id);
    return families.isEmpty() ? QString() : families.first();
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(countingHandler);
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("artgen"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Renders the artwork sources into bitmap and icon files."));
    parser.addHelpOption();
    const QCommandLineOption sourceOpt(QStringLiteral("source"), QStringLiteral("Art source folder."), QStringLiteral("dir"));
    const QCommandLineOption outputOpt(QStringLiteral("output"), QStringLiteral("Output folder."), QStringLiteral("dir"));
    const QCommandLineOption latinOpt(QStringLiteral("latin-font"), QStringLiteral("Font file for Latin lettering."), QStringLiteral("file"));
    const QCommandLineOption kanaOpt(QStringLiteral("kana-font"), QStringLiteral("Font file for Japanese lettering."), QStringLiteral("file"));
    parser.addOptions({sourceOpt, outputOpt, latinOpt, kanaOpt});
    parser.process(app);
    for (const auto& opt : {sourceOpt, outputOpt, latinOpt, kanaOpt}) {
        if (!parser.isSet(opt)) {
            std::fprintf(stderr, "artgen: --%s is required\n", qPrintable(opt.names().first()));
            return 2;
        }
    }

    artgen::LetteringFonts fonts;
    fonts.latin = registerFont(parser.value(latinOpt));
    fonts.kana = registerFont(parser.value(kanaOpt));
    if (fonts.latin.isEmpty() || fonts.kana.isEmpty()) {
        std::fprintf(stderr, "artgen: cannot load the lettering fonts\n");
        return 1;
    }

    const QString outDir = parser.value(outputOpt);
    if (!QDir().mkpath(outDir)) {
        std::fprintf(stderr, "artgen: cannot create %s\n", qPrintable(outDir));
        return 1;
    }

    g_drawing = true;
    artgen::ArtRenderer renderer(parser.value(sourceOpt), fonts);
    artgen::ArtGenerator generator(renderer);
    for (const artgen::ArtEntry& entry : artgen::catalogue()) {
        const QList<artgen::OutputFile> files = generator.generateFiles(entry);
        const QString error = generator.errorString();
        if (files.isEmpty() || g_warnings > 0) {
            std::fprintf(stderr, "artgen: %d: %s\n", entry.id,
                         qPrintable(error.isEmpty() ? QStringLiteral("warnings while drawing") : error));
            return 1;
        }
        for (const artgen::OutputFile& file : files) {
            QSaveFile out(outDir + QLatin1Char('/') + file.name);
            if (!out.open(QIODevice::WriteOnly) || out.write(file.bytes) != file.bytes.size() || !out.commit()) {
                std::fprintf(stderr, "artgen: cannot write %s\n", qPrintable(out.fileName()));
                return 1;
            }
        }
    }
    return 0;
}
