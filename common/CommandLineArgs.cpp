#include "common/CommandLineArgs.h"

#include "runtime/Runtime.h"

namespace vantorel {

std::wstring CommandLineArgs(const Seams& seams)
{
    return seams.commandLine ? *seams.commandLine : rt::CommandLineArgs();
}

} // namespace vantorel
