#include "System/ParentConsole.h"

#ifdef _WIN32

#include "System/WindowsHeaders.h"

#include <cstdio>

namespace {

// Whether the standard handle leads somewhere already: a file, a pipe or a console.
bool isConnected(DWORD which)
{
    const HANDLE handle = GetStdHandle(which);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

} // namespace

void attachParentConsole()
{
    const bool outConnected = isConnected(STD_OUTPUT_HANDLE);
    const bool errConnected = isConnected(STD_ERROR_HANDLE);
    if (outConnected && errConnected)
        return;
    if (!AttachConsole(ATTACH_PARENT_PROCESS))
        return; // no parent console: started from Explorer
    // The C library bound the streams to nothing at start-up; std::cout and std::cerr follow them.
    if (!outConnected)
        std::freopen("CONOUT$", "w", stdout);
    if (!errConnected)
        std::freopen("CONOUT$", "w", stderr);
}

#else

void attachParentConsole() { }

#endif
