#pragma once

#include <cmath>

// Twips and device pixels: 1440 twips to the inch, so 15 to a pixel at 96 dots per inch. Each
// backend converts in one place, with the dots per inch its windows are drawn at.
namespace toolkit {

inline constexpr float twipsPerInch = 1440.0f;
inline constexpr int standardDpi = 96;

inline int toPixels(float twips, int dpi) {
    return static_cast<int>(std::lround(twips * static_cast<float>(dpi) / twipsPerInch));
}

inline float toTwips(int pixels, int dpi) {
    return static_cast<float>(pixels) * twipsPerInch / static_cast<float>(dpi);
}

}  // namespace toolkit
