#pragma once

#include "toolkit/twips.h"

namespace toolkit::qt {

// Qt lays widgets out in device-independent pixels and scales them by the screen's factor on
// high-DPI screens, so 15 twips make one such pixel at every scale.
inline int toPixels(float twips) {
    return toolkit::toPixels(twips, standardDpi);
}

inline float toTwips(int pixels) {
    return toolkit::toTwips(pixels, standardDpi);
}

}  // namespace toolkit::qt
