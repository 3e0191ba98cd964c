#pragma once

#include <cstddef>
#include <optional>
#include <vector>

namespace toolkit {

struct ImageSize {
    int width = 0;
    int height = 0;
};

// Which image of an icon file with several a picture shows when it is `side` pixels wide on the
// screen: the smallest image at least that wide, so that a screen at 1.25, 1.5 or 2 times 96 dots
// per inch gets the image drawn for it; when none is that wide, the widest. Of equal widths, the
// first in the file. nullopt when there is none.
inline std::optional<std::size_t> chooseIconImage(const std::vector<ImageSize>& sizes, int side) {
    std::optional<std::size_t> fitting;
    std::optional<std::size_t> widest;
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        const int width = sizes[i].width;
        if (width >= side && (!fitting || width < sizes[*fitting].width)) fitting = i;
        if (!widest || width > sizes[*widest].width) widest = i;
    }
    return fitting ? fitting : widest;
}

}  // namespace toolkit
