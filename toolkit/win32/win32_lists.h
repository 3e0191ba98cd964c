#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "toolkit/control_bases.h"
#include "toolkit/controls.h"
#include "toolkit/file_list_model.h"
#include "toolkit/folder_list_model.h"
#include "toolkit/layout.h"

// The LISTBOX windows behind the folder list and the file list, filled from the program's own
// system layer (LB_DIR's attribute filters are not to be trusted, and it changes the current
// folder). As with the other controls, the windows belong to the form's window.
namespace toolkit::win32 {

class Win32Form;
class Win32Toolkit;

// Names in the order of Windows Explorer and the file dialogs: StrCmpLogicalW (case-insensitive,
// runs of digits by their value), and names it finds equal by their bytes, so that the order is
// always the same.
void sortNames(std::vector<std::string>& names);

// An owner-drawn list: each line shows an open or closed folder picture, indented one step per
// level below the root. A line's text is its name after two spaces per level, as drawn.
// Double-clicking a line, or Enter on the selected line, opens it.
class Win32DirListBox final : public DirListBoxBase {
  public:
    Win32DirListBox(Win32Toolkit& toolkit, Win32Form& form, HWND parent, POINT origin,
                    const ControlLayout& layout);
    ~Win32DirListBox() override;
    Win32DirListBox(const Win32DirListBox&) = delete;
    Win32DirListBox& operator=(const Win32DirListBox&) = delete;
    void setPath(std::string_view path) override;
    HWND window() const { return window_; }

  private:
    static LRESULT CALLBACK subclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR self);
    // The selected line, opened by the user: its folder becomes the path.
    void openSelected();
    void draw(const DRAWITEMSTRUCT& item) const;

    Win32Toolkit& toolkit_;
    HWND window_;
    HICON openFolder_ = nullptr;
    HICON closedFolder_ = nullptr;
};

// A list of names. LBN_SELCHANGE comes from the user only (LB_SETCURSEL sends none): it is the
// user's selection, and setListIndex raises Click itself; the model says when Click is due. A
// key that the model says selects a row with nothing selected (FileListModel::rowForKey) selects
// it as the user's selection, before the list box moves from its caret.
class Win32FileListBox final : public FileListBoxBase {
  public:
    Win32FileListBox(Win32Toolkit& toolkit, Win32Form& form, HWND parent, POINT origin,
                     const ControlLayout& layout);
    void setPath(std::string_view path) override;
    void setListIndex(std::int32_t index) override;
    HWND window() const { return window_; }

  private:
    static LRESULT CALLBACK subclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR self);
    // The user selected a row: Click, when the model says it is due.
    void userSelected(std::int32_t row);

    Win32Toolkit& toolkit_;
    HWND window_;
};

}  // namespace toolkit::win32
