#pragma once

#include <cmath>

namespace toolkit::qt {

// The one place where twips meet pixels. Qt lays widgets out in device-independent pixels and
// scales them by the screen's factor on high-DPI screens, so 15 twips make one such pixel at
// every scale.
inline constexpr float twipsPerPixel = 15.0f;

inline int toPixels(float twips) {
    return static_cast<int>(std::lround(twips / twipsPerPixel));
}

inline float toTwips(int pixels) {
    return static_cast<float>(pixels) * twipsPerPixel;
}

}  // namespace toolkit::qt
