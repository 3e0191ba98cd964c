#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "toolkit/date_format.h"
#include "toolkit/form.h"
#include "toolkit/layout.h"
#include "toolkit/message_boxes.h"

namespace toolkit {

// The forms toolkit and its runtime, as the windows use it. One instance for the program, picked
// by main; everything runs on the user-interface thread.
class Toolkit {
  public:
    virtual ~Toolkit() = default;

    // Builds a window from its layout, not yet loaded or shown.
    virtual std::unique_ptr<Form> createForm(const FormLayout& layout) = 0;

    // Processes pending events and repaints, then returns; other handlers may run inside it.
    virtual void doEvents() = 0;

    // Closes every window and ends the program at once; no unload handler runs.
    virtual void end() = 0;
    virtual bool ended() const = 0;

    // Shows a modal message box; an empty title shows the application's title.
    virtual int msgBox(std::string_view prompt, int style, std::string_view title = {}) = 0;

    // A number formatted with a pattern (see formatNumber) under the user's locale.
    virtual std::string format(double value, std::string_view pattern) const = 0;
    // A date formatted with a date pattern (see formatDate) under the user's locale: its weekday
    // and month names and its time separator.
    virtual std::string format(const DateTime& date, std::string_view pattern) const = 0;

    virtual std::string appTitle() const = 0;
};

}  // namespace toolkit
