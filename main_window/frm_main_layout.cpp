#include "main_window/frm_main_layout.h"

namespace main_window {

using toolkit::Alignment;
using toolkit::ControlKind;
using toolkit::ControlLayout;
using toolkit::Font;
using toolkit::FormLayout;
using toolkit::Rgb;

namespace {

ControlLayout detailLabel(const char* name, const char* caption, float top, int tabIndex) {
    return {.kind = ControlKind::Label,
            .name = name,
            .caption = caption,
            .left = 120,
            .top = top,
            .width = 4575,
            .height = 255,
            .tabIndex = tabIndex};
}

// A picture store: an image holding one drive picture, hidden beyond the client area's right
// edge, from which the drive icon takes its picture.
ControlLayout pictureStore(const char* name, float top, const char* picture) {
    return {.kind = ControlKind::Image,
            .name = name,
            .left = 4800,
            .top = top,
            .width = 720,
            .height = 720,
            .picture = picture,
            .visible = false};
}

}  // namespace

FormLayout frmMainLayout() {
    const Font arrowFont{"MS Sans Serif", 18};
    const Rgb navy{0, 0, 128};
    const Rgb blue{0, 0, 255};
    return FormLayout{
        .name = "frmMain",
        .caption = "Volscope",
        .clientWidth = 4800,
        .clientHeight = 5295,
        .fixedBorder = true,
        .minButton = true,
        .maxButton = false,
        .keyPreview = true,
        .centred = true,
        .icon = "volscope.ico",
        .controls =
            {
                {.kind = ControlKind::Image,
                 .name = "imgDriveIcon",
                 .left = 1920,
                 .top = 120,
                 .width = 855,
                 .height = 855},
                {.kind = ControlKind::CommandButton,
                 .name = "cmdPrev",
                 .caption = "<",
                 .left = 1440,
                 .top = 960,
                 .width = 495,
                 .height = 495,
                 .tabIndex = 2,
                 .tabStop = false,
                 .font = arrowFont,
                 .accessibleName = "Previous drive"},
                {.kind = ControlKind::Label,
                 .name = "lblDriveName",
                 .caption = "C",
                 .left = 1920,
                 .top = 960,
                 .width = 855,
                 .height = 495,
                 .tabIndex = 0,
                 .font = Font{"Times New Roman", 21.75f},
                 .alignment = Alignment::Center},
                {.kind = ControlKind::CommandButton,
                 .name = "cmdNext",
                 .caption = ">",
                 .left = 2760,
                 .top = 960,
                 .width = 495,
                 .height = 495,
                 .tabIndex = 1,
                 .tabStop = false,
                 .font = arrowFont,
                 .accessibleName = "Next drive"},
                detailLabel("lblVolumeName", "Volume Name:", 1680, 3),
                detailLabel("lblSerialNumber", "Serial Number:", 1920, 4),
                detailLabel("lblMaxCompLen", "Maximum Component Length:", 2160, 5),
                detailLabel("lblFileSystemName", "File System: ", 2400, 9),
                detailLabel("lblDIskSpaceUsage", "Disk Space Usage:", 2880, 6),
                {.kind = ControlKind::PictureBox,
                 .name = "pctValue",
                 .left = 120,
                 .top = 3120,
                 .width = 4575,
                 .height = 375,
                 .tabIndex = 7,
                 .backColor = navy,
                 .accessibleName = "Free space"},
                {.kind = ControlKind::Shape,
                 .name = "shpValue",
                 .left = 0,
                 .top = 0,
                 .width = 1815,
                 .height = 375,
                 .backColor = blue,
                 .container = "pctValue"},
                detailLabel("lblUsedTotal", "Used / Total:", 3600, 8),
                detailLabel("lblTotalClusters", "Total Number of Clusters: ", 3960, 10),
                detailLabel("lblSectorsPerCluster", "Number of Sectors per Cluster: ", 4200, 11),
                detailLabel("lblBytesPerSector", "Number of Bytes per Sector:", 4440, 12),
                {.kind = ControlKind::CommandButton,
                 .name = "cmdBrowse",
                 .caption = "Browse...",
                 .left = 120,
                 .top = 4800,
                 .width = 1215,
                 .height = 375,
                 .tabIndex = 14},
                {.kind = ControlKind::CommandButton,
                 .name = "cmdExit",
                 .caption = "Close",
                 .left = 3480,
                 .top = 4800,
                 .width = 1215,
                 .height = 375,
                 .tabIndex = 13},
                pictureStore("imgNonExist", 120, "drive_none.ico"),
                pictureStore("imgDrive", 240, "drive_fixed.ico"),
                pictureStore("imgRemovable", 120, "drive_removable.ico"),
                pictureStore("imgNetwork", 120, "drive_network.ico"),
                pictureStore("imgCD", 120, "drive_cd.ico"),
                pictureStore("imgRamDisk", 120, "drive_ram.ico"),
                pictureStore("imgUnknown", 120, "drive_unknown.ico"),
            },
    };
}

}  // namespace main_window
