#pragma once

#include <windows.h>

#include <string>
#include <vector>

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
class Win32DirListBox final : public DirListBox {
  public:
    Win32DirListBox(Win32Toolkit& toolkit, Win32Form& form, HWND parent, POINT origin,
                    const ControlLayout& layout);
    ~Win32DirListBox() override;
    Win32DirListBox(const Win32DirListBox&) = delete;
    Win32DirListBox& operator=(const Win32DirListBox&) = delete;
    std::string path() const override { return model_.path(); }
    void setPath(std::string_view path) override;
    void onChange(Handler handler) override { change_ = std::move(handler); }
    HWND window() const { return window_; }

  private:
    static LRESULT CALLBACK subclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR self);
    // The selected line, opened by the user: its folder becomes the path.
    void openSelected();
    void draw(const DRAWITEMSTRUCT& item) const;

    Win32Toolkit& toolkit_;
    HWND window_;
    FolderListModel model_;
    Handler change_;
    HICON openFolder_ = nullptr;
    HICON closedFolder_ = nullptr;
};

// A list of names. LBN_SELCHANGE comes from the user only (LB_SETCURSEL sends none): it is the
// user's selection, and setListIndex raises Click itself; the model says when Click is due.
class Win32FileListBox final : public FileListBox {
  public:
    Win32FileListBox(Win32Toolkit& toolkit, Win32Form& form, HWND parent, POINT origin,
                     const ControlLayout& layout);
    std::string path() const override { return model_.path(); }
    void setPath(std::string_view path) override;
    std::string fileName() const override { return model_.fileName(); }
    std::int32_t listIndex() const override { return model_.listIndex(); }
    void setListIndex(std::int32_t index) override;
    std::int32_t listCount() const override { return model_.listCount(); }
    void onClick(Handler handler) override { click_ = std::move(handler); }
    HWND window() const { return window_; }

  private:
    Win32Toolkit& toolkit_;
    HWND window_;
    FileListModel model_;
    Handler click_;
};

}  // namespace toolkit::win32
