// The command interpreter: the brain's main thread. It reads the manager's
// lines, finds each command in its table (the design's words here, the
// analysis GUI's in analysis_commands.h), runs it at the time the table gives
// (at once, after stopping the running search, or once the search is over)
// and writes the protocol's replies. It never searches: a command that asks
// for a move places the opponent's stones and hands a search request
// (search_request.h) to the search thread, which writes the move.
//
// All front-end state lives in one CommandInterpreter: the game (board size,
// engine, the brain's side), the INFO settings, the blocked points. Input, output, the engine factory
// and the move chooser are injected, so tests and the fuzzer drive a fresh
// instance of their own; END and end of input are returned to the caller
// rather than ending the process here.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <istream>
#include <memory>
#include <mutex>
#include <optional>
#include <ostream>
#include <string_view>
#include <vector>

#include "board/engine_object.h"
#include "protocol/stone_block.h"
#include "protocol/game.h"
#include "protocol/info_settings.h"
#include "protocol/reply_lines.h"
#include "protocol/search_request.h"

namespace vantrel {

// Room for 255 characters and the line's end; longer lines are cut.
inline constexpr int LINE_BUFFER_SIZE = 256;
// The game a command opens when it needs one before any START.
inline constexpr int DEFAULT_BOARD_SIZE = 20;

// Reply texts, exact.
inline constexpr std::string_view OK_REPLY = "OK";
#ifndef VANTREL_VERSION
#error "VANTREL_VERSION comes from the project version in CMakeLists.txt"
#endif
inline constexpr std::string_view ABOUT_REPLY =
    R"(name="Vantrel", version=")" VANTREL_VERSION R"(", author="Vantrel developers", date="2026-12-08")";
// Carries its own line feed: the error line is followed by an empty line.
inline constexpr std::string_view LOAD_ERROR_REPLY = "Korvel Engine Load Error!\n";
inline constexpr std::string_view SIZE_ERROR_REPLY = "ERROR size of the board";
inline constexpr std::string_view RECTSTART_ERROR_REPLY = "ERROR bad RECTSTART parameters";
inline constexpr std::string_view COORDINATES_ERROR_REPLY = "ERROR bad coordinates";
inline constexpr std::string_view OCCUPIED_ERROR_REPLY = "ERROR occupied point";
inline constexpr std::string_view BOARD_ERROR_REPLY = "ERROR x,y,who or DONE expected";
inline constexpr std::string_view UNKNOWN_REPLY = "UNKNOWN command";
inline constexpr std::string_view NO_STONE_REPLY = "ERROR no stone to take back";
inline constexpr std::string_view NOT_LAST_STONE_REPLY = "ERROR not the last stone placed";
inline constexpr std::string_view SWAP2_LINE_ERROR_REPLY = "ERROR x,y or DONE expected";
inline constexpr std::string_view BLOCK_LINE_ERROR_REPLY = "ERROR x,y or DONE expected";
inline constexpr std::string_view SWAP2_COUNT_ERROR_REPLY = "ERROR SWAP2BOARD takes 0, 3 or 5 stones";
// Written once before the brain's next move after an INFO rule whose value
// names no rule game: the game is played by free-style rules.
inline constexpr std::string_view FREESTYLE_ONLY_REPLY =
    "MESSAGE Vantrel plays free-style only (five or more in a row wins, no move is forbidden)";

// What the caller does after a command.
enum class Flow {
    Continue,    // read the next line
    End,         // END: the running search has written its move; end the process
    EndOfInput,  // input ended: end the process at once, not waiting for a search
};

// The thread that runs the searches, as the interpreter sees it.
class TurnThread {
public:
    virtual ~TurnThread() = default;
    // Returns once no search runs.
    virtual void wait_worker() = 0;
    // Hands a search over; only after wait_worker.
    virtual void start_search(SearchRequest request) = 0;
    // Runs `job` once no search runs: at once when none does, otherwise on
    // the search's thread right after the search, before wait_worker
    // returns. A job must not wait for the search itself.
    virtual void when_idle(std::function<void()> job) = 0;
};

class CommandInterpreter;

// When a command runs with respect to a running search.
enum class Timing {
    Now,          // at once, also during a search; touches no game state
    StopsSearch,  // waits for the running search (stopping one that runs until stopped), then runs
    AfterSearch,  // at once when no search runs, else right after the search ends; never waits itself
};

// What follows the command's own line.
enum class Block {
    None,
    Own,        // lines the handler reads itself (BOARD and the like)
    UntilDone,  // lines up to "done", taken in and dropped before the handler runs
    OneLine,    // one line (a file name), taken in and dropped before the handler runs
};

// One entry of the command table.
struct Command {
    std::string_view word;
    Flow (*run)(CommandInterpreter&, std::string_view arg);
    Timing timing;
    Block block;
    // The word also matches as a case-insensitive prefix of the line's first
    // word ("turn7,7", "beginning"), as the design's ten words always have.
    bool prefix;
};

// Makes a new engine using the session's tables, or answers null when it
// cannot be made.
using EngineFactory = std::function<EnginePtr(HashTables&)>;

class CommandInterpreter {
public:
    // `shared_tables`: transposition tables the caller keeps across
    // sessions (the fuzzer's); none: the session's own, of the default size.
    CommandInterpreter(std::istream& in, std::ostream& out, EngineFactory make_engine = create_engine,
                       MoveChooser choose_move = {}, HashTables* shared_tables = nullptr);
    CommandInterpreter(const CommandInterpreter&) = delete;
    CommandInterpreter& operator=(const CommandInterpreter&) = delete;

    // The thread that runs searches; set before the first command.
    void attach(TurnThread* turns) { turns_ = turns; }

    // read_line and dispatch until END or the end of input.
    Flow run();
    // The next line into the line buffer; false at the end of input (a
    // partial last line is dropped).
    bool read_line();
    // The current line: at most 255 characters, line feed and a carriage
    // return before it removed, cut at a zero byte.
    std::string_view line() const { return {line_, line_length_}; }
    // Executes the command in the line buffer.
    Flow dispatch();
    // The entry of the command table that the line's first word names, and
    // the text after the word; none for an unknown command.
    const Command* find_command(std::string_view text, std::string_view& arg) const;

    // Writes one line and flushes it; lines of the two threads never mix.
    void reply(std::string_view text);
    // Blocks every later reply, once a reply being written is complete: the
    // process can then end with a search running and no line cut short.
    // Gives up after `wait` (the worker may be stuck writing to a full pipe).
    void stop_replies(std::chrono::milliseconds wait) { (void)output_mutex_.try_lock_for(wait); }

    // A point "%d,%d" inside the board, or none.
    std::optional<BoardPoint> parse_point(std::string_view text) const;
    // Begins a game on board_width x board_height with a new engine; false
    // when the size is refused (nothing changed then).
    bool new_game();
    // Clears the board of the current engine for a new game, with "OK".
    void restart_game();
    // restart_game without its reply.
    void clear_board();
    // wait_worker, then makes sure there is a game: the default game when no
    // size is known, a new engine when the last one could not be made. True
    // when an engine is there.
    bool ready_engine();
    // Puts the engine's game under the rule INFO rule selects (rule_game)
    // when it is under another:
    // the stones on the board are judged anew. Only while no turn runs.
    void sync_rule();

    void wait_worker();
    // Waits until the running search, if one runs, has written its move;
    // a search that runs until stopped is stopped first.
    void stop_search();
    // A request for a search of the current game under the INFO settings,
    // with the blocked points left out.
    SearchRequest search_request(SearchKind kind);
    // Hands the request over; the brain is to move. After wait_worker.
    void start_search(SearchRequest request);
    // The brain's turn: start_search with an ordinary request.
    void start_thinking() { start_search(search_request(SearchKind::Turn)); }
    void when_idle(std::function<void()> job) { turns_->when_idle(std::move(job)); }

    // Reads a BOARD-like block's stone lines "x,y,who" up to "done"; a line
    // that is neither a stone of the board nor "done" ends it with the BOARD
    // error line. False at the end of input.
    bool read_stone_block(StoneBlock& block);
    // The block is the whole new position, the side whose stones are marked
    // 1 to move.
    void impose_position(const StoneBlock& block);

    // Front-end state. The main thread changes the game only after
    // wait_worker; the search's thread uses it only during a search.
    Game game;
    InfoSettings info;
    MoveChooser choose_move;
    // Set by YXSTOP and by every command that stops the running search, read
    // by the search at its clock check; cleared when a search is handed
    // over. Another thread may set it while a search runs (the browser build
    // does, from outside the interpreter).
    std::atomic<bool> stop_request{false};
    // Points the GUI has blocked: no search chooses them at the root until
    // they are taken back or reset. Kept across games.
    std::vector<BoardPoint> blocked;

private:
    std::unique_ptr<HashTables> own_tables_;

public:
    // The transposition tables of every engine of the session, resized only
    // when a game starts (no search runs then), so that START costs no
    // allocation unless the INFO settings asked for another size.
    HashTables& tables;

private:
    Flow on_info(std::string_view arg);
    Flow on_start(std::string_view arg);
    Flow on_rectstart(std::string_view arg);
    Flow on_restart(std::string_view arg);
    Flow on_turn(std::string_view arg);
    Flow on_play(std::string_view arg);
    Flow on_begin(std::string_view arg);
    Flow on_about(std::string_view arg);
    Flow on_end(std::string_view arg);
    Flow on_board(std::string_view arg);
    Flow on_yxstop(std::string_view arg);
    Flow on_takeback(std::string_view arg);
    Flow on_swap2board(std::string_view arg);

    Flow run_command(const Command& command, std::string_view arg);
    bool skip_block(Block block);
    void start_game(int width, int height);
    void open_default_game();

    std::streambuf* in_;
    std::ostream& out_;
    std::timed_mutex output_mutex_;
    EngineFactory make_engine_;
    TurnThread* turns_ = nullptr;
    char line_[LINE_BUFFER_SIZE] = {};
    std::size_t line_length_ = 0;
    // An INFO rule named no rule game: the notice goes out before the
    // brain's next move.
    bool rule_notice_pending_ = false;
    // Whether the last search handed over runs until it is stopped.
    bool search_until_stopped_ = false;
};

}  // namespace vantrel
