// Checks the committed .ico files with a small reader of their own: the images each file holds
// and their order (the main window shows the first image of the size it wants), that every image
// is a well-formed DIB with its AND mask, and the few pictures whose content matters.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

#include "tests/support/icon_file.h"

namespace {

using icon_file::IconFile;
using icon_file::Image;
using icon_file::Rgb;

IconFile readIcon(const std::string& name) {
    return icon_file::readIconFile(std::string(VOLSCOPE_RESOURCES_DIR) + "/" + name);
}

bool isPureRed(Rgb c) {
    return c.r >= 0xC0 && c.g < 0x40 && c.b < 0x40;
}

std::size_t redPixels(const Image& im) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < im.pixels.size(); ++i)
        if (!im.transparent[i] && isPureRed(im.palette[im.pixels[i]])) ++count;
    return count;
}

// ---------------------------------------------------------------------------------------------

struct Expected {
    int size;
    int bitCount;
};

struct IconCase {
    const char* file;
    std::vector<Expected> images;  // in file order
};

void PrintTo(const IconCase& c, std::ostream* os) {
    *os << c.file;
}

// A drive picture at 48 pixels and at the scales 1.25, 1.5 and 2, each size first at 256 colours,
// then at 16; the window shows the first image of the size it wants. A missing drive's picture
// has its 16-colour image, with the red cross, first.
std::vector<Expected> drivePicture(std::vector<int> sizes = {}, bool crossFirst = false) {
    for (int size : {48, 60, 72, 96}) sizes.push_back(size);
    std::vector<Expected> images;
    for (int size : sizes) {
        images.push_back({size, crossFirst ? 4 : 8});
        images.push_back({size, crossFirst ? 8 : 4});
    }
    return images;
}

const std::vector<IconCase> kIcons = {
    {"drive_fixed.ico", drivePicture()},
    {"drive_none.ico", drivePicture({}, true)},
    {"drive_removable.ico", drivePicture()},
    {"drive_network.ico", drivePicture({16, 32})},
    {"drive_cd.ico", drivePicture({16, 32})},
    {"drive_ram.ico", drivePicture()},
    {"drive_unknown.ico", drivePicture()},
    // The program icon's 16 and 32 pixel pictures at the same scales: 20, 24, 40, 48 and 64.
    {"volscope.ico", {{32, 1}, {64, 8}, {48, 8}, {40, 4}, {32, 4}, {24, 4}, {20, 4}, {16, 4}}},
};

class IconFileTest : public testing::TestWithParam<IconCase> {
  protected:
    void SetUp() override { ASSERT_NO_THROW(file_ = readIcon(GetParam().file)); }
    IconFile file_;
};

TEST_P(IconFileTest, HoldsTheExpectedImagesInOrder) {
    EXPECT_EQ(file_.type, 1) << "not an icon file";
    const std::vector<Expected>& expected = GetParam().images;
    ASSERT_EQ(file_.images.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE("image " + std::to_string(i));
        const Image& im = file_.images[i];
        EXPECT_EQ(im.entryWidth, expected[i].size);
        EXPECT_EQ(im.entryHeight, expected[i].size);
        EXPECT_EQ(im.entryBitCount, expected[i].bitCount);
        EXPECT_EQ(im.width, expected[i].size);
        EXPECT_EQ(im.bitCount, expected[i].bitCount);
    }
}

TEST_P(IconFileTest, EveryImageIsACompleteDibWithItsMask) {
    const std::size_t directoryEnd = 6 + 16 * file_.images.size();
    for (std::size_t i = 0; i < file_.images.size(); ++i) {
        SCOPED_TRACE("image " + std::to_string(i));
        const Image& im = file_.images[i];
        ASSERT_GE(im.offset, directoryEnd);
        ASSERT_LE(std::size_t{im.offset} + im.bytesInRes, file_.fileSize);
        EXPECT_EQ(im.compression, 0u);
        ASSERT_EQ(im.height, 2 * im.width) << "height must cover the XOR bitmap and the AND mask";
        EXPECT_EQ(im.palette.size(), std::size_t{1} << im.bitCount);
        EXPECT_EQ(im.bytesInRes, im.dibSize) << "entry size is not header, colours, XOR and mask";
    }
}

