// Tests of the time key that decides whether a finished time is a new record.
#include "GameClock.h"

#include <QtTest>

class TimeKeyTest : public QObject {
    Q_OBJECT
private slots:
    void keyOrdersTimes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("key");
        QTest::newRow("minutes and seconds") << "00:12:34" << 1234;
        QTest::newRow("an hour") << "01:00:00" << 10000;
        QTest::newRow("mixed") << "02:05:09" << 20509;
        QTest::newRow("just under ten minutes") << "00:09:59" << 959;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("spaces only") << "        " << 0;
        QTest::newRow("leading blanks skipped") << " 0:10:00" << 1000;
        QTest::newRow("letters stop the reading") << "ab:cd:ef" << 0;
        QTest::newRow("digits then garbage") << "00:1x:00" << 1;
        QTest::newRow("short text") << "5" << 55;   // left two "5" and right two "5"
        QTest::newRow("full hours beyond 99") << "100:00:00" << 1000000;
        QTest::newRow("largest clock") << "596523:14:07" << 2147483647;
        QTest::newRow("exponent overflow is clamped") << "9E:99:99" << 2147483647;
    }
    void keyOrdersTimes()
    {
        QFETCH(QString, text);
        QFETCH(int, key);
        QCOMPARE(board::TimeKey(text.toStdString()), key);
    }

    void lenientReading_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::newRow("tabs and line feeds") << "\t1\n2 3" << 123;
        QTest::newRow("sign") << "-42" << -42;
        QTest::newRow("decimal rounds to even") << "2.5" << 2;
        QTest::newRow("decimal rounds up") << "3.5" << 4;
        QTest::newRow("hex") << "&H1F" << 31;
        QTest::newRow("octal") << "&O17" << 15;
        QTest::newRow("exponent") << "12E2" << 1200;
        QTest::newRow("exponent without digits is ignored") << "12E" << 12;
        QTest::newRow("negative overflow is clamped") << "-9E99" << std::numeric_limits<std::int32_t>::min();
        QTest::newRow("nothing") << "x1" << 0;
    }
    void lenientReading()
    {
        QFETCH(QString, text);
        QFETCH(int, value);
        QCOMPARE(board::lenientNumber(text.toStdString()), value);
    }
};

QTEST_APPLESS_MAIN(TimeKeyTest)
#include "test_timekey.moc"
