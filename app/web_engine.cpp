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
// call.
//
// Stopping a search that runs on the worker's only thread: the engine's
// clock is this file's, and every PAUSE_INTERVAL_MS of search it pauses the
// search (Asyncify unwinds the WebAssembly stack and rewinds it afterwards),
// lets the worker's event loop read its messages, and resumes. When the page
// asked for a stop meanwhile, the pause answers so and the clock writes the
// interpreter's stop request, exactly as YXSTOP does on the threaded brain;
// the search then ends at once with its move line. The engine and its tables
// stay, and no shared memory is needed, so any static file server serves the
// page.
#include <emscripten.h>

#include <cstdint>
#include <istream>
#include <ostream>
#include <streambuf>
#include <string>

#include "protocol/command_interpreter.h"
#include "protocol/same_thread_turns.h"
#include "search/iterative_deepening.h"

namespace {

// Search time between pauses: the longest a stop waits for the search to
// read it. A pause costs a round trip through the worker's event loop and
// the unwinding and rewinding of the stack, some tens of microseconds.
constexpr std::int64_t PAUSE_INTERVAL_MS = 20;

EM_JS(void, post_reply_line, (const char* text, int length), { vantrel_reply_line(UTF8ToString(text, length)); });

// The worker's vantrel_pause resolves, after the messages waiting in its
// event loop have been handled, to 1 when a stop was asked, else 0.
EM_ASYNC_JS(int, pause_for_messages, (), { return await vantrel_pause(); });

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

// The interpreter's engines: each with the pausing clock below.
vantrel::EnginePtr create_pausing_engine(vantrel::HashTables& tables);

struct Brain {
    PendingLines input_lines;
    ReplyLines reply_lines;
    std::istream in{&input_lines};
    std::ostream out{&reply_lines};
    vantrel::CommandInterpreter front{in, out, create_pausing_engine};
    vantrel::SameThreadTurns turns{front};
    bool ended = false;
};

Brain& brain() {
    static Brain b;
    return b;
}

// When the last pause ended (or the current call began).
std::int64_t last_pause_ms = 0;

// The engine's clock: the steady clock, with a pause once PAUSE_INTERVAL_MS
// have passed since the last one. The searches read it about every
// millisecond and check the stop request right after.
std::int64_t pausing_clock() {
    const std::int64_t now = vantrel::steady_ms();
    if (now - last_pause_ms < PAUSE_INTERVAL_MS) return now;
    if (pause_for_messages() != 0) brain().front.stop_request = true;
    last_pause_ms = vantrel::steady_ms();
    return last_pause_ms;
}

vantrel::EnginePtr create_pausing_engine(vantrel::HashTables& tables) {
    vantrel::EnginePtr engine = vantrel::create_engine(tables);
    if (engine) engine->clock = pausing_clock;
    return engine;
}

}  // namespace

extern "C" {

// Runs the commands of `text`; 1 once END has been read (every later call
// is ignored, as the standard-input brain reads nothing after END), else 0.
// A call whose search pauses returns through a promise (cwrap's async
// option); the worker makes no other call until it has settled.
EMSCRIPTEN_KEEPALIVE int vantrel_send(const char* text) {
    Brain& b = brain();
    if (b.ended) return 1;
    last_pause_ms = vantrel::steady_ms();
    b.input_lines.add(text);
    if (b.front.run() == vantrel::Flow::End) b.ended = true;
    return b.ended ? 1 : 0;
}

}  // extern "C"

int main() { return 0; }
