#include "app/BuiltInControls.h"

// No built-in control is registered yet.
void RegisterBuiltInControls() {}
void RevokeBuiltInControls() {}
