// The command interpreter: reading lines, the command table of the design's
// words in their fixed order and the dispatch over it and the analysis GUI's
// table, one handler per command, and the helpers that set up the game.
#include "protocol/command_interpreter.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <string>
#include <vector>

#include "protocol/analysis_commands.h"
#include "protocol/brain_turn.h"
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

// The line's first word: up to the first blank.
std::string_view first_word(std::string_view text) {
    std::size_t end = 0;
    while (end < text.size() && !is_blank(text[end])) ++end;
    return text.substr(0, end);
}


}  // namespace

EnginePtr create_engine(HashTables& tables) { return EnginePtr(new (std::nothrow) Engine(tables)); }

CommandInterpreter::CommandInterpreter(std::istream& in, std::ostream& out, EngineFactory make_engine,
                                       MoveChooser chooser, HashTables* shared_tables)
    : choose_move(std::move(chooser)),
      own_tables_(shared_tables ? nullptr : std::make_unique<HashTables>()),
      tables(shared_tables ? *shared_tables : *own_tables_),
      in_(in.rdbuf()),
      out_(out),
      make_engine_(std::move(make_engine)) {}

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

const Command* CommandInterpreter::find_command(std::string_view text, std::string_view& arg) const {
    using C = CommandInterpreter;
    // The design's words in their fixed order, each matching as a prefix too
    // ("restart" and "rectstart" must not be taken for one another), then the
    // words managers add, matched whole. A running search is stopped by every
    // command that changes the game or starts a search.
    static constexpr Command COMMANDS[] = {
        {"info", [](C& c, std::string_view a) { return c.on_info(a); }, Timing::Now, Block::None, true},
        {"start", [](C& c, std::string_view a) { return c.on_start(a); }, Timing::StopsSearch, Block::None, true},
        // Stops the search only once its parameters are good.
        {"rectstart", [](C& c, std::string_view a) { return c.on_rectstart(a); }, Timing::Now, Block::None, true},
        {"restart", [](C& c, std::string_view a) { return c.on_restart(a); }, Timing::StopsSearch, Block::None, true},
        {"turn", [](C& c, std::string_view a) { return c.on_turn(a); }, Timing::StopsSearch, Block::None, true},
        {"play", [](C& c, std::string_view a) { return c.on_play(a); }, Timing::StopsSearch, Block::None, true},
        {"begin", [](C& c, std::string_view a) { return c.on_begin(a); }, Timing::StopsSearch, Block::None, true},
        {"about", [](C& c, std::string_view a) { return c.on_about(a); }, Timing::Now, Block::None, true},
        {"end", [](C& c, std::string_view a) { return c.on_end(a); }, Timing::StopsSearch, Block::None, true},
        {"board", [](C& c, std::string_view a) { return c.on_board(a); }, Timing::StopsSearch, Block::Own, true},
        {"yxstop", [](C& c, std::string_view a) { return c.on_yxstop(a); }, Timing::Now, Block::None, false},
        {"takeback", [](C& c, std::string_view a) { return c.on_takeback(a); }, Timing::StopsSearch, Block::None,
         false},
        {"swap2board", [](C& c, std::string_view a) { return c.on_swap2board(a); }, Timing::StopsSearch, Block::Own,
         false},
    };
    // The whole first word first, in both tables: "yxblock" must not take
    // "yxblockreset", nor "start" a word that merely begins with it.
    const std::string_view word = first_word(text);
    const auto whole = [&](const Command& c) { return equals_ignoring_case(word, c.word); };
    const Command* found = nullptr;
    if (const auto it = std::find_if(std::begin(COMMANDS), std::end(COMMANDS), whole); it != std::end(COMMANDS))
        found = &*it;
    else if (const auto more = analysis_commands(); std::find_if(more.begin(), more.end(), whole) != more.end())
        found = &*std::find_if(more.begin(), more.end(), whole);
    else
        found = database_command(word);
    if (found) {
        arg = *match_word(text, found->word);
        return found;
    }
    for (const Command& command : COMMANDS) {
        if (!command.prefix) continue;
        if (const auto rest = match_word(text, command.word)) {
            arg = *rest;
            return &command;
        }
    }
    return nullptr;
}

Flow CommandInterpreter::dispatch() {
    std::string_view arg;
    const Command* command = find_command(line(), arg);
    if (!command) {
        reply(UNKNOWN_REPLY);
        return Flow::Continue;
    }
    return run_command(*command, arg);
}

Flow CommandInterpreter::run_command(const Command& command, std::string_view arg) {
    switch (command.timing) {
        case Timing::Now:
            break;
        case Timing::StopsSearch:
            stop_search();
            break;
        case Timing::AfterSearch: {
            // The line buffer is read again before the job may run.
            when_idle([this, run = command.run, text = std::string(arg)] { run(*this, text); });
            return Flow::Continue;
        }
    }
    if (!skip_block(command.block)) return Flow::EndOfInput;
    return command.run(*this, arg);
}

