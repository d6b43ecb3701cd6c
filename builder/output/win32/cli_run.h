// Runs a command-line request of the builder without any window.
#pragma once
#include "builder/output/cli.h"

namespace prismora::output {

// Returns the process exit code: 0 only when everything asked for was written.
int RunCliRequest(const CliRequest& request);

}  // namespace prismora::output
