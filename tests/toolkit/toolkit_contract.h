#pragma once

// The toolkit contract's window and fixture, shared by its files: what every toolkit backend
// keeps, written against the toolkit's interfaces and driven through real input
// (fake::UiDriver). The same files run on each backend the machine has.
#include <gtest/gtest.h>

#include <memory>
#include <string_view>

#include "tests/support/fake_platform.h"
#include "tests/support/recording_message_boxes.h"
#include "tests/support/ui_driver.h"

namespace contract {

using toolkit::ControlKind;
namespace key = toolkit::key_code;
inline constexpr std::int16_t tabKey = 9;
inline constexpr std::int16_t spaceKey = 32;

inline toolkit::FormLayout contractLayout() {
    return {.name = "frmContract",
            .caption = "Contract",
            .clientWidth = 6000,
            .clientHeight = 4500,
            .keyPreview = true,
            .controls = {
                {.kind = ControlKind::CommandButton,
                 .name = "cmdGo",
                 .caption = "Go",
                 .left = 150,
                 .top = 150,
                 .width = 1215,
                 .height = 375,
                 .tabIndex = 0},
                {.kind = ControlKind::Label,
                 .name = "lblText",
                 .caption = "<b>not bold</b> & more",
                 .left = 1500,
                 .top = 150,
                 .width = 2400,
                 .height = 255},
                {.kind = ControlKind::FileListBox,
                 .name = "fil",
                 .left = 150,
                 .top = 750,
                 .width = 2400,
                 .height = 1200,
                 .tabIndex = 2},
                {.kind = ControlKind::DirListBox,
                 .name = "Dir",
                 .left = 2700,
                 .top = 750,
                 .width = 2400,
                 .height = 1200,
                 .tabIndex = 4},
                {.kind = ControlKind::CheckBox,
                 .name = "chkA",
                 .caption = "Alpha",
                 .left = 150,
                 .top = 2100,
                 .width = 1215,
                 .height = 255,
                 .tabIndex = 1},
                {.kind = ControlKind::PictureBox,
                 .name = "pctBox",
                 .left = 1500,
                 .top = 2100,
                 .width = 615,
                 .height = 615,
                 .tabIndex = 3,
                 .tabStop = false},
                {.kind = ControlKind::Frame,
                 .name = "fmeBox",
                 .caption = "Framed",
                 .left = 2700,
                 .top = 2100,
                 .width = 2400,
                 .height = 1200},
                {.kind = ControlKind::CheckBox,
                 .name = "chkIn",
                 .caption = "Inside",
                 .left = 120,
                 .top = 480,
                 .width = 1500,
                 .height = 255,
                 .tabIndex = 5,
                 .container = "fmeBox"},
                // Larger than the inside of their containers, which cut them off.
                {.kind = ControlKind::Shape,
                 .name = "shpIn",
                 .width = 2000,
                 .height = 2000,
                 .backColor = toolkit::Rgb{0, 255, 0},
                 .container = "pctBox"},
                {.kind = ControlKind::Shape,
                 .name = "shpOut",
                 .left = 1800,
                 .top = 600,
                 .width = 1200,
                 .height = 300,
                 .backColor = toolkit::Rgb{255, 0, 0},
                 .container = "fmeBox"},
                {.kind = ControlKind::Image,
                 .name = "imgA",
                 .left = 150,
                 .top = 3450,
                 .width = 720,
                 .height = 720,
                 .picture = "drive_fixed.ico"},
                {.kind = ControlKind::Image, .name = "imgB", .left = 1500, .top = 3450},
            }};
}

class ToolkitContract : public ::testing::Test {
  protected:
    ToolkitContract() {
        os.setDrive('C', {});
        os.addFile("C:\\a.txt");
        os.addFile("C:\\b.txt");
        os.addFile("C:\\c.txt");
        os.addFolder("C:\\Data\\Sub");
        os.setDrive('D', {});
        os.setUnreadable("D:\\");
    }

    // Builds the contract's form and shows it as the active window.
    toolkit::Form& shown() {
        form = tk().createForm(contractLayout());
        form->show();
        ui().activate(*form);
        tk().doEvents();
        return *form;
    }

    toolkit::Toolkit& tk() { return *backend.toolkit; }
    fake::UiDriver& ui() { return *backend.driver; }

    // A control's place in the client area, for one standing in a container too.
    fake::PixelRect inClientArea(std::string_view control, std::string_view container = {}) {
        fake::PixelRect place = ui().geometry(*form, control);
        if (!container.empty()) {
            const fake::PixelRect outer = ui().geometry(*form, container);
            place.left += outer.left;
            place.top += outer.top;
        }
        return place;
    }

    fake::Platform os;
    fake::RecordingMessageBoxes boxes;
    fake::TestBackend backend = fake::makeTestBackend(boxes, os);
    std::unique_ptr<toolkit::Form> form;
};

}  // namespace contract
