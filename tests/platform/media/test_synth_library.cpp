// The synthesizer library is loaded at the first play, never at start, and the music is silent,
// never broken, when that library is missing or is not FluidSynth.
#include <QtTest>

#include <map>

class SynthLibraryTest : public QObject {
    Q_OBJECT
private slots:
    void loadedAtTheFirstPlayOnly_data()
    {
        QTest::addColumn<QString>("libraryFolder");   // put first on the library path; empty: none
        QTest::addColumn<bool>("synthesizer");         // FluidSynth itself answers to its name
        QTest::newRow("the system's FluidSynth") << QString() << true;
        QTest::newRow("a library without FluidSynth's functions") << QStringLiteral(STUB_FOLDER) << false;
        QTest::newRow("a file that is no library") << QStringLiteral("not a library") << false;
    }
    void loadedAtTheFirstPlayOnly()
    {
        QFETCH(QString, libraryFolder);
        QFETCH(bool, synthesizer);
        QTemporaryDir scratch;
        QVERIFY(scratch.isValid());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (libraryFolder == QLatin1String("not a library")) {
            libraryFolder = scratch.filePath(QStringLiteral("lib"));
            QVERIFY(QDir().mkpath(libraryFolder));
            QFile junk(libraryFolder + QLatin1Char('/') + QStringLiteral(FLUIDSYNTH_SONAME));
            QVERIFY(junk.open(QIODevice::WriteOnly));
            junk.write("a few bytes, no ELF header\n");
        }
        if (!libraryFolder.isEmpty())
            environment.insert(QStringLiteral("LD_LIBRARY_PATH"), libraryFolder);

        QProcess probe;
        probe.setProcessEnvironment(environment);
        probe.start(QStringLiteral(SYNTH_PROBE), {scratch.path()});
        QVERIFY(probe.waitForFinished(60000));
        const QByteArray errors = probe.readAllStandardError();
        QVERIFY2(probe.exitStatus() == QProcess::NormalExit && probe.exitCode() == 0, errors.constData());
        std::map<QByteArray, QByteArray> said;
        for (const QByteArray& line : probe.readAllStandardOutput().split('\n')) {
            const qsizetype space = line.indexOf(' ');
            if (space > 0)
                said[line.left(space)] = line.mid(space + 1);
        }
        QCOMPARE(said["mapped-at-start"], QByteArray("0"));
        QCOMPARE(said["open"], QByteArray("0"));
        QCOMPARE(said["play"], QByteArray("0"));
        QCOMPARE(said["status"], QByteArray("playing"));
        QCOMPARE(said["stopped"], QByteArray("1"));   // the piece ran its course, silently or not
        if (synthesizer) {
            QCOMPARE(said["mapped-after"], QByteArray("1"));
        } else {
            QCOMPARE(said["soundfont"], QByteArray("-"));   // no synthesizer took a SoundFont
        }
    }
};

QTEST_APPLESS_MAIN(SynthLibraryTest)
#include "test_synth_library.moc"
