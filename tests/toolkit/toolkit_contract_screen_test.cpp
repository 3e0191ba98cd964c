// The toolkit contract on what the screen shows: pictures at the screen's scale, controls cut
// off by their containers, the focus mark, read back as pixels from the backend's windows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/icon_file.h"
#include "tests/toolkit/toolkit_contract.h"
#include "toolkit/twips.h"

namespace {

using namespace contract;

TEST_F(ToolkitContract, AnImageGivenAnothersPictureHoldsThatVeryPicture) {
    toolkit::Form& f = shown();
    toolkit::Image& a = f.image("imgA");
    toolkit::Image& b = f.image("imgB");
    ASSERT_FALSE(a.picture().empty()) << "the layout's picture resource";
    EXPECT_TRUE(b.picture().empty());
    EXPECT_EQ(a.width(), toolkit::toTwips(ui().geometry(f, "imgA").width, ui().dpi()))
        << "its size on the screen";
    b.setPicture(a.picture());
    EXPECT_EQ(b.picture().handle(), a.picture().handle());
    EXPECT_EQ(b.picture(), a.picture());
    EXPECT_EQ(b.width(), a.width());
    b.setLeft(1234.5f);
    EXPECT_EQ(b.left(), 1234.5f) << "Left is kept exactly as set";
}

// At 96 DPI the 48-pixel image, at 192 (or twice the pixels on Qt) the 96-pixel one, drawn for
// that size: pixel for pixel, not the 48-pixel image enlarged.
TEST_F(ToolkitContract, AnImageShowsTheIconsImageDrawnForTheScreensScale) {
    toolkit::Form& f = shown();
    const int side = toolkit::toPixels(720, ui().dpi());
    EXPECT_EQ(f.image("imgA").width(), 720) << "the picture keeps its size in twips";
    const fake::PixelRect at = inClientArea("imgA");
    ASSERT_EQ(at.width, side);
    const icon_file::IconFile file =
        icon_file::readIconFile(std::string(VOLSCOPE_RESOURCES_DIR) + "/drive_fixed.ico");
    const icon_file::Image* drawn = icon_file::firstImage(file, side, 8);
    ASSERT_NE(drawn, nullptr) << "no image drawn for " << ui().dpi() << " DPI";

    const std::vector<std::uint32_t> screen = ui().clientPixels(f);
    const auto width = static_cast<std::size_t>(ui().clientArea(f).width);
    const auto shown = [&](int x, int y) {
        return screen[static_cast<std::size_t>(at.top + y) * width +
                      static_cast<std::size_t>(at.left + x)];
    };
    const std::uint32_t background = shown(-1, 0);
    int wrong = 0;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const std::size_t i = static_cast<std::size_t>(y * side + x);
            const icon_file::Rgb c = drawn->palette[drawn->pixels[i]];
            const std::uint32_t expected =
                drawn->transparent[i] ? background : (c.r << 16u) | (c.g << 8u) | c.b;
            if (shown(x, y) != expected) ++wrong;
        }
    }
    EXPECT_EQ(wrong, 0) << "of " << side * side << " pixels at " << ui().dpi() << " DPI";
}

TEST_F(ToolkitContract, AControlInsideAContainerIsClippedToItsInside) {
    toolkit::Form& f = shown();
    const std::vector<std::uint32_t> screen = ui().clientPixels(f);
    const fake::PixelRect client = ui().clientArea(f);
    const fake::PixelRect box = inClientArea("pctBox");
    const fake::PixelRect frame = inClientArea("fmeBox");
    const auto within = [](const fake::PixelRect& r, int x, int y, int inset) {
        return x >= r.left + inset && x < r.left + r.width - inset && y >= r.top + inset &&
               y < r.top + r.height - inset;
    };
    int green = 0;
    int red = 0;
    for (int y = 0; y < client.height; ++y) {
        for (int x = 0; x < client.width; ++x) {
            const std::uint32_t pixel =
                screen[static_cast<std::size_t>(y) * static_cast<std::size_t>(client.width) +
                       static_cast<std::size_t>(x)];
            if (pixel == 0x00FF00u) {
                ++green;
                EXPECT_TRUE(within(box, x, y, 1))
                    << "green at " << x << "," << y << ": over the picture box's border or beyond";
            }
            if (pixel == 0xFF0000u) {
                ++red;
                EXPECT_TRUE(within(frame, x, y, 0))
                    << "red at " << x << "," << y << ": beyond the frame";
            }
            if (::testing::Test::HasFailure()) return;
        }
    }
    EXPECT_GT(green, 0);
    EXPECT_GT(red, 0);
}

TEST_F(ToolkitContract, APictureBoxWithTheFocusShowsIt) {
    toolkit::Form& f = shown();
    const fake::PixelRect box = inClientArea("pctBox");
    const auto boxPixels = [&] {
        const std::vector<std::uint32_t> screen = ui().clientPixels(f);
        const auto width = static_cast<std::size_t>(ui().clientArea(f).width);
        std::vector<std::uint32_t> inside;
        for (int y = box.top; y < box.top + box.height; ++y)
            for (int x = box.left; x < box.left + box.width; ++x)
                inside.push_back(
                    screen[static_cast<std::size_t>(y) * width + static_cast<std::size_t>(x)]);
        return inside;
    };
    const std::vector<std::uint32_t> unfocused = boxPixels();
    ui().click(f, "pctBox");
    ASSERT_EQ(ui().focusedControl(f), "pctBox");
    EXPECT_NE(boxPixels(), unfocused) << "no focus mark";
}

// With nothing selected the list has a current row (the first) that is not selected; the first
// key selects the row it names instead of moving on from the current one.
}  // namespace
