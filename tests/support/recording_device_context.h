#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/device_context.h"

namespace fake {

// A drawing surface that records what is drawn into it, with a scripted icon theme.
class RecordingDeviceContext final : public platform::DeviceContext {
  public:
    struct Draw {
        std::string iconName;
        int x = 0;
        int y = 0;

        friend bool operator==(const Draw&, const Draw&) = default;
    };

    // themeIcons: the names the theme has. handle: what nativeHandle() gives.
    explicit RecordingDeviceContext(std::vector<std::string> themeIcons = {},
                                    std::uintptr_t handle = 0)
        : themeIcons_(std::move(themeIcons)), handle_(handle) {}

    void drawThemeIcon(std::string_view iconName, int x, int y) override {
        draws_.push_back({std::string(iconName), x, y});
    }
    bool hasThemeIcon(std::string_view iconName) const override {
        return std::find(themeIcons_.begin(), themeIcons_.end(), iconName) != themeIcons_.end();
    }
    std::uintptr_t nativeHandle() const override { return handle_; }

    const std::vector<Draw>& draws() const { return draws_; }

  private:
    std::vector<std::string> themeIcons_;
    std::uintptr_t handle_;
    std::vector<Draw> draws_;
};

}  // namespace fake
