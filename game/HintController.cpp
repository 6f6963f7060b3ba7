// Hints: the worker that solves, the check of its answer, and the blink.
#include "HintController.h"

#include "Accessibility.h"
#include "GameBoard.h"
#include "ImageControl.h"
#include "MessageBox.h"
#include "Move.h"

#include <chrono>

namespace {
constexpr int kBlinkInterval = 100;   // ms
constexpr int kBlinkTicks = 10;       // five times hidden and shown again
constexpr auto kSolveTime = std::chrono::milliseconds(3000);
}  // namespace

HintController::HintController(const board::BoardModel& model, const Panels& panels, std::function<bool()> inPlay,
                               QWidget* window)
    : timHint(this, 0), m_model(model), m_panels(panels), m_inPlay(std::move(inPlay)), m_window(window)
{
    connect(&timHint, &WindowTimer::Timer, this, &HintController::timHint_Timer);
}

HintController::~HintController()
{
    m_cancel = true;
    if (m_worker.joinable())
        m_worker.join();
}

void HintController::startTables()
{
    startTables(solver::defaultCacheDirectory(), solver::installedTablesFiles(), solver::standardPartition());
}

void HintController::startTables(std::filesystem::path cacheFolder, std::vector<std::filesystem::path> installed,
                                 solver::Partition partition)
{
    if (!m_tables)
        m_tables = std::make_unique<solver::BackgroundDatabases>(std::move(cacheFolder), std::move(partition), 1,
                                                                 std::move(installed));
}

void HintController::ask()
{
    if (m_running)
        return;
    const auto tiles = solver::tilesFromBoard(m_model.board);
    if (!tiles)
        return;
    // Without installed tables, the first hint is when the cache is read or the tables built:
    // the question below gives that time.
    if (m_tables)
        m_tables->request();
    if (!m_agreed) {
        const auto answer = msgbox::Show(
            m_window, {tr("ヒントを使いますか？\r\nヒントを使ったゲームのタイムは記録されません。"), tr("ヒント"),
                       QMessageBox::Question, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes});
        if (answer != QMessageBox::Yes)
            return;
        m_agreed = true;
    }
    if (m_worker.joinable())
        m_worker.join();
    m_running = true;
    const solver::BackgroundDatabases* background = m_tables.get();   // joined before it goes
    const board::Board asked = m_model.board;
    m_worker = std::thread([this, tiles = *tiles, background, asked] {
        const auto answer = [&](std::shared_ptr<const solver::PatternDatabases> tables) {
            m_solver.setDatabases(std::move(tables));
            solver::SolveLimits limits;
            limits.maxTime = kSolveTime;
            limits.cancel = &m_cancel;
            return m_solver.hint(tiles, limits).firstMove();
        };
        // Before the tables are ready the weaker bound answers most boards at once; a hard one
        // waits for the tables (seconds on the very first start) rather than going unanswered.
        auto tables = background ? background->current() : nullptr;
        auto move = answer(tables);
        if (!move && !tables && background) {
            while (!background->finished() && !m_cancel)
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            if (auto ready = background->current(); ready && !m_cancel)
                move = answer(std::move(ready));
        }
        const int tile = move ? solver::gameTile(*move) : board::kNoTile;
        QMetaObject::invokeMethod(this, [this, tile, asked] { onAnswer(tile, asked); }, Qt::QueuedConnection);
    });
}

void HintController::onAnswer(int tile, const board::Board& boardWhenAsked)
{
    m_running = false;
    emit answered();
    if (tile == board::kNoTile || boardWhenAsked != m_model.board || !m_inPlay())
        return;
    stop();
    m_panel = m_model.panelOf(tile);
    if (m_panel < 0)
        return;
    m_used = true;
    if (const auto way = board::findMove(m_model, tile))
        accessibility::announce(*m_panels[m_panel], accessibility::hintSentence(tile, *way));
    m_blinks = 0;
    timHint.setEnabled(true);
    timHint.setInterval(kBlinkInterval);
}

void HintController::timHint_Timer()
{
    if (m_panel < 0 || ++m_blinks >= kBlinkTicks) {
        stop();
        return;
    }
    m_panels[m_panel]->setVisible(m_blinks % 2 == 0);
}

void HintController::stop()
{
    timHint.stop();
    if (m_panel >= 0)
        m_panels[m_panel]->setVisible(true);
    m_panel = -1;
}

void HintController::newGame()
{
    stop();
    m_used = false;
    m_agreed = false;
}
