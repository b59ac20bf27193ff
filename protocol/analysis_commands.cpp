// The analysis GUI's command table and handlers. Each handler works through
// the interpreter's public operations; the table gives each word its timing
// (a command that sets a position or starts a search stops the running one
// first, the blocked points and the database blocks never do, forbidden
// points and hash clearing wait for its end) and the lines that follow it.
#include "protocol/analysis_commands.h"

#include <algorithm>
#include <bit>
#include <string>

#include "board/renju_fouls.h"

#include "protocol/line_parsing.h"
#include "protocol/reply_lines.h"

namespace vantrel {
namespace {

using C = CommandInterpreter;

// The largest hash the brain offers the GUI, 2^MAX_HASH_SIZE_LOG2
// kilobytes: both tables at their largest.
constexpr int KILOBYTE_LOG2 = 10;
constexpr int MAX_HASH_SIZE_LOG2 = std::bit_width(TABLE_PAIR_BYTES) - 1 + MAX_TABLE_BITS - KILOBYTE_LOG2;
static_assert(std::has_single_bit(TABLE_PAIR_BYTES) && MAX_HASH_SIZE_LOG2 == 20);
const std::string MAX_HASH_SIZE_REPLY =
    std::string("MESSAGE INFO MAX_HASH_SIZE ").append(std::to_string(MAX_HASH_SIZE_LOG2));

bool is_done(std::string_view text) { return text.size() == 4 && match_word(text, "done").has_value(); }

// The points of a yxblock or yxblockundo block, "x,y" a line up to "done",
// on the largest board (the GUI may block before it starts a game). A line
// of another form ends the block, as in the other blocks. False at the end
// of input.
bool read_points(C& c, std::vector<BoardPoint>& points) {
    for (;;) {
        if (!c.read_line()) return false;
        std::int32_t v[2];
        if (scan_numbers(c.line(), "%d,%d", v, 2) == 2 && v[0] >= 0 && v[0] < MAX_BOARD_SIZE && v[1] >= 0 &&
            v[1] < MAX_BOARD_SIZE) {
            points.push_back({v[0], v[1]});
            continue;
        }
        if (!is_done(c.line())) c.reply(BLOCK_LINE_ERROR_REPLY);
        return true;
    }
}

bool same_point(BoardPoint a, BoardPoint b) { return a.x == b.x && a.y == b.y; }

// Sets the position, the side of the stones marked 1 to move; no search, no
// reply.
Flow on_yxboard(C& c, std::string_view) {
    const bool ready = c.ready_engine();
    StoneBlock block;
    if (!c.read_stone_block(block)) return Flow::EndOfInput;
    if (!ready) return Flow::Continue;
    c.impose_position(block);
    c.game.brain_side = c.game.engine->side;
    return Flow::Continue;
}

Flow start(C& c, SearchKind kind, int lines, int target) {
    if (!c.ready_engine()) return Flow::Continue;
    SearchRequest request = c.search_request(kind);
    request.lines = lines;
    request.target = target;
    c.start_search(std::move(request));
    return Flow::Continue;
}

Flow on_yxnbest(C& c, std::string_view arg) {
    return start(c, SearchKind::Turn, std::clamp(read_atoi(arg), 1, MAX_SEARCH_LINES), 0);
}
Flow on_yxbalanceone(C& c, std::string_view arg) { return start(c, SearchKind::BalanceOne, 1, read_atoi(arg)); }
Flow on_yxbalancetwo(C& c, std::string_view arg) { return start(c, SearchKind::BalanceTwo, 1, read_atoi(arg)); }
Flow on_yxsearchdefend(C& c, std::string_view) { return start(c, SearchKind::Defend, 1, 0); }

Flow on_yxshowinfo(C& c, std::string_view) {
    c.reply(MAX_THREADS_REPLY);
    c.reply(MAX_HASH_SIZE_REPLY);
    return Flow::Continue;
}

// Runs once no search runs; never opens a game. Black's forbidden points in
// renju, whoever is to move; none under any other rule.
Flow on_yxshowforbid(C& c, std::string_view) {
    std::vector<BoardPoint> points;
    if (c.game.engine) {
        c.sync_rule();
        Engine& e = *c.game.engine;
        std::vector<Point> cells(static_cast<std::size_t>(e.board_width * e.board_height));
        const int n = forbidden_points(e, cells.data());
        for (int i = 0; i < n; ++i) points.push_back({cells[i].x - MARGIN, cells[i].y - MARGIN});
    }
    c.reply(forbid_line(points));
    return Flow::Continue;
}

Flow on_yxhashclear(C& c, std::string_view) {
    if (c.game.engine) c.game.engine->hash.clear();
    return Flow::Continue;
}

Flow on_yxblock(C& c, std::string_view) {
    std::vector<BoardPoint> points;
    const bool complete = read_points(c, points);
    for (const BoardPoint p : points)
        if (std::none_of(c.blocked.begin(), c.blocked.end(), [&](BoardPoint b) { return same_point(b, p); }))
            c.blocked.push_back(p);
    return complete ? Flow::Continue : Flow::EndOfInput;
}

Flow on_yxblockundo(C& c, std::string_view) {
    std::vector<BoardPoint> points;
    const bool complete = read_points(c, points);
    for (const BoardPoint p : points) std::erase_if(c.blocked, [&](BoardPoint b) { return same_point(b, p); });
    return complete ? Flow::Continue : Flow::EndOfInput;
}

Flow on_yxblockreset(C& c, std::string_view) {
    c.blocked.clear();
    return Flow::Continue;
}

// The block has been taken in by the dispatcher.
Flow take_in(C&, std::string_view) { return Flow::Continue; }

constexpr Command ANALYSIS_COMMANDS[] = {
    {"yxboard", on_yxboard, Timing::StopsSearch, Block::Own, false},
    {"yxnbest", on_yxnbest, Timing::StopsSearch, Block::None, false},
    {"yxbalanceone", on_yxbalanceone, Timing::StopsSearch, Block::None, false},
    {"yxbalancetwo", on_yxbalancetwo, Timing::StopsSearch, Block::None, false},
    {"yxsearchdefend", on_yxsearchdefend, Timing::StopsSearch, Block::None, false},
    {"yxshowinfo", on_yxshowinfo, Timing::Now, Block::None, false},
    {"yxshowforbid", on_yxshowforbid, Timing::AfterSearch, Block::None, false},
    {"yxhashclear", on_yxhashclear, Timing::AfterSearch, Block::None, false},
    // The blocked points count from the next search on.
    {"yxblock", on_yxblock, Timing::Now, Block::Own, false},
    {"yxblockundo", on_yxblockundo, Timing::Now, Block::Own, false},
    {"yxblockreset", on_yxblockreset, Timing::Now, Block::None, false},
};

constexpr Command DATABASE_QUERY = {"", take_in, Timing::Now, Block::UntilDone, false};
constexpr Command DATABASE_FILE = {"", take_in, Timing::Now, Block::OneLine, false};

std::string lower(std::string_view word) {
    std::string text(word);
    for (char& ch : text)
        if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
    return text;
}

}  // namespace

std::span<const Command> analysis_commands() { return ANALYSIS_COMMANDS; }

const Command* database_command(std::string_view word) {
    const std::string w = lower(word);
    if (w.starts_with("yxquerydatabase")) return &DATABASE_QUERY;
    const bool database = w.starts_with("yx") && w.find("database") != std::string::npos;
    if (database || w.starts_with("yxdb") || w.starts_with("yxhash")) return &DATABASE_FILE;
    return nullptr;
}

}  // namespace vantrel