// Takes in the lines of a block the brain has no use for.
bool CommandInterpreter::skip_block(Block block) {
    if (block == Block::OneLine) return read_line();
    if (block != Block::UntilDone) return true;
    while (read_line())
        if (equals_ignoring_case(line(), "done")) return true;
    return false;
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
    if (!game.on_board({v[0], v[1]})) return std::nullopt;
    return BoardPoint{v[0], v[1]};
}

bool CommandInterpreter::new_game() {
    if (!engine_size(game.board_width) || !engine_size(game.board_height)) {
        reply(SIZE_ERROR_REPLY);
        return false;
    }
    game.brain_side = 0;
    // The old engine goes first, so that two of them never need to fit in
    // memory at once; then the tables take the size the settings ask for.
    game.engine.reset();
    if (const int bits = table_bits_wanted(info); bits != tables.bits()) tables.resize(bits);
    game.engine = make_engine_(tables);
    if (!game.engine) {
        reply(LOAD_ERROR_REPLY);
        return true;
    }
    game.engine->set_rule(rule_game(info));
    game.engine->reset_rectangle(game.board_width, game.board_height);
    game.engine->max_depth = NEW_GAME_MAX_DEPTH;
    game.engine->turn_time_ms = NEW_GAME_TURN_TIME_MS;
    reply(OK_REPLY);
    return true;
}

void CommandInterpreter::restart_game() {
    clear_board();
    reply(OK_REPLY);
}

void CommandInterpreter::clear_board() {
    sync_rule();
    game.engine->reset_rectangle(game.board_width, game.board_height);
    game.brain_side = 0;
}

void CommandInterpreter::open_default_game() {
    game.board_width = game.board_height = DEFAULT_BOARD_SIZE;
    new_game();
}

bool CommandInterpreter::ready_engine() {
    wait_worker();
    if (game.board_width == 0) open_default_game();
    // The size is known but the engine could not be made last time: try
    // again, answering as START would.
    else if (!game.engine)
        new_game();
    sync_rule();
    return game.engine != nullptr;
}

void CommandInterpreter::sync_rule() {
    if (game.engine && game.engine->rule != rule_game(info)) game.engine->set_rule(rule_game(info));
}

void CommandInterpreter::wait_worker() { turns_->wait_worker(); }

// A search under a budget ends by itself and is waited for, as the design's
// commands always have: a manager, or a script that writes a whole game at
// once, gets every move searched in full. One that runs until stopped (the
// GUI's analysis) is stopped.
void CommandInterpreter::stop_search() {
    if (search_until_stopped_) stop_request.store(true);
    wait_worker();
}

SearchRequest CommandInterpreter::search_request(SearchKind kind) {
    SearchRequest r = make_search_request(kind, game, info);
    r.reply = [this](std::string_view text) { reply(text); };
    r.stop = &stop_request;
    r.chooser = choose_move ? &choose_move : nullptr;
    r.excluded = blocked;
    return r;
}

// Every command that makes the brain search comes here with the brain to move.
void CommandInterpreter::start_search(SearchRequest request) {
    if (rule_notice_pending_) {
        rule_notice_pending_ = false;
        reply(FREESTYLE_ONLY_REPLY);
    }
    if (request.kind != SearchKind::Swap2) game.brain_side = game.engine->side;
    // A stop requested while no search ran must not cut this one short.
    stop_request.store(false);
    search_until_stopped_ = request.until_stopped;
    turns_->start_search(std::move(request));
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
        {"show_detail", &InfoSettings::show_detail},   {"hash_size", &InfoSettings::hash_size},
    };
    // Every other key (thread_num, pondering, nbestsym, usedatabase, ...) is
    // taken in silently.
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
        start_game(game.board_width, game.board_height);
    return Flow::Continue;
}

Flow CommandInterpreter::on_rectstart(std::string_view arg) {
    std::int32_t v[2];
    // Refused at once, without stopping a running search.
    if (scan_numbers(arg, "%d ,%d", v, 2) != 2) {
        reply(RECTSTART_ERROR_REPLY);
    } else {
        stop_search();
        start_game(v[0], v[1]);
    }
    return Flow::Continue;
}

void CommandInterpreter::start_game(int width, int height) {
    wait_worker();
    const int old_width = game.board_width, old_height = game.board_height;
    game.board_width = width;
    game.board_height = height;
    if (game.board_width == 0) open_default_game();
    if (!new_game()) {
        game.board_width = old_width;
        game.board_height = old_height;
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
    } else if (!game.is_free(*p)) {
        reply(OCCUPIED_ERROR_REPLY);
    } else {
        game.place_stone(*p);
        start_thinking();
    }
    return Flow::Continue;
}

