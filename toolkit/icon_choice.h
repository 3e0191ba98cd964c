#pragma once

#include <cstddef>
#include <optional>
#include <vector>

namespace toolkit {

struct ImageSize {
    int width = 0;
    int height = 0;
};

// Which image of an icon file with several a picture shows: the largest, and of equal sizes the
// first in the file. nullopt when there is none.
inline std::optional<std::size_t> chooseIconImage(const std::vector<ImageSize>& sizes) {
    std::optional<std::size_t> best;
    long bestArea = -1;
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        const long area = static_cast<long>(sizes[i].width) * sizes[i].height;
        if (area > bestArea) {
            best = i;
            bestArea = area;
        }
    }
    return best;
}

}  // namespace toolkit
