#include "browser_window/frm_browser_layout.h"

namespace browser_window {

using toolkit::ControlKind;
using toolkit::ControlLayout;
using toolkit::Font;
using toolkit::FormLayout;

namespace {

constexpr const char* frame = "fmeFileInfo";

ControlLayout infoLabel(const char* name, const char* caption, float top, float height,
                        int tabIndex) {
    return {.kind = ControlKind::Label,
            .name = name,
            .caption = caption,
            .left = 120,
            .top = top,
            .width = 5295,
            .height = height,
            .tabIndex = tabIndex,
            .container = frame};
}

ControlLayout attributeBox(const char* name, const char* caption, float left, float top,
                           int tabIndex) {
    return {.kind = ControlKind::CheckBox,
            .name = name,
            .caption = caption,
            .left = left,
            .top = top,
            .width = 2535,
            .height = 255,
            .tabIndex = tabIndex,
            .container = frame};
}

}  // namespace

FormLayout frmBrowserLayout() {
    const Font arrowFont{"MS Sans Serif", 18};
    return FormLayout{
        .name = "frmBrowser",
        .caption = "Browser",
        .clientWidth = 5790,
        .clientHeight = 6735,
        .fixedBorder = true,
        .minButton = false,
        .maxButton = false,
        .keyPreview = false,
        .centred = true,
        .icon = "volscope.ico",
        .controls =
            {
                {.kind = ControlKind::DirListBox,
                 .name = "Dir",
                 .left = 120,
                 .top = 120,
                 .width = 1695,
                 .height = 2115,
                 .tabIndex = 1,
                 .accessibleName = "Folders"},
                {.kind = ControlKind::FileListBox,
                 .name = "fil",
                 .left = 1920,
                 .top = 120,
                 .width = 3735,
                 .height = 1260,
                 .tabIndex = 0,
                 .accessibleName = "Files"},
                {.kind = ControlKind::CommandButton,
                 .name = "cmdPrev",
                 .caption = "<",
                 .left = 2760,
                 .top = 1560,
                 .width = 495,
                 .height = 495,
                 .tabIndex = 3,
                 .font = arrowFont,
                 .accessibleName = "Previous file"},
                // The icon box has its border but no place in the Tab order: there is nothing in it
                // to do with the keyboard.
                {.kind = ControlKind::PictureBox,
                 .name = "pctIcon",
                 .left = 3480,
                 .top = 1560,
                 .width = 615,
                 .height = 615,
                 .tabIndex = 2,
                 .tabStop = false},
                {.kind = ControlKind::CommandButton,
                 .name = "cmdNext",
                 .caption = ">",
                 .left = 4320,
                 .top = 1560,
                 .width = 495,
                 .height = 495,
                 .tabIndex = 4,
                 .font = arrowFont,
                 .accessibleName = "Next file"},
                {.kind = ControlKind::Frame,
                 .name = frame,
                 .caption = "File Information:",
                 .left = 120,
                 .top = 2280,
                 .width = 5535,
                 .height = 3855,
                 .tabIndex = 5},
                infoLabel("lblFullName", "Full Filename:", 240, 495, 6),
                infoLabel("lblDOSFilename", "DOS Filename:", 840, 615, 7),
                infoLabel("lblSize", "Size:", 1560, 255, 11),
                infoLabel("lblCreated", "Created: ", 1920, 255, 8),
                infoLabel("lblLastModified", "Last Modified: ", 2160, 255, 9),
                infoLabel("lblLastAccessed", "Last Accessed:", 2400, 255, 10),
                attributeBox("chkReadOnly", "Read Only", 120, 2880, 14),
                attributeBox("chkHidden", "Hidden", 2880, 2880, 16),
                attributeBox("chkArchive", "Archive", 120, 3360, 15),
                attributeBox("chkSystem", "System", 2880, 3360, 17),
                {.kind = ControlKind::CommandButton,
                 .name = "cmdExecute",
                 .caption = "Open",
                 .left = 120,
                 .top = 6240,
                 .width = 1215,
                 .height = 375,
                 .tabIndex = 12},
                {.kind = ControlKind::CommandButton,
                 .name = "cmdClose",
                 .caption = "Close",
                 .left = 4440,
                 .top = 6240,
                 .width = 1215,
                 .height = 375,
                 .tabIndex = 13},
            },
    };
}

}  // namespace browser_window
