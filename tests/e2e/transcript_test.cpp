// Golden transcripts: each tests/data/transcripts/<name>.in is written whole
// to the real brain, its input is then closed, and everything the brain
// writes must equal <name>.out line by line. An expected line "@move" stands
// for any point "x,y", and "@pair" for two ("x,y x,y"), so that transcripts
// hold whatever move the search chooses. The search info lines ("MESSAGE depth ...", one per iteration,
// as many as the clock allows) are dropped before comparing; every other
// line, other MESSAGE lines included, is exact. The brain must exit with
// status 0.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/brain_process.h"

namespace vantrel::testing {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr std::string_view SEARCH_INFO_PREFIX = "MESSAGE depth ";
const fs::path TRANSCRIPTS = fs::path(VANTREL_TEST_DATA_DIR) / "transcripts";

std::vector<std::string> transcript_names() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(TRANSCRIPTS))
        if (entry.path().extension() == ".in") names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Digits, a comma, digits.
bool is_point(const std::string& line) {
    const std::size_t comma = line.find(',');
    const auto digits = [&](std::size_t from, std::size_t to) {
        return from < to && std::all_of(line.begin() + static_cast<long>(from), line.begin() + static_cast<long>(to),
                                        [](char c) { return c >= '0' && c <= '9'; });
    };
    return comma != std::string::npos && digits(0, comma) && digits(comma + 1, line.size());
}

bool line_matches(const std::string& expected, const std::string& actual) {
    if (expected == "@move") return is_point(actual);
    if (expected == "@pair") {
        const std::size_t blank = actual.find(' ');
        return blank != std::string::npos && is_point(actual.substr(0, blank)) && is_point(actual.substr(blank + 1));
    }
    return expected == actual;
}

class GoldenTranscript : public ::testing::TestWithParam<std::string> {};

TEST_P(GoldenTranscript, OutputMatches) {
    const std::string script = read_file(TRANSCRIPTS / (GetParam() + ".in"));
    const std::vector<std::string> expected = lines_of(read_file(TRANSCRIPTS / (GetParam() + ".out")));

    BrainProcess brain;
    ASSERT_TRUE(brain.start());
    ASSERT_TRUE(brain.send_raw(script));
    brain.close_input();
    std::vector<std::string> actual;
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (!brain.output_ended() && std::chrono::steady_clock::now() < deadline)
        if (auto line = brain.read_line(100ms); line && !line->starts_with(SEARCH_INFO_PREFIX)) actual.push_back(*line);
    EXPECT_TRUE(brain.output_ended()) << "the brain did not end";
    EXPECT_EQ(brain.pending_output(), "");
    EXPECT_EQ(brain.wait_exit(5s), 0);

    for (std::size_t i = 0; i < std::max(expected.size(), actual.size()); ++i) {
        const std::string e = i < expected.size() ? expected[i] : "<nothing>";
        const std::string a = i < actual.size() ? actual[i] : "<nothing>";
        EXPECT_TRUE(line_matches(e, a)) << "line " << i + 1 << ": expected \"" << e << "\", got \"" << a << "\"";
    }
}

INSTANTIATE_TEST_SUITE_P(Transcript, GoldenTranscript, ::testing::ValuesIn(transcript_names()),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace vantrel::testing
