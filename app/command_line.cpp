// --help and --version, and the refusal of any other argument: one line on
// standard error and exit status 2, the usual status of a command-line
// mistake, so that a script that mistypes an option learns it at once
// instead of a brain waiting silently on its input.
#include "app/command_line.h"

#include <cstdlib>
#include <string_view>

namespace vantrel {
namespace {

// The program's name as installed; the Windows executables answer under it too.
constexpr std::string_view PROGRAM_NAME = "pbrain-vantrel";
constexpr std::string_view HELP_OPTION = "--help";
constexpr std::string_view VERSION_OPTION = "--version";
constexpr int USAGE_ERROR_EXIT_STATUS = 2;

constexpr std::string_view HELP_TEXT =
    "Usage: pbrain-vantrel [--help | --version]\n"
    "\n"
    "Vantrel, a Gomoku brain for every Gomocup rule. A Gomocup-protocol\n"
    "tournament manager starts it with no arguments and drives it over standard\n"
    "input and output, one command a line.\n"
    "\n"
    "The rule is the manager's INFO rule:\n"
    "  0            free-style: five or more in a row win (the default)\n"
    "  1 or 3       standard: only exactly five wins\n"
    "  2, 4 to 7    renju: black (first) wins with exactly five, and loses by\n"
    "               an overline, a double four or a double three; white wins\n"
    "               with five or more\n"
    "  8 or 10      caro: an overline, or exactly five not blocked at both ends\n"
    "  9 or 11      caro with exactly five: only exactly five, not blocked at\n"
    "               both ends\n"
    "Any other value plays free-style.\n"
    "\n"
    "To try it by hand, start it with no arguments and type:\n"
    "  START 15     a 15x15 board; the brain answers OK\n"
    "  BEGIN        the brain moves first and answers its move, x,y\n"
    "  TURN 8,8     your stone on column 8, row 8; the brain answers its move\n"
    "  END          the brain exits\n"
    "Lines starting MESSAGE report the search as it goes.\n"
    "\n"
    "Options:\n"
    "  --help       this text\n"
    "  --version    the version line\n"
    "\n"
    "The manual, with every command the brain understands: man pbrain-vantrel\n";

}  // namespace

std::optional<int> handle_command_line(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    if (argc <= 1) return std::nullopt;
    // Every argument is checked before any is acted on: "--help junk" is a
    // mistake too, not a help request.
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument != HELP_OPTION && argument != VERSION_OPTION) {
            err << PROGRAM_NAME << ": unknown argument '" << argument << "'; see '" << PROGRAM_NAME << ' '
                << HELP_OPTION << "'\n";
            err.flush();
            return USAGE_ERROR_EXIT_STATUS;
        }
    }
    if (argv[1] == HELP_OPTION) {
        out << HELP_TEXT;
    } else {
        out << PROGRAM_NAME << ' ' << VANTREL_VERSION << '\n';
    }
    out.flush();
    return EXIT_SUCCESS;
}

}  // namespace vantrel
