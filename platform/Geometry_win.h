#pragma once
// The portable value types to and from the platform's, where <windows.h> is
// already in.
#include <windows.h>

#include "platform/Geometry.h"

inline Rect ToRect(const RECT& r) { return Rect{r.left, r.top, r.right, r.bottom}; }
inline RECT ToRECT(const Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }
inline Point ToPoint(const POINT& p) { return Point{p.x, p.y}; }
inline POINT ToPOINT(const Point& p) { return POINT{p.x, p.y}; }
