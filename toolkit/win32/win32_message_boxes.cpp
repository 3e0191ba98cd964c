#include "toolkit/win32/win32_message_boxes.h"

#include <windows.h>

#include "toolkit/win32/win32_text.h"

namespace toolkit::win32 {

int Win32MessageBoxes::show(const MessageBoxRequest& request) {
    HWND owner = GetActiveWindow();
    UINT type = MB_OK;
    if (request.style & msgbox_style::critical) type |= MB_ICONERROR;
    if (owner == nullptr) type |= MB_TASKMODAL;
    MessageBoxW(owner, toWide(request.prompt).c_str(), toWide(request.title).c_str(), type);
    return msgboxAnswerOk;
}

}  // namespace toolkit::win32
