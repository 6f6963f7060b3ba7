// Tests of the board model: solved fill, shuffle, move rule, slide arithmetic, completion, clock.
#include "Board.h"
#include "GameClock.h"
#include "Move.h"
#include "Shuffle.h"
#include "ScriptedRandom.h"

#include <QtTest>

#include <algorithm>
#include <deque>
#include <set>

using namespace board;

Q_DECLARE_METATYPE(std::string)

namespace {

BoardModel ModelFrom(const char* text)
{
    BoardModel m;
    m.board = Board::fromString(text);
    for (int c = 1; c <= 4; ++c)
        for (int r = 1; r <= 4; ++r)
            if (m.board(c, r) == kGapTile) {
                m.gapCol = static_cast<std::int16_t>(c);
                m.gapRow = static_cast<std::int16_t>(r);
            }
    return m;
}

// A board reached from the solved one by gap moves has a permutation parity equal to the
// parity of the gap's distance from its home cell.
bool ReachableFromSolved(const Board& b)
{
    std::vector<int> tiles;
    int gapDistance = 0;
    for (int r = 1; r <= 4; ++r)
        for (int c = 1; c <= 4; ++c) {
            const int t = b(c, r);
            tiles.push_back(t);
            if (t == 1)
                gapDistance = (c - 1) + (r - 1);
        }
    int inversions = 0;
    for (std::size_t i = 0; i < tiles.size(); ++i)
        for (std::size_t j = i + 1; j < tiles.size(); ++j)
            inversions += tiles[i] > tiles[j];
    return inversions % 2 == gapDistance % 2;
}

}  // namespace

class BoardTest : public QObject {
    Q_OBJECT
private slots:
    void solvedFillPutsEachTileInItsReadingOrderCell()
    {
        Board b;
        fillSolved(b);
        QCOMPARE(b.toString(), std::string("1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16"));
        QCOMPARE(b(4, 1), 4);
        QCOMPARE(b(1, 2), 5);
        QVERIFY(IsBoardSolved(b));
    }

    void shuffleYieldsAnUnsolvedSolvableBoardWithOneHiddenGapTile_data()
    {
        QTest::addColumn<unsigned>("seed");
        for (unsigned seed : {1u, 2u, 7u, 42u, 1234u, 99999u, 31337u, 271828u})
            QTest::newRow(qPrintable(QString("seed %1").arg(seed))) << seed;
    }
    void shuffleYieldsAnUnsolvedSolvableBoardWithOneHiddenGapTile()
    {
        QFETCH(unsigned, seed);
        ScriptedRandom random({}, seed);
        BoardModel model;
        model.board.clear();
        const PanelLayout layout = ShuffleBoard(16, 4, 4, model, random);

        QVERIFY(!IsBoardSolved(model.board));
        QVERIFY(ReachableFromSolved(model.board));
        QCOMPARE(model.board(model.gapCol, model.gapRow), kGapTile);
        QCOMPARE(random.draws % kShuffleAttempts, 0);   // whole passes of 300 counted attempts

        std::set<int> seen;
        int hidden = 0;
        for (int k = 0; k < 16; ++k) {
            const PanelPlacement& p = layout[static_cast<std::size_t>(k)];
            const int cell = model.board(k % 4 + 1, k / 4 + 1);
            QCOMPARE(p.tile, cell);
            QCOMPARE(model.panelTile[static_cast<std::size_t>(k)], cell);
            QCOMPARE(model.panelOf(cell), k);
            QCOMPARE(p.pictureCell, cell - 1);
            seen.insert(p.tile);
            if (!p.visible) {
                ++hidden;
                QVERIFY(!p.enabled);
                QCOMPARE(p.tile, kGapTile);
                QCOMPARE(p.left, 0);
                QCOMPARE(p.top, 0);
                QCOMPARE(int(model.hiddenPanel), k);
            } else {
                QVERIFY(p.enabled);
                QCOMPARE(p.left, (k % 4) * 1005);
                QCOMPARE(p.top, (k / 4) * 1005);
            }
        }
        QCOMPARE(hidden, 1);
        QCOMPARE(seen.size(), std::size_t(16));
    }

