#pragma once
#include <cstdint>
#include <ostream>

// Portable value types; conversions to the platform's RECT/POINT live in the shell.
struct Point {
    int32_t x = 0;
    int32_t y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
    int32_t cx = 0;
    int32_t cy = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    int32_t Width() const { return static_cast<int32_t>(static_cast<uint32_t>(right) - static_cast<uint32_t>(left)); }
    int32_t Height() const { return static_cast<int32_t>(static_cast<uint32_t>(bottom) - static_cast<uint32_t>(top)); }
    // The platform's IsRectEmpty: no area when right <= left or bottom <= top.
    bool IsEmpty() const { return right <= left || bottom <= top; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

inline void PrintTo(const Point& p, std::ostream* os) { *os << "(" << p.x << ", " << p.y << ")"; }
inline void PrintTo(const Size& s, std::ostream* os) { *os << s.cx << "x" << s.cy; }
inline void PrintTo(const Rect& r, std::ostream* os)
{
    *os << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}
