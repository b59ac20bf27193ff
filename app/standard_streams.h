// The manager's pipes as the brain needs them, set up once at the start of
// main, before any byte is read or written: the same bytes in and out on
// every platform, and a closed output that cannot kill the process.
#pragma once

namespace vantrel {

void prepare_standard_streams();

}  // namespace vantrel
