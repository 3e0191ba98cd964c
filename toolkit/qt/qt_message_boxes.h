#pragma once

#include "toolkit/message_boxes.h"

namespace toolkit::qt {

// Real modal message boxes, waiting for the user.
class QtMessageBoxes final : public MessageBoxes {
  public:
    int show(const MessageBoxRequest& request) override;
};

}  // namespace toolkit::qt
