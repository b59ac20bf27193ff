// Writing and checking the brain's lines about moves and searches.
#include "protocol/reply_lines.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "protocol/line_parsing.h"
#include "search/pv_search.h"

namespace vantrel {
namespace {

// Digits, a comma, digits; true with the two numbers.
bool read_point(std::string_view text, int& x, int& y) {
    const std::size_t comma = text.find(',');
    if (comma == std::string_view::npos || comma == 0 || comma + 1 == text.size()) return false;
    const auto digits = [](std::string_view t) {
        return !t.empty() && t.size() <= 3 &&
               std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (!digits(text.substr(0, comma)) || !digits(text.substr(comma + 1))) return false;
    x = read_atoi(text.substr(0, comma));
    y = read_atoi(text.substr(comma + 1));
    return true;
}

bool is_number(std::string_view t) {
    if (!t.empty() && t[0] == '-') t.remove_prefix(1);
    return !t.empty() && std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool is_eval(std::string_view t) {
    if (t.size() >= 3 && (t[0] == '+' || t[0] == '-') && t[1] == 'M') return is_number(t.substr(2)) && t[2] != '-';
    return is_number(t);
}

bool is_win_rate(std::string_view t) {
    return t.size() == 5 && (t[0] == '0' || t == "1.000") && t[1] == '.' && is_number(t.substr(2));
}

// Points separated by single blanks, at least one.
bool is_point_list(std::string_view t) {
    for (;;) {
        const std::size_t blank = t.find(' ');
        int x = 0, y = 0;
        if (!read_point(t.substr(0, blank), x, y)) return false;
        if (blank == std::string_view::npos) return true;
        t.remove_prefix(blank + 1);
    }
}

}  // namespace

std::string point_text(BoardPoint p) { return std::to_string(p.x) + ',' + std::to_string(p.y); }

std::string packed_point_text(std::int32_t packed) {
    return point_text({pv_move_x(packed) - MARGIN, pv_move_y(packed) - MARGIN});
}

std::string search_info_line(const IterationReport& it) {
    const std::int64_t nps = it.nodes * 1000 / std::max<std::int64_t>(it.elapsed_ms, 1);
    std::string text = std::string(SEARCH_INFO_PREFIX) + std::to_string(it.depth) + " score " +
                       std::to_string(it.score) + " nodes " + std::to_string(it.nodes) + " nps " + std::to_string(nps) +
                       " time " + std::to_string(it.elapsed_ms) + " pv";
    for (int i = 0; i < it.pv_length; ++i) {
        text += ' ';
        text += packed_point_text(it.pv[i]);
    }
    return text;
}

int steady_eval(int score, int best, std::optional<int> previous_best) {
    if (!previous_best || is_decided(score) || is_decided(best) || is_decided(*previous_best)) return score;
    return score + (*previous_best - best) / 2;
}

std::string eval_text(int score) {
    if (!is_decided(score)) return std::to_string(score);
    const int plies = WIN_SCORE - std::abs(score);
    const int moves = std::max(1, (plies + 1) / 2);
    return (score > 0 ? "+M" : "-M") + std::to_string(moves);
}

double win_rate(int score) {
    if (is_decided(score)) return score > 0 ? 1.0 : 0.0;
    return 1.0 / (1.0 + std::exp(-score / WIN_RATE_SCALE));
}

std::string win_rate_text(int score) {
    char text[16];
    std::snprintf(text, sizeof text, "%.3f", win_rate(score));
    return text;
}

std::vector<std::string> pv_block(int index, int count, int depth, int eval, const PvLine& line) {
    std::string best_line;
    for (int i = 0; i < line.length; ++i) {
        if (i > 0) best_line += ' ';
        best_line += packed_point_text(line.moves[i]);
    }
    const std::string values[] = {std::to_string(index), std::to_string(count), std::to_string(depth),
                                  eval_text(eval),       win_rate_text(eval),   best_line};
    std::vector<std::string> block;
    for (std::size_t k = 0; k < std::size(PV_BLOCK_KEYS); ++k)
        block.push_back(std::string("INFO ").append(PV_BLOCK_KEYS[k]).append(" ").append(values[k]));
    block.emplace_back(PV_BLOCK_END);
    return block;
}

std::string realtime_line(Realtime kind, BoardPoint p) {
    static constexpr std::string_view WORDS[] = {"BEST", "POS", "DONE", "LOSE"};
    return std::string("MESSAGE REALTIME ").append(WORDS[static_cast<int>(kind)]).append(" ").append(point_text(p));
}

std::string forbid_line(std::span<const BoardPoint> points) {
    std::string text = "FORBID ";
    for (const BoardPoint& p : points) {
        char digits[8];
        std::snprintf(digits, sizeof digits, "%02d%02d", p.x, p.y);
        text += digits;
    }
    return text + '.';
}

bool is_analysis_line(std::string_view line) {
    if (line == PV_BLOCK_END || line == REALTIME_REFRESH) return true;
    if (line.starts_with("INFO ")) {
        const std::string_view rest = line.substr(5);
        for (const std::string_view key : PV_BLOCK_KEYS) {
            if (!rest.starts_with(key) || rest.size() <= key.size() + 1 || rest[key.size()] != ' ') continue;
            const std::string_view value = rest.substr(key.size() + 1);
            if (key == "EVAL") return is_eval(value);
            if (key == "WINRATE") return is_win_rate(value);
            if (key == "BESTLINE") return is_point_list(value);
            return is_number(value) && value[0] != '-';
        }
        return false;
    }
    for (const std::string_view word : {"BEST ", "POS ", "DONE ", "LOSE "}) {
        const std::string prefix = std::string("MESSAGE REALTIME ").append(word);
        int x = 0, y = 0;
        if (line.starts_with(prefix)) return read_point(line.substr(prefix.size()), x, y);
    }
    if (line.starts_with("FORBID ") && line.ends_with('.')) {
        const std::string_view digits = line.substr(7, line.size() - 8);
        return digits.size() % 4 == 0 && (digits.empty() || is_number(digits));
    }
    return false;
}

void AnalysisReport::iteration(const IterationReport& it) {
    const int best = it.line_count > 0 ? it.lines[0].score : 0;
    for (int i = 0; i < it.line_count; ++i) {
        const PvLine& line = it.lines[i];
        for (const std::string& text :
             pv_block(i, it.line_count, it.depth, steady_eval(line.score, best, previous_best_), line))
            write_(text);
    }
    if (it.line_count > 0) previous_best_ = best;
    if (it.line_count > 0 && it.lines[0].length > 0) {
        const std::int32_t best = it.lines[0].moves[0];
        write_(realtime_line(Realtime::Best, {pv_move_x(best) - MARGIN, pv_move_y(best) - MARGIN}));
    }
    if (root_marks_) {
        write_(REALTIME_REFRESH);
        root_marks_ = false;
    }
}

void AnalysisReport::root_move(Point move, bool searched) {
    // DONE only after its own POS: the first move past the threshold may
    // have begun before it.
    if (searched ? !pos_written_ : elapsed_ms_() < ROOT_MOVES_AFTER_MS) return;
    pos_written_ = !searched;
    root_marks_ = true;
    write_(realtime_line(searched ? Realtime::Done : Realtime::Pos, {move.x - MARGIN, move.y - MARGIN}));
}

}  // namespace vantrel
