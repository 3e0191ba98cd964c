#pragma once

#include "toolkit/layout.h"

namespace main_window {

// The main window as it stands before any handler runs: a 4800 by 5295 twip client area with
// the drive icon, the letter between "<" and ">", the detail labels, the usage bar, "Browse..."
// and "Close", and the five drive pictures kept out of sight at Left 4800.
toolkit::FormLayout frmMainLayout();

}  // namespace main_window
