#pragma once
// Where the browser hosting joins start-up: the custom control-container
// manager and the page scripting bridge. Both live until the process ends.
class COccManager;
class CImpIDispatch;

// The manager that gives every template control the program's custom site.
COccManager* CreateCustomOccManager();
// window.external, reference count 0, no target window. It becomes the
// bridge every page is given, and the bridge opens the game window.
CImpIDispatch* CreateExternalDispatch();
