// The worker thread and its events: turns run while the main thread goes on
// reading, commands that touch the game wait for the turn, END lets the move
// out first, end of input does not wait. A chooser held at a gate makes the
// timing deterministic: the turn lasts exactly until the test opens it.
#include "protocol/worker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <future>
#include <thread>

#include "protocol/analysis_commands.h"
#include "protocol/reply_lines.h"
#include "protocol/turn_budget.h"
#include "session.h"

namespace vantrel::testing {
namespace {

using namespace std::chrono_literals;

// Holds every turn until opened; counts the turns that reached it.
class Gate {
public:
    MoveChooser chooser() {
        return [this](Engine& e) {
            std::unique_lock lock(mutex_);
            ++arrived_;
            changed_.notify_all();
            changed_.wait(lock, [this] { return open_; });
            return first_empty(e);
        };
    }
    void open() {
        std::lock_guard lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }
    // Waits until `n` turns have reached the gate.
    bool wait_arrivals(int n) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, 10s, [&] { return arrived_ >= n; });
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool open_ = false;
    int arrived_ = 0;
};

// A session with a real worker thread. The output stream is read only while
// the worker cannot be writing: before it reaches the gate's far side, or
// after a wait_worker.
class ThreadedSession : public Session {
public:
    explicit ThreadedSession(MoveChooser chooser) : Session(create_engine, std::move(chooser)) {}
    // Opens the gate before the worker is stopped, also when a test has
    // failed with a turn held.
    explicit ThreadedSession(Gate& gate) : Session(create_engine, gate.chooser()), gate_(&gate) {}
    ~ThreadedSession() override {
        if (gate_) gate_->open();
    }
    Worker worker{front};

private:
    Gate* gate_ = nullptr;
};

TEST(WorkerEvents, AutoResetLetsOneWaitThroughPerSet) {
    Event e(Event::Reset::Auto, false);
    std::atomic<int> passed = 0;
    std::thread a([&] {
        e.wait();
        ++passed;
    });
    std::thread b([&] {
        e.wait();
        ++passed;
    });
    e.set();
    while (passed.load() < 1) std::this_thread::yield();
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(passed.load(), 1);
    e.set();
    a.join();
    b.join();
    EXPECT_EQ(passed.load(), 2);
}

TEST(WorkerEvents, ManualResetStaysSetUntilCleared) {
    Event e(Event::Reset::Manual, true);
    e.wait();
    e.wait();  // still set
    e.clear();
    std::atomic<bool> passed = false;
    std::thread t([&] {
        e.wait();
        passed = true;
    });
    std::this_thread::sleep_for(20ms);
    EXPECT_FALSE(passed.load());
    e.set();
    t.join();
    EXPECT_TRUE(passed.load());
}

TEST(WorkerTurns, AboutAndInfoAreAnsweredWhileATurnRuns) {
    Gate gate;
    ThreadedSession s(gate);
    s.send("START 15\nTURN 7,7\n");
    ASSERT_TRUE(gate.wait_arrivals(1));
    // The turn is held inside the search: these are answered before its move.
    s.send("ABOUT\nINFO timeout_turn 1000\nRECTSTART 9\nhello\n");
    EXPECT_EQ(split_lines(s.output()),
              (Lines{"OK", std::string(ABOUT_REPLY), "ERROR bad RECTSTART parameters", "UNKNOWN command"}));
    gate.open();
    s.front.wait_worker();
    EXPECT_EQ(split_lines(s.output()).back(), "0,0");
    // The INFO came during the turn: that turn kept its budget, the next one
    // gets the new limit.
    s.send("TURN 8,8\n");
    s.front.wait_worker();
    ASSERT_EQ(s.budgets.size(), 2u);
    EXPECT_EQ(s.budgets[0], 4000);
    EXPECT_EQ(s.budgets[1], 1000);
}

TEST(WorkerTurns, CommandsThatTouchTheGameWaitForTheMove) {
    Gate gate;
    ThreadedSession s(gate);
    s.send("START 15\nTURN 7,7\n");
    ASSERT_TRUE(gate.wait_arrivals(1));
    // The second TURN waits for the worker: it runs on its own thread here.
    auto second = std::async(std::launch::async, [&] { return s.send("TURN 8,8\n"); });
    EXPECT_EQ(second.wait_for(50ms), std::future_status::timeout);
    gate.open();
    second.get();
    s.front.wait_worker();
    EXPECT_EQ(split_lines(s.output()), (Lines{"OK", "0,0", "1,0"}));
    EXPECT_EQ(s.front.game.engine->move_count, 4);
}

TEST(WorkerTurns, EndLetsTheRunningTurnWriteItsMoveFirst) {
    Gate gate;
    ThreadedSession s(gate);
    s.send("START 15\nBEGIN\nTURN 7,8\n");
    ASSERT_TRUE(gate.wait_arrivals(1));
    auto end = std::async(std::launch::async, [&] { return s.send("END\n"); });
    EXPECT_EQ(end.wait_for(50ms), std::future_status::timeout);
    gate.open();
    end.get();
    EXPECT_EQ(s.last_flow, Flow::End);
    EXPECT_EQ(split_lines(s.output()), (Lines{"OK", "7,7", "0,0"}));
}

TEST(WorkerTurns, EndOfInputDoesNotWaitForTheTurn) {
    Gate gate;
    ThreadedSession s(gate);
    // The turn starts, then input ends: run returns at once, the move unwritten.
    const Lines out = s.send("START 15\nTURN 7,7\n");
    EXPECT_EQ(s.last_flow, Flow::EndOfInput);
    ASSERT_TRUE(gate.wait_arrivals(1));
    EXPECT_EQ(out, Lines{"OK"});
    EXPECT_EQ(split_lines(s.output()), Lines{"OK"});
    // The process would end here; the session lets the held turn finish so
    // that the worker can be stopped.
}

TEST(WorkerTurns, BoardBlockAndBeginRunOnTheWorker) {
    Gate gate;
    gate.open();
    ThreadedSession s(gate);
    s.send("START 15\nBOARD\n7,7,2\ndone\nRESTART\nBEGIN\nEND\n");
    EXPECT_EQ(split_lines(s.output()), (Lines{"OK", "0,0", "OK", "7,7"}));
}

// Many short turns with INFO lines arriving at any moment: the budget's
// write-back and INFO's stores meet on the atomics (this test is meant for
// the ThreadSanitizer build).
TEST(WorkerTurns, InfoDuringManyTurnsRacesWithNothing) {
    ThreadedSession s(first_empty);
    s.send("START 20\n");
    std::string script;
    for (int i = 0; i < 150; ++i) {
        script += "TURN " + std::to_string(i % 20) + "," + std::to_string(10 + i / 20) + "\n";
        script +=
            "INFO timeout_turn " + std::to_string(1000 + i) + "\nINFO time_left " + std::to_string(900000 - i) + "\n";
    }
    s.send(script);
    s.front.wait_worker();
    const Lines out = split_lines(s.output());
    EXPECT_EQ(out.size(), 151u);
    EXPECT_EQ(s.front.info.manager_timeout_turn.load(), 1149);
    EXPECT_EQ(s.front.game.engine->move_count, 300);
}

// ---------------------------------------------------------------- commands during an analysis

// The GUI's unlimited time: the search runs until it is stopped.
constexpr const char* UNLIMITED =
    "INFO timeout_turn 2000000\nINFO timeout_match 100000000\nINFO time_left 100000000\nINFO max_node -1\n";
constexpr const char* POSITION = "START 15\nyxboard\n7,7,1\n6,8,2\ndone\n";

// The lines the GUI would play or log: no search info, no analysis line.
Lines answers(const std::string& text) {
    Lines kept;
    for (const std::string& line : split_lines(text))
        if (!line.starts_with(SEARCH_INFO_PREFIX) && !is_analysis_line(line)) kept.push_back(line);
    return kept;
}

bool is_move(const std::string& line) {
    int x = 0, y = 0;
    char tail = 0;
    return std::sscanf(line.c_str(), "%d,%d%c", &x, &y, &tail) == 2;
}

// Waits until the output holds `count` search info lines.
bool wait_iterations(Session& s, int count) {
    for (int i = 0; i < 1000; ++i) {
        const Lines out = split_lines(s.output());
        if (std::count_if(out.begin(), out.end(),
                          [](const std::string& l) { return l.starts_with(SEARCH_INFO_PREFIX); }) >= count)
            return true;
        std::this_thread::sleep_for(10ms);
    }
    return false;
}

// Database blocks, INFO lines, forbidden points and hash clearing arriving
// mid-search stop nothing; yxstop brings the one move, and the forbidden
// points, which waited for the search's end, follow it.
TEST(WorkerAnalysis, LinesDuringASearchNeverStopItAndOneMoveEndsIt) {
    ThreadedSession s(MoveChooser{});
    s.send(std::string(UNLIMITED) + "INFO show_detail 3\n" + POSITION + "yxnbest 2\n");
    ASSERT_TRUE(wait_iterations(s, 1));
    s.send(
        "yxquerydatabaseallt\n7,7,1\n6,8,2\ndone\nINFO time_left 100000000\nyxshowforbid\nyxhashclear\n"
        "yxblock\n1,1\ndone\nyxshowinfo\n");
    const std::size_t before = split_lines(s.output()).size();
    ASSERT_TRUE(wait_iterations(s, 2)) << "the search goes on";
    EXPECT_TRUE(s.worker.turn_running());
    s.send("yxstop\n");
    s.front.wait_worker();
    const Lines out = answers(s.output());
    ASSERT_EQ(out.size(), 4u) << s.output();
    EXPECT_EQ(out[0], "OK");
    EXPECT_EQ(out[1], MAX_THREADS_REPLY);
    EXPECT_TRUE(is_move(out[3])) << out[3];
    const Lines all = split_lines(s.output());
    EXPECT_GT(all.size(), before);
    EXPECT_EQ(all.back(), "FORBID .");
    s.send("yxstop\n");
    EXPECT_EQ(split_lines(s.output()).size(), all.size()) << "nothing when idle";
}

// A new position during a search (the GUI's new game, undo or redo): the
// running search still writes its one move, then the new one runs.
TEST(WorkerAnalysis, NewPositionStopsTheSearchWhichStillAnswers) {
    ThreadedSession s(MoveChooser{});
    s.send(std::string(UNLIMITED) + POSITION + "yxnbest 3\n");
    ASSERT_TRUE(wait_iterations(s, 1));
    s.send(std::string(POSITION) + "yxnbest 1\n");
    const Lines first = answers(s.output());
    ASSERT_EQ(first.size(), 3u) << s.output();
    EXPECT_TRUE(is_move(first[1]));
    EXPECT_EQ(first[2], "OK");
    // Undo while the brain thinks: yxstop, then the position again.
    s.send("yxstop\n" + std::string(POSITION));
    s.front.wait_worker();
    const Lines all = answers(s.output());
    ASSERT_EQ(all.size(), 5u) << s.output();
    EXPECT_TRUE(is_move(all[3]));
    EXPECT_EQ(all[4], "OK");
    EXPECT_EQ(s.front.game.engine->move_count, 2);
}

// END during a search that runs until stopped stops it: the move, then the
// end; a search under a budget is waited for instead (EndLetsTheRunningTurn-
// WriteItsMoveFirst above).
TEST(WorkerAnalysis, EndStopsAnAnalysisAfterItsMove) {
    ThreadedSession s(MoveChooser{});
    s.send(std::string(UNLIMITED) + POSITION + "yxnbest 2\n");
    ASSERT_TRUE(wait_iterations(s, 1));
    s.send("END\n");
    EXPECT_EQ(s.last_flow, Flow::End);
    const Lines out = answers(s.output());
    ASSERT_EQ(out.size(), 2u);
    EXPECT_TRUE(is_move(out[1]));
}

}  // namespace
}  // namespace vantrel::testing
