#include "System/UserDataStorage.h"

#include <emscripten.h>

void persistUserData()
{
    // The page's script does the copy; a page without one (a bare test page) keeps files in memory only.
    EM_ASM({
        if (Module.persistUserData)
            Module.persistUserData();
    });
}