    void firstAttemptFromTheCornerMovesOnlyRightOrDown_data()
    {
        QTest::addColumn<double>("draw");
        QTest::addColumn<bool>("moves");
        QTest::addColumn<std::string>("after");
        QTest::newRow("0 right") << 0.0 << true << std::string("2 1 3 4 5 6 7 8 9 10 11 12 13 14 15 16");
        QTest::newRow("1 left") << 0.3 << false << std::string("1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16");
        QTest::newRow("2 up") << 0.5 << false << std::string("1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16");
        QTest::newRow("3 down") << 0.75 << true << std::string("5 2 3 4 1 6 7 8 9 10 11 12 13 14 15 16");
    }
    void firstAttemptFromTheCornerMovesOnlyRightOrDown()
    {
        QFETCH(double, draw);
        QFETCH(bool, moves);
        QFETCH(std::string, after);
        BoardModel model;
        model.gapCol = 1;
        model.gapRow = 1;
        fillSolved(model.board);
        QCOMPARE(moveGap(model, static_cast<int>(4.0 * draw)), moves);
        QCOMPARE(model.board.toString(), after);
    }

    void attemptsOffTheBoardAreSpentNotRedrawn()
    {
        // Always "left" from the left edge: 300 draws, no slide.
        ScriptedRandom random(std::deque<double>(300, 0.3));
        BoardModel model = ModelFrom("1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16");
        QCOMPARE(scramble(model, random), 0);
        QCOMPARE(random.draws, 300);
    }

    void scrambleThatReturnsToSolvedIsScrambledAgain()
    {
        // First pass: right, left, right, left... back where it began; the second pass is random.
        std::deque<double> draws;
        for (int i = 0; i < 150; ++i) {
            draws.push_back(0.0);
            draws.push_back(0.3);
        }
        ScriptedRandom random(draws, 5);
        BoardModel model;
        ShuffleBoard(16, 4, 4, model, random);
        QCOMPARE(random.reseeds, 2);
        QCOMPARE(random.draws, 600);
        QVERIFY(!IsBoardSolved(model.board));
    }

    void drawJustBelowOneStaysADirection()
    {
        std::deque<double> draws(1, 0.9999999999);
        draws.insert(draws.end(), 299, 0.3);
        ScriptedRandom random(draws);
        BoardModel model = ModelFrom("1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16");
        QCOMPARE(scramble(model, random), 1);   // down once, then left from the edge every time
        QCOMPARE(model.board.toString(), std::string("5 2 3 4 1 6 7 8 9 10 11 12 13 14 15 16"));
    }

    void moveRule_data()
    {
        QTest::addColumn<std::string>("board");
        QTest::addColumn<int>("tile");
        QTest::addColumn<int>("direction");   // -1: no move
        const std::string gapInMiddle = "2 3 4 5 6 1 7 8 9 10 11 12 13 14 15 16";   // gap at (2, 2)
        QTest::newRow("tile left of gap slides right") << gapInMiddle << 6 << 0;
        QTest::newRow("tile right of gap slides left") << gapInMiddle << 7 << 1;
        QTest::newRow("tile below gap slides up") << gapInMiddle << 10 << 2;
        QTest::newRow("tile above gap slides down") << gapInMiddle << 3 << 3;
        QTest::newRow("diagonal") << gapInMiddle << 2 << -1;
        QTest::newRow("two away in the row") << gapInMiddle << 8 << -1;
        QTest::newRow("two away in the column") << gapInMiddle << 14 << -1;
        QTest::newRow("the gap itself") << gapInMiddle << 1 << -1;
        QTest::newRow("no such tile") << gapInMiddle << 17 << -1;
        QTest::newRow("no tile") << gapInMiddle << kNoTile << -1;
        QTest::newRow("a cleared board") << std::string(". . . . . . . . . . . . . . . .") << kNoTile << -1;
        // Wrapping across a row end is not adjacency: (4, 1) and (1, 2) are far apart.
        QTest::newRow("above a gap at the row start") << std::string("2 3 4 5 1 6 7 8 9 10 11 12 13 14 15 16") << 2 << 3;
        QTest::newRow("no wrap across rows") << std::string("2 3 4 5 1 6 7 8 9 10 11 12 13 14 15 16") << 5 << -1;
        QTest::newRow("no wrap from row end") << std::string("2 3 4 6 1 5 7 8 9 10 11 12 13 14 15 16") << 6 << -1;
    }
    void moveRule()
    {
        QFETCH(std::string, board);
        QFETCH(int, tile);
        QFETCH(int, direction);
        BoardModel model = ModelFrom(board.c_str());
        const auto found = findMove(model, tile);
        QCOMPARE(found ? int(*found) : -1, direction);
        const BoardModel before = model;
        const auto applied = applyMove(model, tile);
        QCOMPARE(applied.has_value(), found.has_value());
        if (!applied)
            QCOMPARE(model.board.toString(), before.board.toString());
    }

