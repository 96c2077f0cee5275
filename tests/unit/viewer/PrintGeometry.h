#pragma once

// Readable test failure messages for the viewer's geometry types.

#include <ostream>

#include "viewer/Geometry.h"

inline std::ostream& operator<<(std::ostream& os, const TRect& r)
{
    return os << "(" << r.Left << ", " << r.Top << ", " << r.Right << ", " << r.Bottom << ")";
}
inline std::ostream& operator<<(std::ostream& os, const TSize& s)
{
    return os << s.Width << " x " << s.Height;
}
inline std::ostream& operator<<(std::ostream& os, const TPoint& p)
{
    return os << "(" << p.X << ", " << p.Y << ")";
}
