// A command interpreter of its own for each test: lines in through a string
// stream, replies captured from another, turns played at once on the test's
// thread (or by a real worker, see worker_test.cpp), and a move chooser and
// engine factory the test controls.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <ostream>
#include <sstream>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/command_interpreter.h"
#include "protocol/same_thread_turns.h"
#include "protocol/worker.h"

namespace vantrel::testing {

// The first empty cell in scan order: a chooser whose answer a test can
// predict.
inline BoardPoint first_empty(Engine& e) {
    for (int y = 0; y < e.board_height; ++y)
        for (int x = 0; x < e.board_width; ++x)
            if (e.cell(x + MARGIN, y + MARGIN).state == EMPTY) return {x, y};
    return {};
}

// Splits captured output into lines; a last line without its line feed is
// kept as it is.
inline std::vector<std::string> split_lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// Captured output that the test may read while the worker writes: the
// stream's own state is only touched by the writers, under the reply lock;
// the text is kept under a lock of its own.
class CaptureBuffer : public std::streambuf {
public:
    std::string text() {
        std::lock_guard lock(mutex_);
        return text_;
    }

protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
        std::lock_guard lock(mutex_);
        text_.push_back(traits_type::to_char_type(c));
        return c;
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        std::lock_guard lock(mutex_);
        text_.append(s, static_cast<std::size_t>(n));
        return n;
    }

private:
    std::mutex mutex_;
    std::string text_;
};

class Session {
public:
    // An empty chooser: the brain's own search.
    explicit Session(EngineFactory factory = create_engine, MoveChooser chooser = first_empty)
        : front(input_, output_, std::move(factory),
                chooser ? MoveChooser([this, chooser](Engine& e) {
                    budgets.push_back(e.turn_time_ms);
                    return chooser(e);
                })
                        : MoveChooser{}) {}

    virtual ~Session() = default;

    // Feeds whole lines and executes them; answers the reply lines they gave.
    // `last_flow` tells whether a line ended the session.
    std::vector<std::string> send(std::string_view text) {
        input_ << text;
        const std::size_t before = captured_.text().size();
        last_flow = front.run();
        return split_lines(captured_.text().substr(before));
    }

    std::string output() { return captured_.text(); }

    // Cell state at protocol (x, y): 0 or 1 for a stone, EMPTY, OUTSIDE.
    int state(int x, int y) const { return front.game.engine->cell(x + MARGIN, y + MARGIN).state; }

    std::stringstream input_;
    CaptureBuffer captured_;
    std::ostream output_{&captured_};
    CommandInterpreter front;
    std::vector<int> budgets;  // turn_time_ms of every searched turn
    Flow last_flow = Flow::Continue;
};

// A session whose turns are played on the calling thread.
class InlineSession : public Session {
public:
    using Session::Session;
    SameThreadTurns turns{front};
};

using Lines = std::vector<std::string>;

}  // namespace vantrel::testing
