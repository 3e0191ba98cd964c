#include "toolkit/uncaught_failure.h"

#include <exception>

#include "toolkit/visible_text.h"

namespace toolkit {

std::string uncaughtFailureReport(std::string_view failure) {
    return "Run-time error: " + visibleText(failure) +
           "\n\nThe program cannot go on and will now end.";
}

void runHandler(Toolkit& toolkit, const std::function<void()>& handler) {
    if (toolkit.ended()) return;
    std::string failure;
    try {
        handler();
        return;
    } catch (const std::exception& error) {
        failure = error.what();
    } catch (...) {
        failure = "Unknown failure";
    }
    toolkit.msgBox(uncaughtFailureReport(failure), msgbox_style::critical, toolkit.appTitle());
    toolkit.end();
}

}  // namespace toolkit
