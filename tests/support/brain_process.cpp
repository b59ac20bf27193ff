// fork, exec and pipes behind BrainProcess. Every descriptor is created
// close-on-exec, so two brains started side by side never hold each other's
// pipes (a brain would otherwise never see the end of its input).
#include "support/brain_process.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <sstream>
#include <thread>

namespace vantrel::testing {
namespace {

using Clock = std::chrono::steady_clock;

void close_fd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

int remaining_ms(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

}  // namespace

std::string brain_path() { return VANTREL_BRAIN_PATH; }

std::vector<std::string> brain_command() {
    std::vector<std::string> words;
    if (const char* command = std::getenv("VANTREL_BRAIN_COMMAND")) {
        std::istringstream in(command);
        for (std::string word; in >> word;) words.push_back(word);
    }
    if (words.empty()) words.push_back(brain_path());
    return words;
}

bool native_brain() {
    const std::vector<std::string> command = brain_command();
    return command.size() == 1 && command[0] == brain_path();
}

BrainProcess::~BrainProcess() {
    kill();
    close_fd(to_brain_);
    close_fd(from_brain_);
}

bool BrainProcess::start(const std::vector<std::string>& command) {
    if (command.empty()) return false;
    // Built before the fork, so that the child allocates nothing.
    std::vector<char*> argv;
    for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    // A brain that has ended must not take the test down with SIGPIPE when it
    // is written to; the write fails instead.
    std::signal(SIGPIPE, SIG_IGN);
    int in_pipe[2], out_pipe[2];
    if (::pipe2(in_pipe, O_CLOEXEC) != 0) return false;
    if (::pipe2(out_pipe, O_CLOEXEC) != 0) {
        ::close(in_pipe[0]);
        ::close(in_pipe[1]);
        return false;
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        // dup2 clears close-on-exec on the copies, and only on them.
        ::dup2(in_pipe[0], STDIN_FILENO);
        ::dup2(out_pipe[1], STDOUT_FILENO);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(in_pipe[0]);
    ::close(out_pipe[1]);
    if (pid < 0) {
        ::close(in_pipe[1]);
        ::close(out_pipe[0]);
        return false;
    }
    pid_ = pid;
    to_brain_ = in_pipe[1];
    from_brain_ = out_pipe[0];
    output_closed_ = false;
    buffer_.clear();
    return true;
}

bool BrainProcess::send(std::string_view line) {
    std::string text(line);
    text += '\n';
    return send_raw(text);
}

bool BrainProcess::send_raw(std::string_view bytes) {
    while (!bytes.empty()) {
        if (to_brain_ < 0) return false;
        const ssize_t n = ::write(to_brain_, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool BrainProcess::fill(Millis timeout) {
    if (from_brain_ < 0) return false;
    pollfd p{from_brain_, POLLIN, 0};
    const int ready = ::poll(&p, 1, static_cast<int>(timeout.count()));
    if (ready <= 0) return false;
    char chunk[4096];
    const ssize_t n = ::read(from_brain_, chunk, sizeof chunk);
    if (n > 0) {
        buffer_.append(chunk, static_cast<std::size_t>(n));
    } else if (n == 0 || errno != EINTR) {
        output_closed_ = true;
        close_fd(from_brain_);
    }
    return true;
}

std::optional<std::string> BrainProcess::read_line(Millis timeout) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        if (const auto end = buffer_.find('\n'); end != std::string::npos) {
            std::string line = buffer_.substr(0, end);
            buffer_.erase(0, end + 1);
            return line;
        }
        if (output_closed_) return std::nullopt;
        if (!fill(Millis(remaining_ms(deadline))) && remaining_ms(deadline) == 0) return std::nullopt;
    }
}

std::optional<std::string> BrainProcess::read_reply(Millis timeout) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        auto line = read_line(Millis(remaining_ms(deadline)));
        if (!line || !line->starts_with("MESSAGE")) return line;
    }
}

void BrainProcess::close_input() { close_fd(to_brain_); }

std::optional<int> BrainProcess::wait_exit(Millis timeout) {
    if (pid_ <= 0) return std::nullopt;
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        int status = 0;
        const pid_t r = ::waitpid(pid_, &status, WNOHANG);
        if (r == pid_) {
            pid_ = -1;
            if (WIFEXITED(status)) return WEXITSTATUS(status);
            return WIFSIGNALED(status) ? -WTERMSIG(status) : -1;
        }
        if (r < 0 && errno != EINTR) return std::nullopt;
        if (Clock::now() >= deadline) return std::nullopt;
        std::this_thread::sleep_for(Millis(2));
    }
}

void BrainProcess::kill() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
}

}  // namespace vantrel::testing
