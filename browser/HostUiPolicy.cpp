#include "browser/HostUiPolicy.h"

namespace hostui {

bool ConsumesKey(unsigned message, uintptr_t key, bool f5Held, bool editableFocused)
{
    if (message == kKeyDown && f5Held)
        return true;
    if (key == kBackspace)
        return !editableFocused;
    return false;
}

}  // namespace hostui