Flow CommandInterpreter::on_play(std::string_view arg) {
    if (!ready_engine()) return Flow::Continue;
    const auto p = parse_point(arg);
    if (!p) {
        reply(COORDINATES_ERROR_REPLY);
    } else if (!game.is_free(*p)) {
        reply(OCCUPIED_ERROR_REPLY);
    } else {
        // The manager plays the brain's stone for it.
        game.brain_side = game.engine->side;
        game.place_stone(*p);
        reply(point_text(*p));
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

// A running search writes its move first (the command's timing): one under
// a budget runs to its end, one that would only end when stopped is
// stopped, so that END never hangs.
Flow CommandInterpreter::on_end(std::string_view) { return Flow::End; }

// Stops a running search as its deadline would; the search's thread then
// writes its move. Neither waits for the search nor touches the game: with
// no search running the request is cleared before the next one starts.
Flow CommandInterpreter::on_yxstop(std::string_view) {
    stop_request.store(true);
    return Flow::Continue;
}

bool CommandInterpreter::read_stone_block(StoneBlock& block) {
    for (;;) {
        if (!read_line()) return false;
        std::int32_t v[3];
        if (scan_numbers(line(), "%d,%d,%d", v, 3) == 3 && (v[2] == OWN_STONE || v[2] == OPPONENT_STONE)) {
            const BoardPoint p{v[0], v[1]};
            // A point listed twice is an invalid line.
            if (game.on_board(p) && block.mark[p.x][p.y] == 0) {
                block.mark[p.x][p.y] = static_cast<std::uint8_t>(v[2]);
                block.stones.push_back({p.x, p.y, v[2]});
                continue;
            }
        }
        if (!equals_ignoring_case(line(), "done")) reply(BOARD_ERROR_REPLY);
        return true;
    }
}

// The whole block is read before any stone is placed, so that the stones can
// be given to the right players whatever order the manager lists them in.
Flow CommandInterpreter::on_board(std::string_view) {
    const bool ready = ready_engine();
    StoneBlock block;
    if (!read_stone_block(block)) return Flow::EndOfInput;
    if (!ready) return Flow::Continue;
    impose_position(block);
    start_thinking();
    return Flow::Continue;
}

// The block is the whole new position, the side of the stones marked 1 to
// move. A board whose stones are all in the block with the owners it gives
// them keeps them and gets only the missing ones, so the transposition
// tables keep what earlier turns learnt (a manager that sends the whole game
// before every move). Any other board starts afresh, as RESTART would.
void CommandInterpreter::impose_position(const StoneBlock& block) {
    if (!board_within(game, block) || !add_missing_stones(game, block)) {
        clear_board();
        // Counts that cannot leave the brain to move: placed as listed, each
        // stone to the side to move.
        if (!add_missing_stones(game, block))
            for (const StoneBlock::Stone& s : block.stones) game.place_stone({s.x, s.y});
    }
}

// Only the last stone placed can be taken back; anything else changes nothing.
Flow CommandInterpreter::on_takeback(std::string_view arg) {
    if (!ready_engine()) return Flow::Continue;
    Engine& e = *game.engine;
    const auto p = parse_point(arg);
    if (!p) {
        reply(COORDINATES_ERROR_REPLY);
    } else if (e.move_count == 0) {
        reply(NO_STONE_REPLY);
    } else {
        const Point last = e.history[e.move_count - 1];
        if (last.x != p->x + MARGIN || last.y != p->y + MARGIN) {
            reply(NOT_LAST_STONE_REPLY);
        } else {
            e.undo();
            reply(OK_REPLY);
        }
    }
    return Flow::Continue;
}

// The opening's stones go on a fresh board in the order of play, black first;
// the search's thread then answers from the engine's search
// (swap2_opening.h). A bad line or count is answered with an error and
// changes nothing.
Flow CommandInterpreter::on_swap2board(std::string_view) {
    const bool ready = ready_engine();
    std::vector<BoardPoint> stones;
    bool listed[MAX_BOARD_SIZE][MAX_BOARD_SIZE] = {};
    for (;;) {
        if (!read_line()) return Flow::EndOfInput;
        std::int32_t v[2];
        if (scan_numbers(line(), "%d,%d", v, 2) == 2) {
            const BoardPoint p{v[0], v[1]};
            if (game.on_board(p) && !listed[p.x][p.y]) {
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
    for (const BoardPoint& p : stones) game.place_stone(p);
    start_search(search_request(SearchKind::Swap2));
    return Flow::Continue;
}

}  // namespace vantrel
