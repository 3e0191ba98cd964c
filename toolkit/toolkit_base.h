#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "toolkit/message_boxes.h"
#include "toolkit/toolkit.h"
#include "toolkit/uncaught_failure.h"

namespace toolkit {

// What every backend's toolkit keeps alike: the message-box seam, the system the folder and file
// lists read, the application's title, whether the program has ended, and how event handlers
// run. The seam and the system are not owned and must outlive the toolkit.
class ToolkitBase : public Toolkit {
  public:
    ToolkitBase(MessageBoxes& messageBoxes, platform::Platform& os, std::string appTitle)
        : messageBoxes_(messageBoxes), os_(os), appTitle_(std::move(appTitle)) {}

    platform::Platform& os() const { return os_; }
    bool ended() const final { return ended_; }
    // Shows the box through the seam; an empty title shows the application's title.
    int msgBox(std::string_view prompt, int style, std::string_view title = {}) final {
        return messageBoxes_.show(MessageBoxRequest{
            std::string(prompt), style, std::string(title.empty() ? appTitle_ : title)});
    }
    std::string appTitle() const final { return appTitle_; }

    // Runs an event handler as toolkit::runHandler says: a failure escaping it is reported with
    // the application's title, and the program ends.
    void runHandler(const std::function<void()>& handler) { toolkit::runHandler(*this, handler); }

  protected:
    // For end(): marks the program ended; false when it had ended already.
    bool markEnded() {
        const bool first = !ended_;
        ended_ = true;
        return first;
    }

  private:
    MessageBoxes& messageBoxes_;
    platform::Platform& os_;
    std::string appTitle_;
    bool ended_ = false;
};

}  // namespace toolkit
