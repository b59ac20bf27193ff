// Entry point of the browser build: the same command interpreter as the
// standard-input brain, with its turns played on the calling thread (there
// are no threads in a WebAssembly build served without cross-origin
// isolation). The site's engine worker (web/engine_worker.js) hands it text
// through vantrel_send and receives every reply line through the worker's
// own vantrel_reply_line the moment the line is written, so a turn's search
// lines reach the page while the turn still runs.
//
// A call carries whole lines: a BOARD or SWAP2BOARD block comes whole, with
// its DONE, in one call. Text after the last line feed waits for the next
// call. A running turn cannot be stopped from outside (the worker is busy
// running it); the page ends the Web Worker instead.
#include <emscripten.h>

#include <istream>
#include <ostream>
#include <streambuf>
#include <string>

#include "protocol/command_interpreter.h"
#include "protocol/same_thread_turns.h"

namespace {

EM_JS(void, post_reply_line, (const char* text, int length), { vantrel_reply_line(UTF8ToString(text, length)); });

// The interpreter's input: the whole lines received so far and not yet
// read. At their end the interpreter sees the end of input and returns.
class PendingLines : public std::streambuf {
public:
    void add(const char* text) {
        pending_.append(text);
        const std::size_t last_line_end = pending_.rfind('\n');
        if (last_line_end == std::string::npos) return;
        lines_.erase(0, static_cast<std::size_t>(gptr() - eback()));
        lines_.append(pending_, 0, last_line_end + 1);
        pending_.erase(0, last_line_end + 1);
        char* begin = lines_.data();
        setg(begin, begin, begin + lines_.size());
    }

private:
    std::string lines_;    // complete lines; the get area reads them
    std::string pending_;  // the start of a line whose end has not come
};

// The interpreter's output: one reply line per call of the page's hook.
class ReplyLines : public std::streambuf {
protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
        if (c == '\n') {
            post_reply_line(line_.data(), static_cast<int>(line_.size()));
            line_.clear();
        } else {
            line_.push_back(static_cast<char>(c));
        }
        return c;
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        for (std::streamsize i = 0; i < n; ++i) overflow(static_cast<unsigned char>(s[i]));
        return n;
    }

private:
    std::string line_;
};

struct Brain {
    PendingLines input_lines;
    ReplyLines reply_lines;
    std::istream in{&input_lines};
    std::ostream out{&reply_lines};
    vantrel::CommandInterpreter front{in, out};
    vantrel::SameThreadTurns turns{front};
    bool ended = false;
};

Brain& brain() {
    static Brain b;
    return b;
}

}  // namespace

extern "C" {

// Runs the commands of `text`; 1 once END has been read (every later call
// is ignored, as the standard-input brain reads nothing after END), else 0.
EMSCRIPTEN_KEEPALIVE int vantrel_send(const char* text) {
    Brain& b = brain();
    if (b.ended) return 1;
    b.input_lines.add(text);
    if (b.front.run() == vantrel::Flow::End) b.ended = true;
    return b.ended ? 1 : 0;
}

}  // extern "C"

int main() { return 0; }
