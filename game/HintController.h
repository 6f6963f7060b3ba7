// Hints: H asks which tile to slide next; the answer's tile blinks a few times.
//
// The answer is the first move of an optimal solution, found on a worker thread by the solver
// with its pattern tables (the ones installed with the game, mapped in the background within
// moments of the start; only without them, read from or built into the user's cache folder, which
// waits for the first hint asked for; until they are ready a weaker bound answers most boards at
// once). A game in which a hint was shown sets no record.
//
// Contract
//   Everything but the worker runs on the thread that owns the controller (the user-interface
//   thread). One question at a time: ask() while one is open does nothing. An answer counts
//   only if the board is still the one it was asked about and the game still runs (`inPlay`);
//   otherwise it is dropped. The destructor cancels the worker and waits for it.
#pragma once

#include "Board.h"
#include "DatabaseCache.h"
#include "Solver.h"
#include "WindowTimer.h"

#include <QObject>
#include <QWidget>
#include <array>
#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

class ImageControl;

class HintController : public QObject {
    Q_OBJECT
public:
    using Panels = std::array<ImageControl*, board::kCells>;

    // `model` and `panels` are the window's board and tile images; `inPlay` tells whether a
    // game is running and its board takes clicks; `window` owns the question's message box. All
    // must outlive the controller.
    HintController(const board::BoardModel& model, const Panels& panels, std::function<bool()> inPlay,
                   QWidget* window);
    ~HintController() override;

    // Starts mapping the installed solver tables in the background; once is enough. Without them,
    // reading the user's cache or building the tables into it waits for the first ask().
    void startTables();
    // The same with the tables looked for in other places, of other tile groups.
    void startTables(std::filesystem::path cacheFolder, std::vector<std::filesystem::path> installed,
                     solver::Partition partition);
    // The tables' loader once started, else null.
    const solver::BackgroundDatabases* tables() const { return m_tables.get(); }
    // Solves the board as it stands on the worker; the answer's tile then blinks and a screen
    // reader is told its name. The first time in a game, a message box asks first whether to use
    // a hint at all (a game with a hint sets no record); no changes nothing.
    void ask();
    // Ends a blink, leaving the tile shown.
    void stop();
    // A new game: no blink, and no hint used yet.
    void newGame();

    bool used() const { return m_used; }   // a hint was shown in this game
    bool busy() const { return m_running; }   // a question is open

    WindowTimer timHint;   // the blink: 100 ms while a tile blinks
    void timHint_Timer();

signals:
    // A question was answered, whether the answer counted or was dropped.
    void answered();

private:
    void onAnswer(int tile, const board::Board& boardWhenAsked);   // tile 0: no answer

    const board::BoardModel& m_model;
    const Panels& m_panels;
    std::function<bool()> m_inPlay;
    QWidget* m_window;
    bool m_agreed = false;         // the player said yes to hints in this game
    std::unique_ptr<solver::BackgroundDatabases> m_tables;
    solver::HintSolver m_solver;   // used on the worker only
    std::thread m_worker;
    std::atomic<bool> m_cancel{false};
    bool m_running = false;
    bool m_used = false;
    int m_panel = -1;              // the blinking tile's index, or -1
    int m_blinks = 0;
};