    void acceptedMoveUpdatesBoardAndGapAtOnce()
    {
        BoardModel model = ModelFrom("2 3 4 5 6 1 7 8 9 10 11 12 13 14 15 16");
        QCOMPARE(applyMove(model, 7), std::optional<Direction>(Direction::Left));
        QCOMPARE(model.board.toString(), std::string("2 3 4 5 6 7 1 8 9 10 11 12 13 14 15 16"));
        QCOMPARE(int(model.gapCol), 3);
        QCOMPARE(int(model.gapRow), 2);
        // The same tile now lies left of the gap and can slide straight back.
        QCOMPARE(applyMove(model, 7), std::optional<Direction>(Direction::Right));
        QCOMPARE(model.board.toString(), std::string("2 3 4 5 6 1 7 8 9 10 11 12 13 14 15 16"));
    }

    void slideOffsets_data()
    {
        QTest::addColumn<int>("direction");
        QTest::addColumn<QList<int>>("steps");      // slideStep on each tick
        QTest::addColumn<QList<int>>("offsets");    // expected offset along the slide, per tick
        const QList<int> animated{400, 400, 400};
        for (int d = 0; d < 4; ++d) {
            const int sign = (d == 0 || d == 3) ? 1 : -1;
            QTest::newRow(qPrintable(QString("animated dir %1").arg(d))) << d << animated
                                                                        << QList<int>{400 * sign, 400 * sign, 205 * sign};
            QTest::newRow(qPrintable(QString("jump dir %1").arg(d))) << d << QList<int>{1005} << QList<int>{1005 * sign};
        }
        QTest::newRow("switched off halfway, right") << 0 << QList<int>{400, 1005} << QList<int>{400, 605};
        QTest::newRow("switched off halfway, up") << 2 << QList<int>{400, 1005} << QList<int>{-400, -605};
        QTest::newRow("switched off after two, left") << 1 << QList<int>{400, 400, 1005} << QList<int>{-400, -400, -205};
    }
    void slideOffsets()
    {
        QFETCH(int, direction);
        QFETCH(QList<int>, steps);
        QFETCH(QList<int>, offsets);
        Slide slide;
        slide.moveDir = static_cast<Direction>(direction);
        int travelled = 0;
        for (qsizetype i = 0; i < steps.size(); ++i) {
            const SlideStepResult r = slideTick(slide, steps[i]);
            const bool horizontal = direction < 2;
            QCOMPARE(horizontal ? r.dy : r.dx, 0);
            QCOMPARE(horizontal ? r.dx : r.dy, offsets[i]);
            QCOMPARE(r.ended, i == steps.size() - 1);
            travelled += horizontal ? r.dx : r.dy;
        }
        QCOMPARE(std::abs(travelled), 1005);
    }

    void completionCheck_data()
    {
        QTest::addColumn<std::string>("board");
        QTest::addColumn<bool>("solved");
        QTest::newRow("solved") << std::string("1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16") << true;
        QTest::newRow("gap moved away") << std::string("2 1 3 4 5 6 7 8 9 10 11 12 13 14 15 16") << false;
        QTest::newRow("two tiles exchanged") << std::string("1 2 3 4 5 6 7 8 9 10 11 12 13 14 16 15") << false;
        QTest::newRow("empty cell") << std::string("1 2 3 4 5 6 . 8 9 10 11 12 13 14 15 16") << false;
        QTest::newRow("empty gap cell, the rest in place") << std::string(". 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16") << true;
        QTest::newRow("cleared board") << std::string(". . . . . . . . . . . . . . . .") << false;
    }
    void completionCheck()
    {
        QFETCH(std::string, board);
        QFETCH(bool, solved);
        QCOMPARE(IsBoardSolved(Board::fromString(board)), solved);
    }

    void clockText_data()
    {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<std::string>("text");
        QTest::newRow("start") << 0 << std::string("00:00:00");
        QTest::newRow("first tick") << 1 << std::string("00:00:01");
        QTest::newRow("a minute") << 60 << std::string("00:01:00");
        QTest::newRow("last second of the hour") << 3599 << std::string("00:59:59");
        QTest::newRow("an hour") << 3600 << std::string("01:00:00");
        QTest::newRow("sixty hours, not wrapped") << 216000 << std::string("60:00:00");
        QTest::newRow("sixty-one hours") << 219600 << std::string("61:00:00");
        QTest::newRow("three digits of hours") << 360000 + 59 << std::string("100:00:59");
        QTest::newRow("largest count") << 2147483647 << std::string("596523:14:07");
    }
    void clockText()
    {
        QFETCH(int, seconds);
        QFETCH(std::string, text);
        QCOMPARE(board::clockText(seconds), text);
    }
};

QTEST_APPLESS_MAIN(BoardTest)
#include "test_board.moc"
