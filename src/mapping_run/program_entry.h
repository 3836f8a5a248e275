#pragma once

#include "platform/platform.h"

namespace velistra {

// Everything the program does once started: the mapping run, the error
// report if an error ended it, and the end of the process with exit code 0,
// or 1 after a report. Does not return.
void ProgramMain(Platform& platform);

}  // namespace velistra
