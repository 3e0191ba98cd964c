#pragma once

#include <functional>
#include <memory>
#include <optional>

#include "toolkit/toolkit.h"

namespace fake {

// A toolkit that passes everything on to a real one, with two hooks for window tests: a call
// after every pass of the event pump (to record a slide, or to click in the middle of one), and
// a fixed outer width for the forms it builds (to try window borders the offscreen platform
// does not draw).
class HookedToolkit final : public toolkit::Toolkit {
  public:
    explicit HookedToolkit(toolkit::Toolkit& real) : real_(real) {}

    std::function<void()> afterDoEvents;
    std::optional<float> formWidth;

    std::unique_ptr<toolkit::Form> createForm(const toolkit::FormLayout& layout) override;
    void doEvents() override {
        real_.doEvents();
        if (afterDoEvents) afterDoEvents();
    }
    void end() override { real_.end(); }
    bool ended() const override { return real_.ended(); }
    int msgBox(std::string_view prompt, int style, std::string_view title = {}) override {
        return real_.msgBox(prompt, style, title);
    }
    std::string format(double value, std::string_view pattern) const override {
        return real_.format(value, pattern);
    }
    std::string format(const toolkit::DateTime& date, std::string_view pattern) const override {
        return real_.format(date, pattern);
    }
    std::string appTitle() const override { return real_.appTitle(); }

  private:
    toolkit::Toolkit& real_;
};

// The real form behind a form that a HookedToolkit built (the form itself otherwise).
toolkit::Form& realForm(toolkit::Form& form);

}  // namespace fake
