#include "toolkit/win32/win32_lists.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <algorithm>

#include "toolkit/message_boxes.h"
#include "toolkit/visible_text.h"
#include "toolkit/win32/win32_form.h"
#include "toolkit/win32/win32_text.h"
#include "toolkit/win32/win32_toolkit.h"

namespace toolkit::win32 {

namespace {

DWORD listStyle(const ControlLayout& layout) {
    // Without LBS_NOINTEGRALHEIGHT the list shrinks to whole lines and loses its laid-out height.
    return WS_CHILD | WS_CLIPSIBLINGS | WS_GROUP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT |
           (layout.visible ? WS_VISIBLE : 0) | (layout.tabStop ? WS_TABSTOP : 0);
}

// The shell's small picture of a folder, open or closed, as Explorer shows it; null when the
// shell has none (the line is then drawn without a picture). Asked by attributes alone, so no
// folder is touched.
HICON folderIcon(bool open) {
    SHFILEINFOW info{};
    const UINT flags =
        SHGFI_ICON | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES | (open ? SHGFI_OPENICON : 0);
    if (SHGetFileInfoW(L"folder", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info, flags) == 0)
        return nullptr;
    return info.hIcon;
}

// Replaces a list's lines without drawing each one as it comes.
void fill(HWND list, const std::vector<std::wstring>& lines) {
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    std::size_t bytes = 0;
    for (const std::wstring& line : lines) bytes += (line.size() + 1) * sizeof(wchar_t);
    SendMessageW(list, LB_INITSTORAGE, lines.size(), static_cast<LPARAM>(bytes));
    for (const std::wstring& line : lines)
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

}  // namespace

void sortNames(std::vector<std::string>& names) {
    std::vector<std::pair<std::wstring, std::size_t>> keys;
    keys.reserve(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) keys.emplace_back(toWide(names[i]), i);
    std::sort(keys.begin(), keys.end(), [&names](const auto& a, const auto& b) {
        const int order = StrCmpLogicalW(a.first.c_str(), b.first.c_str());
        return order != 0 ? order < 0 : names[a.second] < names[b.second];
    });
    std::vector<std::string> sorted;
    sorted.reserve(names.size());
    for (const auto& key : keys) sorted.push_back(std::move(names[key.second]));
    names = std::move(sorted);
}

Win32DirListBox::Win32DirListBox(Win32Toolkit& toolkit, Win32Form& form, HWND parent, POINT origin,
                                 const ControlLayout& layout)
    : toolkit_(toolkit),
      window_(form.createControl(L"LISTBOX", {},
                                 listStyle(layout) | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS,
                                 WS_EX_CLIENTEDGE, parent, origin, layout)),
      openFolder_(folderIcon(true)),
      closedFolder_(folderIcon(false)) {
    SetWindowSubclass(window_, subclassProc, 1, reinterpret_cast<DWORD_PTR>(this));
    form.onCommand(window_, [this](int code) {
        if (code == LBN_DBLCLK) openSelected();
    });
    form.onDrawItem(window_, [this](const DRAWITEMSTRUCT& item) { draw(item); });
}

Win32DirListBox::~Win32DirListBox() {
    if (openFolder_ != nullptr) DestroyIcon(openFolder_);
    if (closedFolder_ != nullptr) DestroyIcon(closedFolder_);
}

void Win32DirListBox::setPath(std::string_view path) {
    const bool changed = model_.setPath(toolkit_.os(), path, sortNames);
    std::vector<std::wstring> lines;
    lines.reserve(model_.lines().size());
    for (const FolderLine& line : model_.lines())
        lines.push_back(std::wstring(static_cast<std::size_t>(line.depth) * 2, L' ') +
                        toWide(visibleText(line.name)));
    fill(window_, lines);
    SendMessageW(window_, LB_SETCURSEL, model_.currentLine(), 0);
    const Handler handler = change_;
    if (changed && handler) toolkit_.runHandler(handler);
}

void Win32DirListBox::openSelected() {
    const LRESULT selected = SendMessageW(window_, LB_GETCURSEL, 0, 0);
    if (selected < 0 || static_cast<std::size_t>(selected) >= model_.lines().size()) return;
    const std::string folder = model_.lines()[static_cast<std::size_t>(selected)].path;
    try {
        setPath(folder);
    } catch (const PathUnavailable&) {
        toolkit_.msgBox(FolderListModel::unreadableDriveMessage(folder), msgbox_style::critical,
                        "Error");
    }
}

void Win32DirListBox::draw(const DRAWITEMSTRUCT& item) const {
    if (item.itemID == static_cast<UINT>(-1)) return;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    HDC dc = item.hDC;
    FillRect(dc, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    if (item.itemID < model_.lines().size()) {
        const FolderLine& line = model_.lines()[item.itemID];
        const int iconSize = GetSystemMetrics(SM_CXSMICON);
        const int height = item.rcItem.bottom - item.rcItem.top;
        int x = item.rcItem.left + 2 + line.depth * (iconSize / 2 + 2);
        if (HICON icon = line.open ? openFolder_ : closedFolder_) {
            DrawIconEx(dc, x, item.rcItem.top + (height - iconSize) / 2, icon, iconSize, iconSize,
                       0, nullptr, DI_NORMAL);
        }
        x += iconSize + 3;
        RECT text = item.rcItem;
        text.left = x;
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        const std::wstring name = toWide(visibleText(line.name));
        DrawTextW(dc, name.c_str(), static_cast<int>(name.size()), &text,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &item.rcItem);
}

LRESULT CALLBACK Win32DirListBox::subclassProc(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam, UINT_PTR, DWORD_PTR self) {
    // Enter opens the selected line instead of going to the dialog manager.
    if (message == WM_GETDLGCODE && lParam != 0 &&
        reinterpret_cast<const MSG*>(lParam)->message == WM_KEYDOWN &&
        reinterpret_cast<const MSG*>(lParam)->wParam == VK_RETURN)
        return DefSubclassProc(window, message, wParam, lParam) | DLGC_WANTMESSAGE;
    if (message == WM_KEYDOWN && wParam == VK_RETURN) {
        reinterpret_cast<Win32DirListBox*>(self)->openSelected();
        return 0;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

Win32FileListBox::Win32FileListBox(Win32Toolkit& toolkit, Win32Form& form, HWND parent,
                                   POINT origin, const ControlLayout& layout)
    : toolkit_(toolkit),
      window_(form.createControl(L"LISTBOX", {}, listStyle(layout), WS_EX_CLIENTEDGE, parent,
                                 origin, layout)) {
    SetWindowSubclass(window_, subclassProc, 1, reinterpret_cast<DWORD_PTR>(this));
    form.onCommand(window_, [this](int code) {
        if (code != LBN_SELCHANGE) return;
        const auto row = static_cast<std::int32_t>(SendMessageW(window_, LB_GETCURSEL, 0, 0));
        userSelected(row < 0 ? -1 : row);
    });
}

void Win32FileListBox::userSelected(std::int32_t row) {
    const Handler handler = click_;
    if (model_.userSelected(row) && handler) toolkit_.runHandler(handler);
}

LRESULT CALLBACK Win32FileListBox::subclassProc(HWND window, UINT message, WPARAM wParam,
                                                LPARAM lParam, UINT_PTR, DWORD_PTR self) {
    auto* box = reinterpret_cast<Win32FileListBox*>(self);
    if (message == WM_KEYDOWN) {
        if (const auto row = box->model_.rowForKey(static_cast<std::int16_t>(wParam))) {
            SendMessageW(window, LB_SETCURSEL, static_cast<WPARAM>(*row), 0);
            box->userSelected(*row);
            return 0;
        }
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

void Win32FileListBox::setPath(std::string_view path) {
    model_.setPath(toolkit_.os(), path, sortNames);
    std::vector<std::wstring> lines;
    lines.reserve(model_.names().size());
    for (const std::string& name : model_.names()) lines.push_back(toWide(visibleText(name)));
    fill(window_, lines);
    SendMessageW(window_, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
}

void Win32FileListBox::setListIndex(std::int32_t index) {
    const bool click = model_.setListIndex(index);
    SendMessageW(window_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    const Handler handler = click_;
    if (click && handler) toolkit_.runHandler(handler);
}

}  // namespace toolkit::win32
