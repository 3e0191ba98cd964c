#pragma once

#include "toolkit/message_boxes.h"

namespace toolkit::win32 {

// Real modal message boxes (MessageBox), owned by the thread's active window so that it stays
// disabled while the box is up (every window of the program when none is active), waiting for
// the user.
class Win32MessageBoxes final : public MessageBoxes {
  public:
    int show(const MessageBoxRequest& request) override;
};

}  // namespace toolkit::win32
