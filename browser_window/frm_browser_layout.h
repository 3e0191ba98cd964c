#pragma once

#include "toolkit/layout.h"

namespace browser_window {

// The browser as it is built each time: the folder list and the file list at the top, "<", the
// icon box and ">" under the file list, the "File Information:" frame with six labels and four
// check boxes, and "Open" and "Close" at the bottom; 5790 by 6735 twips.
toolkit::FormLayout frmBrowserLayout();

}  // namespace browser_window
