// The command interpreter: reading lines, the dispatch table in its fixed
// order, one handler per command, and the helpers that both threads use to
// place stones and reply.
#include "protocol/command_interpreter.h"

#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "protocol/line_parsing.h"
#include "protocol/swap2_opening.h"
#include "search/iterative_deepening.h"

namespace vantrel {
namespace {

// Sizes the engine can hold; every other size, up to the protocol's 100
// included, is refused before it reaches the engine.
bool engine_size(int n) { return n >= MIN_BOARD_SIZE && n <= MAX_BOARD_SIZE; }

bool equals_ignoring_case(std::string_view text, std::string_view word) {
    return text.size() == word.size() && match_word(text, word).has_value();
}

// Stone marks of a BOARD block.
constexpr int OWN_STONE = 1;
constexpr int OPPONENT_STONE = 2;


}  // namespace

EnginePtr create_engine() { return EnginePtr(new (std::nothrow) Engine); }

CommandInterpreter::CommandInterpreter(std::istream& in, std::ostream& out, EngineFactory make_engine,
                                       MoveChooser chooser)
    : choose_move(std::move(chooser)), in_(in.rdbuf()), out_(out), make_engine_(std::move(make_engine)) {}

Flow CommandInterpreter::run() {
    for (;;) {
        if (!read_line()) return Flow::EndOfInput;
        if (const Flow flow = dispatch(); flow != Flow::Continue) return flow;
    }
}

bool CommandInterpreter::read_line() {
    int stored = 0;
    for (;;) {
        const int c = in_->sbumpc();
        if (c == std::char_traits<char>::eof()) return false;
        if (stored < LINE_BUFFER_SIZE) line_[stored++] = static_cast<char>(c);
        if (c == '\n') break;
    }
    // The last stored character gives way to the end of the string: the line
    // feed itself, or the 256th character of a longer line.
    int end = stored - 1;
    if (end > 0 && line_[end - 1] == '\r') --end;
    line_[end] = '\0';
    line_length_ = std::strlen(line_);
    return true;
}

Flow CommandInterpreter::dispatch() {
    using Handler = Flow (CommandInterpreter::*)(std::string_view);
    struct Command {
        std::string_view word;
        Handler handler;
    };
    // Tried in this order, and the first word that matches is the command:
    // "restart" and "rectstart" must not be taken for one another, and every
    // word matches as a prefix of the line.
    static constexpr Command COMMANDS[] = {
        {"info", &CommandInterpreter::on_info},
        {"start", &CommandInterpreter::on_start},
        {"rectstart", &CommandInterpreter::on_rectstart},
        {"restart", &CommandInterpreter::on_restart},
        {"turn", &CommandInterpreter::on_turn},
        {"play", &CommandInterpreter::on_play},
        {"begin", &CommandInterpreter::on_begin},
        {"about", &CommandInterpreter::on_about},
        {"end", &CommandInterpreter::on_end},
        {"board", &CommandInterpreter::on_board},
        {"yxstop", &CommandInterpreter::on_yxstop},
        {"takeback", &CommandInterpreter::on_takeback},
        {"swap2board", &CommandInterpreter::on_swap2board},
    };
    for (const Command& command : COMMANDS)
        if (const auto arg = match_word(line(), command.word)) return (this->*command.handler)(*arg);
    reply(UNKNOWN_REPLY);
    return Flow::Continue;
}

void CommandInterpreter::reply(std::string_view text) {
    std::lock_guard lock(output_mutex_);
    out_.write(text.data(), static_cast<std::streamsize>(text.size()));
    out_.put('\n');
    out_.flush();
}

std::optional<BoardPoint> CommandInterpreter::parse_point(std::string_view text) const {
    std::int32_t v[2];
    if (scan_numbers(text, "%d,%d", v, 2) != 2) return std::nullopt;
    if (v[0] < 0 || v[0] >= board_width || v[1] < 0 || v[1] >= board_height) return std::nullopt;
    return BoardPoint{v[0], v[1]};
}

bool CommandInterpreter::is_free(BoardPoint p) const {
    return p.x >= 0 && p.x < board_width && p.y >= 0 && p.y < board_height &&
           engine->cell(p.x + MARGIN, p.y + MARGIN).state == EMPTY;
}

void CommandInterpreter::place_stone(int x, int y) {
    engine->move(x, y);
    ++move_number;
}

void CommandInterpreter::play_and_answer(int x, int y) {
    place_stone(x, y);
    reply(std::to_string(x) + ',' + std::to_string(y));
}

bool CommandInterpreter::new_game() {
    if (!engine_size(board_width) || !engine_size(board_height)) {
        reply(SIZE_ERROR_REPLY);
        return false;
    }
    move_number = 1;
    brain_side = 0;
    // The old engine goes first, so that two of them never need to fit in
    // memory at once.
    engine.reset();
    engine = make_engine_();
    if (!engine) {
        reply(LOAD_ERROR_REPLY);
        return true;
    }
    engine->set_rule(game_rule());
    engine->reset_rectangle(board_width, board_height);
    engine->max_depth = NEW_GAME_MAX_DEPTH;
    engine->turn_time_ms = NEW_GAME_TURN_TIME_MS;
    reply(OK_REPLY);
    return true;
}

void CommandInterpreter::restart_game() {
    clear_board();
    reply(OK_REPLY);
}

void CommandInterpreter::clear_board() {
    sync_rule();
    engine->reset_rectangle(board_width, board_height);
    move_number = 1;
    brain_side = 0;
}

void CommandInterpreter::open_default_game() {
    board_width = board_height = DEFAULT_BOARD_SIZE;
    new_game();
}

bool CommandInterpreter::ready_engine() {
    wait_worker();
    if (board_width == 0) open_default_game();
    // The size is known but the engine could not be made last time: try
    // again, answering as START would.
    else if (!engine)
        new_game();
    sync_rule();
    return engine != nullptr;
}

Rule CommandInterpreter::game_rule() const {
    Rule rule = Rule::FreeStyle;
    return rule_of_info(info.rule.load(), rule) ? rule : Rule::FreeStyle;
}

void CommandInterpreter::sync_rule() {
    if (engine && engine->rule != game_rule()) engine->set_rule(game_rule());
}

void CommandInterpreter::wait_worker() { turns_->wait_worker(); }

// Every command that makes the brain move comes here with the brain to move.
void CommandInterpreter::start_thinking() {
    if (rule_notice_pending_) {
        rule_notice_pending_ = false;
        reply(FREESTYLE_ONLY_REPLY);
    }
    if (!swap2_pending) brain_side = engine->side;
    turns_->start_thinking();
}

Flow CommandInterpreter::on_info(std::string_view arg) {
    struct Key {
        std::string_view word;
        std::atomic<std::int32_t> InfoSettings::*setting;
    };
    static constexpr Key KEYS[] = {
        {"max_memory", &InfoSettings::max_memory},     {"timeout_match", &InfoSettings::timeout_match},
        {"timeout_turn", &InfoSettings::timeout_turn}, {"time_left", &InfoSettings::time_left},
        {"game_type", &InfoSettings::game_type},       {"rule", &InfoSettings::rule},
        {"max_depth", &InfoSettings::max_depth},       {"max_node", &InfoSettings::max_node},
    };
    for (const Key& key : KEYS) {
        if (const auto value = match_word(arg, key.word)) {
            const std::int32_t v = read_atoi(*value);
            (info.*key.setting).store(v);
            if (key.setting == &InfoSettings::timeout_turn) info.manager_timeout_turn.store(v);
            if (key.setting == &InfoSettings::rule) {
                Rule rule = Rule::FreeStyle;
                rule_notice_pending_ = !rule_of_info(v, rule);
                // The rule's tables are made once per process; made here,
                // they cost no turn any time (a running search never reads
                // them, and making them touches no engine).
                rule_tables(rule);
            }
            break;
        }
    }
    return Flow::Continue;
}

Flow CommandInterpreter::on_start(std::string_view arg) {
    std::int32_t v[2];
    const int n = scan_numbers(arg, "%d %d", v, 2);
    if (n == 2)
        start_game(v[0], v[1]);
    else if (n == 1)
        start_game(v[0], v[0]);
    else
        start_game(board_width, board_height);
    return Flow::Continue;
}

Flow CommandInterpreter::on_rectstart(std::string_view arg) {
    std::int32_t v[2];
    // Refused at once, without waiting for a running turn.
    if (scan_numbers(arg, "%d ,%d", v, 2) != 2)
        reply(RECTSTART_ERROR_REPLY);
    else
        start_game(v[0], v[1]);
    return Flow::Continue;
}

void CommandInterpreter::start_game(int width, int height) {
    wait_worker();
    const int old_width = board_width, old_height = board_height;
    board_width = width;
    board_height = height;
    if (board_width == 0) open_default_game();
    if (!new_game()) {
        board_width = old_width;
        board_height = old_height;
    }
}

Flow CommandInterpreter::on_restart(std::string_view) {
    if (ready_engine()) restart_game();
    return Flow::Continue;
}

Flow CommandInterpreter::on_turn(std::string_view arg) {
    if (!ready_engine()) return Flow::Continue;
    const auto p = parse_point(arg);
    if (!p) {
        reply(COORDINATES_ERROR_REPLY);
    } else if (!is_free(*p)) {
        reply(OCCUPIED_ERROR_REPLY);
    } else {
        place_stone(p->x, p->y);
        start_thinking();
    }
    return Flow::Continue;
}

Flow CommandInterpreter::on_play(std::string_view arg) {
    if (!ready_engine()) return Flow::Continue;
    const auto p = parse_point(arg);
    if (!p)
        reply(COORDINATES_ERROR_REPLY);
    else if (!is_free(*p))
        reply(OCCUPIED_ERROR_REPLY);
    else {
        // The manager plays the brain's stone for it.
        brain_side = engine->side;
        play_and_answer(p->x, p->y);
    }
    return Flow::Continue;
}

Flow CommandInterpreter::on_begin(std::string_view) {
    if (ready_engine()) start_thinking();
    return Flow::Continue;
}

Flow CommandInterpreter::on_about(std::string_view) {
    reply(ABOUT_REPLY);
    return Flow::Continue;
}

Flow CommandInterpreter::on_end(std::string_view) {
    wait_worker();
    return Flow::End;
}

// Stops a running search as its deadline would; the worker then writes its
// move. Neither waits for the worker nor touches the engine: with no turn
// running the request is cleared before the next turn starts.
Flow CommandInterpreter::on_yxstop(std::string_view) {
    stop_request.store(true);
    return Flow::Continue;
}

// The whole block is read before any stone is placed, so that the stones can
// be given to the right players whatever order the manager lists them in.
Flow CommandInterpreter::on_board(std::string_view) {
    const bool ready = ready_engine();
    Block block;
    for (;;) {
        if (!read_line()) return Flow::EndOfInput;
        std::int32_t v[3];
        if (scan_numbers(line(), "%d,%d,%d", v, 3) == 3 && (v[2] == OWN_STONE || v[2] == OPPONENT_STONE)) {
            const BoardPoint p{v[0], v[1]};
            const bool on_board = p.x >= 0 && p.x < board_width && p.y >= 0 && p.y < board_height;
            // A point listed twice is an invalid line.
            if (on_board && block.mark[p.x][p.y] == 0) {
                block.mark[p.x][p.y] = static_cast<std::uint8_t>(v[2]);
                block.stones.push_back({p.x, p.y, v[2]});
                continue;
            }
        }
        if (!equals_ignoring_case(line(), "done")) reply(BOARD_ERROR_REPLY);
        break;
    }
    if (!ready) return Flow::Continue;
    impose_position(block);
    start_thinking();
    return Flow::Continue;
}

// The block is the whole new position, the brain to move. A board whose
// stones are all in the block with the owners it gives them keeps them and
// gets only the missing ones, so the transposition tables keep what earlier
// turns learnt (a manager that sends the whole game before every move).
// Any other board starts afresh, as RESTART would.
void CommandInterpreter::impose_position(const Block& block) {
    if (!board_within(block) || !add_missing_stones(block)) {
        clear_board();
        // Counts that cannot leave the brain to move: placed as listed, each
        // stone to the side to move.
        if (!add_missing_stones(block))
            for (const Stone& s : block.stones) place_stone(s.x, s.y);
    }
    move_number = engine->move_count + 1;
}

bool CommandInterpreter::board_within(const Block& block) const {
    for (int i = 0; i < engine->move_count; ++i) {
        const int x = engine->history[i].x, y = engine->history[i].y;
        const int owner = engine->cell(x, y).state == brain_side ? OWN_STONE : OPPONENT_STONE;
        if (block.mark[x - MARGIN][y - MARGIN] != owner) return false;
    }
    return true;
}

// Places the block's stones that are not on the board, alternating from the
// side to move and ending with the brain to move, each mark's stones in their
// listed order; false, with nothing placed, when the counts do not allow it.
// On an empty board the counts decide who moved first: the opponent when it
// has one stone more, otherwise the brain.
bool CommandInterpreter::add_missing_stones(const Block& block) {
    std::vector<Stone> own, opponent;
    for (const Stone& s : block.stones)
        if (is_free({s.x, s.y})) (s.who == OWN_STONE ? own : opponent).push_back(s);
    const bool brain_first = engine->move_count == 0 ? own.size() == opponent.size() : engine->side == brain_side;
    if (opponent.size() != own.size() + (brain_first ? 0 : 1)) return false;
    const std::vector<Stone>& first = brain_first ? own : opponent;
    const std::vector<Stone>& second = brain_first ? opponent : own;
    for (std::size_t i = 0; i < first.size(); ++i) {
        place_stone(first[i].x, first[i].y);
        if (i < second.size()) place_stone(second[i].x, second[i].y);
    }
    return true;
}

// Only the last stone placed can be taken back; anything else changes nothing.
Flow CommandInterpreter::on_takeback(std::string_view arg) {
    if (!ready_engine()) return Flow::Continue;
    const auto p = parse_point(arg);
    if (!p) {
        reply(COORDINATES_ERROR_REPLY);
    } else if (engine->move_count == 0) {
        reply(NO_STONE_REPLY);
    } else {
        const Point last = engine->history[engine->move_count - 1];
        if (last.x != p->x + MARGIN || last.y != p->y + MARGIN) {
            reply(NOT_LAST_STONE_REPLY);
        } else {
            engine->undo();
            --move_number;
            reply(OK_REPLY);
        }
    }
    return Flow::Continue;
}

// The opening's stones go on a fresh board in the order of play, black first;
// the worker then answers from the engine's search (swap2_opening.h). A bad
// line or count is answered with an error and changes nothing.
Flow CommandInterpreter::on_swap2board(std::string_view) {
    const bool ready = ready_engine();
    std::vector<BoardPoint> stones;
    bool listed[MAX_BOARD_SIZE][MAX_BOARD_SIZE] = {};
    for (;;) {
        if (!read_line()) return Flow::EndOfInput;
        std::int32_t v[2];
        if (scan_numbers(line(), "%d,%d", v, 2) == 2) {
            const BoardPoint p{v[0], v[1]};
            const bool on_board = p.x >= 0 && p.x < board_width && p.y >= 0 && p.y < board_height;
            if (on_board && !listed[p.x][p.y]) {
                listed[p.x][p.y] = true;
                stones.push_back(p);
                continue;
            }
        }
        if (!equals_ignoring_case(line(), "done")) {
            reply(SWAP2_LINE_ERROR_REPLY);
            return Flow::Continue;
        }
        break;
    }
    if (!ready) return Flow::Continue;
    if (!is_swap2_request(stones.size())) {
        reply(SWAP2_COUNT_ERROR_REPLY);
        return Flow::Continue;
    }
    clear_board();
    for (const BoardPoint& p : stones) place_stone(p.x, p.y);
    swap2_pending = true;
    start_thinking();
    return Flow::Continue;
}

}  // namespace vantrel
