#pragma once

#include <windows.h>

#include <string_view>

// What screen readers read of the toolkit's controls where the controls' own texts do not say
// it, given to the system's dynamic annotation (oleacc's IAccPropServices): Narrator, NVDA and
// UI Automation read a window's annotated name, role and value before its own. Where the system
// has no annotation service, the controls keep what they show.
namespace toolkit::win32 {

// The control's name ("Previous drive" for a button showing "<").
void annotateName(HWND control, std::string_view name);
// A pressable picture: a push button, its press raising Click.
void annotateButton(HWND control);
// A progress bar showing `percent` (0 to 100).
void annotateMeter(HWND control, double percent);

}  // namespace toolkit::win32