TEST_P(IconFileTest, EveryImageHasTransparentAndOpaquePixels) {
    for (std::size_t i = 0; i < file_.images.size(); ++i) {
        SCOPED_TRACE("image " + std::to_string(i));
        const std::vector<bool>& mask = file_.images[i].transparent;
        ASSERT_FALSE(mask.empty());
        EXPECT_NE(std::count(mask.begin(), mask.end(), true), 0);
        EXPECT_NE(std::count(mask.begin(), mask.end(), false), 0);
    }
}

std::string testName(const testing::TestParamInfo<IconCase>& param) {
    std::string name = param.param.file;
    name = name.substr(0, name.find('.'));
    std::erase(name, '_');
    return name;
}

INSTANTIATE_TEST_SUITE_P(Resources, IconFileTest, testing::ValuesIn(kIcons), testName);

// Each image of a given size and depth, in file order.
std::vector<const Image*> imagesOf(const IconFile& file, int size, int bitCount) {
    std::vector<const Image*> found;
    for (const Image& im : file.images)
        if (im.width == size && im.bitCount == bitCount) found.push_back(&im);
    return found;
}

// A missing drive is shown by the first image of each size of drive_none.ico, which must be the
// crossed-out one; its 256-colour image is the plain fixed disk.
TEST(MissingDriveIcon, ShowsARedCrossInTheFirstImageOfEachSizeOnly) {
    const IconFile none = readIcon("drive_none.ico");
    const IconFile fixed = readIcon("drive_fixed.ico");
    for (int size : {48, 60, 72, 96}) {
        SCOPED_TRACE(std::to_string(size) + " pixels");
        const std::vector<const Image*> crossed = imagesOf(none, size, 4);
        const std::vector<const Image*> plain = imagesOf(none, size, 8);
        ASSERT_EQ(crossed.size(), 1u);
        ASSERT_EQ(plain.size(), 1u);
        EXPECT_LT(crossed[0], plain[0]) << "the crossed-out image comes first";
        EXPECT_GT(redPixels(*crossed[0]), 0u);
        EXPECT_EQ(redPixels(*plain[0]), 0u);
        ASSERT_EQ(imagesOf(fixed, size, 8).size(), 1u);
        EXPECT_EQ(plain[0]->dib, imagesOf(fixed, size, 8)[0]->dib);
    }
}

// A 96-pixel image that is its 48-pixel image with every pixel doubled has been scaled up, not
// drawn at its size: its lines would be as blurred in shape as a scaled picture's.
TEST_P(IconFileTest, NoImageIsAnotherOneBlownUp) {
    std::vector<const Image*> small = imagesOf(file_, 48, 8);
    std::vector<const Image*> large = imagesOf(file_, 96, 8);
    if (small.empty() || large.empty()) GTEST_SKIP() << "no 48 and 96 pixel images";
    const Image& a = *small[0];
    const Image& b = *large[0];
    bool doubled = true;
    for (std::size_t y = 0; y < 96 && doubled; ++y) {
        for (std::size_t x = 0; x < 96 && doubled; ++x) {
            const std::size_t i = y * 96 + x;
            const std::size_t j = y / 2 * 48 + x / 2;
            const Rgb p = b.palette[b.pixels[i]];
            const Rgb q = a.palette[a.pixels[j]];
            doubled = b.transparent[i] == a.transparent[j] &&
                      (b.transparent[i] || (p.r == q.r && p.g == q.g && p.b == q.b));
        }
    }
    EXPECT_FALSE(doubled);
}

}  // namespace
