#pragma once

#include <vector>

#include "toolkit/message_boxes.h"

namespace fake {

// Answers every message box at once with OK and records what was shown.
class RecordingMessageBoxes final : public toolkit::MessageBoxes {
  public:
    int show(const toolkit::MessageBoxRequest& request) override {
        shown.push_back(request);
        return toolkit::msgboxAnswerOk;
    }
    std::vector<toolkit::MessageBoxRequest> shown;
};

}  // namespace fake
