#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "toolkit/toolkit.h"

namespace toolkit {

// The message that reports a failure no handler caught, naming it; the failure's own text, which
// may hold a path, as visibleText shows it.
std::string uncaughtFailureReport(std::string_view failure);

// Runs an event handler the way every backend does: nothing once the program has ended; a
// failure escaping the handler is reported in a critical message box with the application's
// title (uncaughtFailureReport), and then the program ends (Toolkit::end).
void runHandler(Toolkit& toolkit, const std::function<void()>& handler);

}  // namespace toolkit
