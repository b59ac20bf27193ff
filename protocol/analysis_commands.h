// The analysis GUI's commands (yxboard, yxnbest, yxstop's companions, blocked
// points, balance and defence, forbidden points, hash clearing, database
// blocks): their entries of the command table and their handlers. They work
// through the command interpreter's public operations only, so the
// interpreter stays the dispatcher of both tables.
#pragma once

#include <span>
#include <string_view>
#include <vector>

#include "protocol/command_interpreter.h"

namespace vantrel {

// The entries of the analysis GUI's commands, matched as whole words.
std::span<const Command> analysis_commands();

// The entry of a database command the GUI sends and the brain, which has no
// database, only takes in: yxquerydatabase... with a block up to "done";
// any other yx...database..., yxdb... and yxhash... word (yxhashclear has an
// entry of its own) with one file-name line. None for any other word.
const Command* database_command(std::string_view word);

// Answer to YXSHOWINFO.
inline constexpr std::string_view MAX_THREADS_REPLY = "MESSAGE INFO MAX_THREAD_NUM 1";

}  // namespace vantrel
