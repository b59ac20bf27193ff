// pbrain-vantrel started by a person rather than a manager: --help and
// --version, any other argument refused, and with no arguments the brain as
// before. The suite runs against the Windows brains under Wine as well.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "support/brain_process.h"

namespace vantrel::testing {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr auto WAIT = 5000ms;
// What a brain that ignored its arguments would answer: "OK".
constexpr std::string_view PROTOCOL_INPUT = "START 15\n";

struct Finished {
    std::optional<int> status;
    std::vector<std::string> out;
    std::vector<std::string> err;
};

// The brain under test started with the arguments, given PROTOCOL_INPUT and
// then the end of its input, and run to its end. BrainProcess leaves standard
// error to the test's own, so a shell sends it to a file.
Finished run_with(const std::vector<std::string>& arguments) {
    const fs::path err_file = fs::temp_directory_path() / ("vantrel-e2e-stderr-" + std::to_string(::getpid()));
    std::vector<std::string> command{"/bin/sh", "-c", R"(exec "$@" 2>"$0")", err_file.string()};
    for (const std::string& word : brain_command()) command.push_back(word);
    command.insert(command.end(), arguments.begin(), arguments.end());

    Finished result;
    BrainProcess brain;
    if (!brain.start(command)) return result;
    brain.send_raw(PROTOCOL_INPUT);
    brain.close_input();
    const auto deadline = std::chrono::steady_clock::now() + WAIT;
    while (!brain.output_ended() && std::chrono::steady_clock::now() < deadline)
        if (auto line = brain.read_line(100ms)) result.out.push_back(*line);
    if (!brain.pending_output().empty()) result.out.push_back(brain.pending_output());
    result.status = brain.wait_exit(WAIT);
    std::ifstream err(err_file);
    for (std::string line; std::getline(err, line);) result.err.push_back(line);
    fs::remove(err_file);
    return result;
}

bool any_line_has(const std::vector<std::string>& lines, std::string_view text) {
    for (const std::string& line : lines)
        if (line.find(text) != std::string::npos) return true;
    return false;
}

TEST(EndToEndCommandLine, HelpTellsTheUsageAndWhereTheManualIs) {
    const Finished help = run_with({"--help"});
    EXPECT_EQ(help.status, 0);
    ASSERT_FALSE(help.out.empty());
    EXPECT_TRUE(help.out[0].starts_with("Usage: pbrain-vantrel")) << help.out[0];
    EXPECT_TRUE(any_line_has(help.out, "man pbrain-vantrel"));
    EXPECT_TRUE(std::find(help.out.begin(), help.out.end(), "OK") == help.out.end()) << "the brain answered START";
    EXPECT_TRUE(help.err.empty()) << help.err.front();
}

// Both --version and ABOUT report the project's version; the bare brain
// that answers ABOUT still plays (START answered OK).
TEST(EndToEndCommandLine, VersionLineIsTheVersionTheBrainReports) {
    const Finished version = run_with({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(version.err.empty()) << version.err.front();

    BrainProcess brain;
    ASSERT_TRUE(brain.start());
    brain.send("START 15");
    EXPECT_EQ(brain.read_reply(WAIT), "OK");
    brain.send("ABOUT");
    const std::string about = brain.read_reply(WAIT).value_or("<no reply>");
    brain.send("END");
    EXPECT_EQ(brain.wait_exit(WAIT), 0);

    const std::string key = "version=\"";
    const std::size_t from = about.find(key);
    ASSERT_NE(from, std::string::npos) << about;
    const std::size_t to = about.find('"', from + key.size());
    ASSERT_NE(to, std::string::npos) << about;
    EXPECT_EQ(version.out,
              std::vector<std::string>{"pbrain-vantrel " + about.substr(from + key.size(), to - from - key.size())});
}

// A mistyped option, a short form that is not offered, a protocol command
// given as an argument, and a good option beside a bad one: exit status 2,
// no protocol output, one line naming the argument and pointing to --help.
TEST(EndToEndCommandLine, AnyOtherArgumentIsRefusedOnOneLine) {
    const std::vector<std::vector<std::string>> cases = {{"--bogus"}, {"-h"}, {"START"}, {"--help", "--verbose"}};
    for (const auto& arguments : cases) {
        SCOPED_TRACE(arguments.back());
        const Finished refused = run_with(arguments);
        EXPECT_EQ(refused.status, 2);
        EXPECT_TRUE(refused.out.empty()) << refused.out.front();
        ASSERT_EQ(refused.err.size(), 1u);
        EXPECT_TRUE(any_line_has(refused.err, "'" + arguments.back() + "'")) << refused.err[0];
        EXPECT_TRUE(any_line_has(refused.err, "--help")) << refused.err[0];
    }
}

}  // namespace
}  // namespace vantrel::testing
