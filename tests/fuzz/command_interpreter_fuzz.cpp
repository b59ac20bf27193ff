// libFuzzer target: any bytes as a manager's input to the command interpreter.
// Turns are played at once on the fuzzing thread and never search for long:
// the search gets the smallest budget, or a hostile chooser answers points
// that are outside the board or taken; the opening decisions read a clock
// that runs ever faster, and a search that would run until stopped (the
// analysis GUI's unlimited time) is stopped by that clock too. After every
// input the game must be consistent and every reply line one the protocol
// knows.
//
// The first byte of an input selects the set-up (its low two bits); the
// corpus files are real command scripts behind a digit '0' to '3':
//   bit 0  clear: the real search with the smallest budget;
//          set: a chooser that answers off-board and occupied points
//   bit 1  set: every second engine creation fails
#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>

#include "protocol/analysis_commands.h"
#include "protocol/command_interpreter.h"
#include "protocol/reply_lines.h"
#include "protocol/same_thread_turns.h"
#include "protocol/turn_budget.h"
#include "search/iterative_deepening.h"

namespace {

using namespace vantrel;

void check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

bool is_point(std::string_view line, int width, int height) {
    int x = -1, y = -1;
    char tail = 0;
    const std::string text(line);
    return std::sscanf(text.c_str(), "%d,%d%c", &x, &y, &tail) == 2 && x >= 0 && x < width && y >= 0 && y < height;
}

bool is_known_reply(std::string_view line) {
    for (const std::string_view known :
         {OK_REPLY, ABOUT_REPLY, SIZE_ERROR_REPLY, RECTSTART_ERROR_REPLY, COORDINATES_ERROR_REPLY, OCCUPIED_ERROR_REPLY,
          BOARD_ERROR_REPLY, FULL_BOARD_REPLY, UNKNOWN_REPLY, NO_STONE_REPLY, NOT_LAST_STONE_REPLY,
          SWAP2_LINE_ERROR_REPLY, SWAP2_COUNT_ERROR_REPLY, BLOCK_LINE_ERROR_REPLY, FREESTYLE_ONLY_REPLY,
          MAX_THREADS_REPLY, std::string_view("SWAP"), std::string_view("Korvel Engine Load Error!"),
          std::string_view("")})
        if (line == known) return true;
    return line.starts_with(SEARCH_INFO_PREFIX) || line.starts_with("MESSAGE INFO MAX_HASH_SIZE ") ||
           is_analysis_line(line);
}

// The engine's clock outside the chooser's turns, that is in the opening
// decisions, which budget from the INFO values like a real turn: every read
// is GROWING_CLOCK_GROWTH times the last, so that a decision ends within
// four reads (CLOCK_CADENCE moves apart at most) whatever budget an input
// asks for, yet a long budget still sees a shallow search finish.
// Past 2^32 it grows by 2^32 a read, more than any budget, and an input
// would need 2^31 reads to overflow it.
std::int64_t growing_clock_ms = 0;
constexpr std::int64_t GROWING_CLOCK_GROWTH = 1024;
constexpr std::int64_t GROWING_CLOCK_STRIDE = std::int64_t{1} << 32;

// A search without a deadline is stopped, as the GUI's stop button would,
// once the clock has run this far: a few reads past the stride.
constexpr std::int64_t STOP_SEARCH_AT_MS = GROWING_CLOCK_STRIDE * 8;
std::atomic<bool>* stop_flag = nullptr;

std::int64_t growing_clock() {
    growing_clock_ms = growing_clock_ms < GROWING_CLOCK_STRIDE ? growing_clock_ms * GROWING_CLOCK_GROWTH + 1
                                                               : growing_clock_ms + GROWING_CLOCK_STRIDE;
    if (growing_clock_ms > STOP_SEARCH_AT_MS && stop_flag) stop_flag->store(true);
    return growing_clock_ms;
}

// An opening answer: two or three points, blank-separated.
bool is_point_list(std::string_view line) {
    int points = 0;
    for (std::size_t from = 0; from <= line.size(); ++points) {
        const std::size_t blank = std::min(line.find(' ', from), line.size());
        if (!is_point(line.substr(from, blank - from), MAX_BOARD_SIZE, MAX_BOARD_SIZE)) return false;
        from = blank + 1;
    }
    return points == 2 || points == 3;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const unsigned mode = data[0] & 3u;
    std::istringstream in(std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
    std::ostringstream out;

    // One engine for every game of every input: the interpreter releases
    // its engine before it asks for the next, and reset gives a fresh game.
    static Engine* const reused = new Engine;
    reused->clock = growing_clock;
    growing_clock_ms = 0;
    int creations = 0;
    EngineFactory factory = [&](HashTables&) -> EnginePtr {
        ++creations;
        if ((mode & 2u) && creations % 2 == 0) return nullptr;
        return EnginePtr(reused, EngineRelease{[](Engine*) {}});
    };
    int hostile_calls = 0;
    MoveChooser chooser;
    if (mode & 1u) {
        // Cycles through points outside the board on every side and points
        // that may be taken, never searching.
        chooser = [&](Engine& e) {
            ++hostile_calls;
            const int k = hostile_calls % 6;
            if (k == 0) return BoardPoint{-1, -1};
            if (k == 1) return BoardPoint{e.board_width, 0};
            if (k == 2) return BoardPoint{0, e.board_height};
            if (k == 3 && e.move_count > 0) return BoardPoint{e.history[0].x - MARGIN, e.history[0].y - MARGIN};
            return BoardPoint{hostile_calls % 40 - 4, hostile_calls / 40 % 40 - 4};
        };
    } else {
        chooser = [](Engine& e) {
            e.turn_time_ms = MINIMAL_SEARCH_MS;
            e.clock = nullptr;
            const BoardPoint move = iterative_deepening(e);
            e.clock = growing_clock;
            return move;
        };
    }

    // Tables kept across inputs like the engine: making them anew for every
    // input would cost more than most inputs.
    static HashTables tables(MIN_TABLE_BITS);
    CommandInterpreter front(in, out, factory, chooser, &tables);
    SameThreadTurns turns(front);
    stop_flag = &front.stop_request;
    front.run();
    stop_flag = nullptr;

    // The game: stones only on the board, as many as the numbering says.
    if (front.game.engine) {
        const Engine& e = *front.game.engine;
        check(e.board_width == front.game.board_width && e.board_height == front.game.board_height, "engine size");
        for (int i = 0; i < e.move_count; ++i) {
            const int x = e.history[i].x - MARGIN, y = e.history[i].y - MARGIN;
            check(x >= 0 && x < e.board_width && y >= 0 && y < e.board_height, "stone outside the board");
            check(e.cell(x + MARGIN, y + MARGIN).state == i % 2, "stone of the wrong colour");
        }
    }
    check(front.game.board_width == 0 ||
              (front.game.board_width >= MIN_BOARD_SIZE && front.game.board_width <= MAX_BOARD_SIZE),
          "board width");
    // Every reply a known line or a point on a board the engine can hold.
    std::istringstream replies(out.str());
    for (std::string line; std::getline(replies, line);)
        check(is_known_reply(line) || is_point(line, MAX_BOARD_SIZE, MAX_BOARD_SIZE) || is_point_list(line),
              "unknown reply");
    return 0;
}
