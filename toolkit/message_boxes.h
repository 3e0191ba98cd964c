#pragma once

#include <string>

namespace toolkit {

// Message box styles and answers as the program uses them.
namespace msgbox_style {
inline constexpr int okOnly = 0;
inline constexpr int critical = 16;  // OK and the error icon
}  // namespace msgbox_style
inline constexpr int msgboxAnswerOk = 1;

struct MessageBoxRequest {
    std::string prompt;
    int style = msgbox_style::okOnly;
    std::string title;

    friend bool operator==(const MessageBoxRequest&, const MessageBoxRequest&) = default;
};

// The seam through which every modal message box is shown: the Qt backend shows a real box and
// waits for the user; tests answer at once and record what was shown.
class MessageBoxes {
  public:
    virtual ~MessageBoxes() = default;
    // Shows the box modally and returns the button the user chose (msgboxAnswerOk).
    virtual int show(const MessageBoxRequest& request) = 0;
};

}  // namespace toolkit
