// The options a person gives pbrain-vantrel by hand (--help, --version); a
// tournament manager starts it with none. main reads them before the
// protocol's front end exists, so that an option never starts the brain.
#pragma once

#include <optional>
#include <ostream>

namespace vantrel {

// With no arguments, none: the caller runs the brain. Otherwise the reply
// for a person has been written (the text on `out`, a refused argument on
// `err`) and the result is the exit status the process ends with.
std::optional<int> handle_command_line(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace vantrel
