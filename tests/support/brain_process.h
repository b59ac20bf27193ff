// Drives a real brain executable through pipes, as a tournament manager does:
// start it, write lines to its standard input, read its reply lines with
// timeouts, close its input, wait for its exit. Its standard error is left to
// the test's own. Whatever is still running when the object goes is killed.
//
// The brain under test is the pbrain-vantrel built with the tests, unless the
// environment variable VANTREL_BRAIN_COMMAND gives the command that starts
// another one, words split on blanks: "wine build/win64/pbrain-vantrel64.exe"
// runs the same tests against the Windows brain.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel::testing {

// The pbrain-vantrel built with the tests.
std::string brain_path();
// The command that starts the brain under test: program and arguments.
std::vector<std::string> brain_command();
// Whether the brain under test is the one built with the tests, not one
// started through another program (whose process is then not the brain's).
bool native_brain();

class BrainProcess {
public:
    using Millis = std::chrono::milliseconds;

    BrainProcess() = default;
    ~BrainProcess();
    BrainProcess(const BrainProcess&) = delete;
    BrainProcess& operator=(const BrainProcess&) = delete;

    // Spawns the command (by default the brain under test; the program is
    // looked up in PATH when its name has no slash); false when it cannot be
    // started.
    bool start(const std::vector<std::string>& command = brain_command());
    bool start(const std::string& path) { return start(std::vector<std::string>{path}); }

    // Writes the line and a line feed. False when the brain no longer reads.
    bool send(std::string_view line);
    // Writes the bytes as they are: partial lines, CR LF, any bytes.
    bool send_raw(std::string_view bytes);

    // The next output line without its line feed; none when no whole line
    // comes within the timeout or the output has ended (see output_ended).
    std::optional<std::string> read_line(Millis timeout);
    // The next line that is not a MESSAGE line, as a manager reads replies:
    // the MESSAGE lines before it are dropped. Same timeout rule as read_line,
    // counted for the whole wait.
    std::optional<std::string> read_reply(Millis timeout);
    // Whether the brain has closed its output and every line has been read.
    bool output_ended() const { return output_closed_ && buffer_.empty(); }
    // Output received after the last whole line (normally empty).
    const std::string& pending_output() const { return buffer_; }

    // End of input for the brain.
    void close_input();

    // The exit status once the brain has ended, the negated signal number if a
    // signal ended it; none when it is still running after the timeout.
    std::optional<int> wait_exit(Millis timeout);

    // Kills the brain if it is running and collects it.
    void kill();

    bool running() const { return pid_ > 0; }
    pid_t pid() const { return pid_; }

private:
    // Reads what is available within the timeout; false on timeout.
    bool fill(Millis timeout);

    pid_t pid_ = -1;
    int to_brain_ = -1;
    int from_brain_ = -1;
    bool output_closed_ = false;
    std::string buffer_;
};

}  // namespace vantrel::testing
