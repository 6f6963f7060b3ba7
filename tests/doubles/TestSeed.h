// The seed of a test's random draws: TAVORIN_TEST_SEED when it is set, a fresh one otherwise.
//
// Contract
//   The seed is printed when it is chosen and again by reportIfFailed() (for a test's cleanup())
//   after a failed test function, so that a failure can be replayed with the same draws:
//   TAVORIN_TEST_SEED=<seed> <test program> <test function>. A draw that scales with a measured
//   figure replays as the same fraction of it.
#pragma once

#include <QRandomGenerator>
#include <QTest>
#include <QtGlobal>

class TestSeed {
public:
    TestSeed() : m_seed(chosen()), m_random(m_seed)
    {
        qInfo("random seed %u (replay with TAVORIN_TEST_SEED=%u)", m_seed, m_seed);
    }

    QRandomGenerator& random() { return m_random; }

    void reportIfFailed() const
    {
        if (QTest::currentTestFailed())
            qInfo("%s failed with random seed %u: replay with TAVORIN_TEST_SEED=%u", QTest::currentTestFunction(),
                  m_seed, m_seed);
    }

private:
    static quint32 chosen()
    {
        bool ok = false;
        const quint32 fixed = qEnvironmentVariable("TAVORIN_TEST_SEED").toUInt(&ok);
        return ok ? fixed : QRandomGenerator::system()->generate();
    }

    quint32 m_seed;
    QRandomGenerator m_random;
};
