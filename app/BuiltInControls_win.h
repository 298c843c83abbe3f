#pragma once
// Class objects the process provides itself for controls no system has
// (registered after OLE starts, revoked before it ends).
void RegisterBuiltInControls();
void RevokeBuiltInControls();
