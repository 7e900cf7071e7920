// The run order of one invocation.
#pragma once

namespace zevo {

// Runs zevo on the command line `argv` and returns the exit status (0 or 1). A stage that
// ends the run throws RunEnded (model/messages.h); the entry point turns it into the status.
int run_zevo(int argc, char** argv);

}  // namespace zevo
