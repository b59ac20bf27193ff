// The one place where the brain differs by platform. On Windows the C
// runtime opens standard input and output in text mode: it would turn every
// line feed written into CR LF, drop the CR of CR LF read, and take a byte
// 0x1A as the end of input. Binary mode (_setmode, the runtime's own call;
// nothing standard reaches it) passes the bytes through as on Linux, where
// the front end already handles CR LF itself. On POSIX systems a manager
// that has closed our output would kill the brain with SIGPIPE; ignored, the
// failed write is dropped and the brain ends with its input.
#include "app/standard_streams.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#else
#include <csignal>
#endif

namespace vantrel {

void prepare_standard_streams() {
#ifdef _WIN32
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
#else
    std::signal(SIGPIPE, SIG_IGN);
#endif
}

}  // namespace vantrel
