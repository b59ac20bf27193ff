// The command interpreter: the brain's main thread. It reads the manager's
// lines, executes each command against the game state and the one Engine, and
// writes the protocol's replies. It never searches: a command that asks for a
// move places the opponent's stones and hands the turn to the worker thread
// (worker.h), which writes the move when it has found it.
//
// All front-end state lives in one CommandInterpreter: board size, move
// numbering, the engine, the INFO settings. Input, output, the engine factory
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

namespace vantrel {

// Room for 255 characters and the line's end; longer lines are cut.
inline constexpr int LINE_BUFFER_SIZE = 256;
// The game a command opens when it needs one before any START.
inline constexpr int DEFAULT_BOARD_SIZE = 20;
// The engine's search settings at the start of every game.
inline constexpr int NEW_GAME_MAX_DEPTH = 15;
inline constexpr int NEW_GAME_TURN_TIME_MS = 5000;

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
inline constexpr std::string_view FULL_BOARD_REPLY = "ERROR no empty point";
inline constexpr std::string_view UNKNOWN_REPLY = "UNKNOWN command";
inline constexpr std::string_view NO_STONE_REPLY = "ERROR no stone to take back";
inline constexpr std::string_view NOT_LAST_STONE_REPLY = "ERROR not the last stone placed";
inline constexpr std::string_view SWAP2_LINE_ERROR_REPLY = "ERROR x,y or DONE expected";
inline constexpr std::string_view SWAP2_COUNT_ERROR_REPLY = "ERROR SWAP2BOARD takes 0, 3 or 5 stones";
// Written once before the brain's next move after an INFO rule whose value
// names no rule game: the game is played by free-style rules.
inline constexpr std::string_view FREESTYLE_ONLY_REPLY =
    "MESSAGE Vantrel plays free-style only (five or more in a row wins, no move is forbidden)";

// What the caller does after a command.
enum class Flow {
    Continue,    // read the next line
    End,         // END: the running turn has been waited for; end the process
    EndOfInput,  // input ended: end the process at once, not waiting for a turn
};

// The thread that plays the brain's turns, as the interpreter sees it.
class TurnThread {
public:
    virtual ~TurnThread() = default;
    // Returns once no turn is running.
    virtual void wait_worker() = 0;
    // Hands the turn to the worker; only after wait_worker.
    virtual void start_thinking() = 0;
};

// Settings received with INFO, named after their keys. Written by the main
// thread at any time and read by the worker at the start of a turn.
struct InfoSettings {
    std::atomic<std::int32_t> max_memory{0};
    std::atomic<std::int32_t> timeout_match{1000000000};
    // The last turn budget, or the manager's value when INFO replaced it.
    std::atomic<std::int32_t> timeout_turn{30000};
    std::atomic<std::int32_t> time_left{1000000000};
    std::atomic<std::int32_t> game_type{1};
    // As the manager sent it; game_rule() is the rule game it selects.
    std::atomic<std::int32_t> rule{0};
    // timeout_turn as the manager last sent it; turn budgets never write it.
    std::atomic<std::int32_t> manager_timeout_turn{30000};
    // Limits of every searched turn until the next INFO of the key, across
    // games; 0 or less: none (the design's depth).
    std::atomic<std::int32_t> max_depth{0};
    std::atomic<std::int32_t> max_node{0};
};

// Gives an engine back to whoever made it: deletes it, unless the factory
// hands out engines it keeps (the fuzzer reuses one, as building 30 MB for
// every game would slow it down a hundredfold).
struct EngineRelease {
    void (*release)(Engine*) = nullptr;
    void operator()(Engine* e) const {
        if (release)
            release(e);
        else
            delete e;
    }
};
using EnginePtr = std::unique_ptr<Engine, EngineRelease>;

// Makes a new engine, or answers null when it cannot be made.
using EngineFactory = std::function<EnginePtr()>;
// Chooses the brain's move on the engine's board, protocol coordinates. An
// empty chooser: the worker's own search, with its search info lines.
using MoveChooser = std::function<BoardPoint(Engine&)>;

// The engine on the heap (it is about 30 MB); null when memory runs out.
EnginePtr create_engine();

class CommandInterpreter {
public:
    CommandInterpreter(std::istream& in, std::ostream& out, EngineFactory make_engine = create_engine,
                       MoveChooser choose_move = {});
    CommandInterpreter(const CommandInterpreter&) = delete;
    CommandInterpreter& operator=(const CommandInterpreter&) = delete;

    // The thread that runs turns; set before the first command.
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

    // Writes one line and flushes it; lines of the two threads never mix.
    void reply(std::string_view text);
    // Blocks every later reply, once a reply being written is complete: the
    // process can then end with a turn running and no line cut short. Gives
    // up after `wait` (the worker may be stuck writing to a full pipe).
    void stop_replies(std::chrono::milliseconds wait) { (void)output_mutex_.try_lock_for(wait); }

    // A point "%d,%d" inside the board, or none.
    std::optional<BoardPoint> parse_point(std::string_view text) const;
    // Whether p is an empty cell of the current board (an engine exists).
    bool is_free(BoardPoint p) const;
    // A stone of the side to move at p, an empty cell of the board.
    void place_stone(int x, int y);
    // place_stone, then the point as the reply.
    void play_and_answer(int x, int y);
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
    // The rule game that INFO rule selects (free-style for a value that
    // names none).
    Rule game_rule() const;
    // Puts the engine's game under game_rule() when it is under another:
    // the stones on the board are judged anew. Only while no turn runs.
    void sync_rule();

    void wait_worker();
    void start_thinking();

    // Front-end state. The main thread changes the engine, the board size and
    // move_number only after wait_worker; the worker uses them only during a
    // turn.
    std::int32_t board_width = 0;  // 0: no size known yet
    std::int32_t board_height = 0;
    std::int32_t move_number = 0;  // number of the next stone: 1 on an empty board
    EnginePtr engine;
    InfoSettings info;
    MoveChooser choose_move;
    // Set by YXSTOP, read by the running search at its clock check; cleared
    // when a turn is handed to the worker.
    std::atomic<bool> stop_request{false};
    // The engine side (0 moves first) that plays the brain's stones in this
    // game: the side to move whenever a turn is handed over, the side of a
    // PLAY stone, the colour a SWAP2BOARD answer took. BOARD reads it to tell
    // the brain's stones on the board from the opponent's.
    std::int32_t brain_side = 0;
    // Set with the SWAP2BOARD request's stones on the board: the worker's
    // next turn answers the opening instead of moving, and clears it.
    bool swap2_pending = false;

private:
    struct Stone {
        int x, y, who;
    };

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

    void start_game(int width, int height);
    void open_default_game();
    // A BOARD block's stones, as listed, and each point's mark (0: not listed).
    struct Block {
        std::vector<Stone> stones;
        std::uint8_t mark[MAX_BOARD_SIZE][MAX_BOARD_SIZE] = {};
    };
    void impose_position(const Block& block);
    bool board_within(const Block& block) const;
    bool add_missing_stones(const Block& block);

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
};

}  // namespace vantrel
