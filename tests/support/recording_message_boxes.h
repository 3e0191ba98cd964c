#pragma once

#include <functional>
#include <vector>

#include "toolkit/message_boxes.h"

namespace fake {

// Answers every message box at once with OK and records what was shown.
class RecordingMessageBoxes final : public toolkit::MessageBoxes {
  public:
    int show(const toolkit::MessageBoxRequest& request) override {
        shown.push_back(request);
        if (onShow) onShow();
        return toolkit::msgboxAnswerOk;
    }
    std::vector<toolkit::MessageBoxRequest> shown;
    // Runs while a box is up, to look at the windows at that moment.
    std::function<void()> onShow;
};

}  // namespace fake
