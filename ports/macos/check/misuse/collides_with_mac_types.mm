// expect: reference to 'Rect' is ambiguous
// Apple's headers declare Rect, Point and Size in the global namespace; a
// file that pulls ours in with a using-directive gets two of each.
#include <Carbon/Carbon.h>

#include "core/rect.hpp"

using namespace corvane;

[[maybe_unused]] static double width(const Rect& r) {
    return r.width;
}
