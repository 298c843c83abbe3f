#pragma once
// Where the browser hosting joins start-up: the custom control-container
// manager and the page scripting bridge. Both live until the process ends.
class COccManager;
class CImpIDispatch;

// The manager that gives every template control a custom site; null while
// the program has no browser hosting of its own (template controls are then
// skipped).
COccManager* CreateCustomOccManager();
// window.external, reference count 0, no target window; null likewise.
CImpIDispatch* CreateExternalDispatch();
