// The argument text a program's main form reads at start-up.
#pragma once

#include "common/Seams.h"

#include <string>

namespace vantorel {

// The command line's argument text that `seams` gives, or the process's own.
std::wstring CommandLineArgs(const Seams& seams);

} // namespace vantorel
