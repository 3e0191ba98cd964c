// Checks the committed .ico files with a small reader of their own: the images each file holds
// and their order (the main window shows the first of the largest images), that every image is
// a well-formed DIB with its AND mask, and the few pictures whose content matters.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <ostream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Rgb {
    std::uint8_t r, g, b;
};

struct Image {
    // Directory entry.
    int entryWidth = 0;
    int entryHeight = 0;
    int entryBitCount = 0;
    std::uint32_t offset = 0;
    std::uint32_t bytesInRes = 0;
    // DIB header.
    std::int32_t width = 0;
    std::int32_t height = 0;  // XOR bitmap and AND mask together
    int bitCount = 0;
    std::uint32_t compression = 0;
    std::size_t dibSize = 0;  // header + colour table + XOR bitmap + AND mask
    Bytes dib;                // the entry's bytes as stored
    std::vector<Rgb> palette;
    Bytes pixels;                   // palette index per pixel, top row first
    std::vector<bool> transparent;  // AND mask per pixel, top row first
};

struct IconFile {
    std::size_t fileSize = 0;
    std::uint16_t type = 0;
    std::vector<Image> images;
};

std::uint32_t le(const Bytes& data, std::size_t at, std::size_t width) {
    if (at + width > data.size()) throw std::runtime_error("read past the end");
    std::uint32_t v = 0;
    for (std::size_t i = width; i-- > 0;) v = (v << 8) | data[at + i];
    return v;
}

std::size_t stride(std::size_t width, std::size_t bitCount) {
    return (width * bitCount + 31) / 32 * 4;
}

// Value of pixel x in a packed row of 1, 4 or 8 bits per pixel, leftmost pixel in the high bits.
unsigned packed(const Bytes& data, std::size_t row, std::size_t x, std::size_t bitCount) {
    const std::size_t bit = x * bitCount;
    if (row + bit / 8 >= data.size()) throw std::runtime_error("bitmap past the end of its entry");
    const unsigned byte = data[row + bit / 8];
    return (byte >> (8 - bit % 8 - bitCount)) & ((1u << bitCount) - 1);
}

void decodeDib(Image& im) {
    const Bytes& d = im.dib;
    const std::uint32_t headerSize = le(d, 0, 4);
    if (headerSize != 40) throw std::runtime_error("not a BITMAPINFOHEADER");
    im.width = static_cast<std::int32_t>(le(d, 4, 4));
    im.height = static_cast<std::int32_t>(le(d, 8, 4));
    im.bitCount = static_cast<int>(le(d, 14, 2));
    im.compression = le(d, 16, 4);
    if (im.width <= 0 || im.width > 256 || im.height != 2 * im.width ||
        (im.bitCount != 1 && im.bitCount != 4 && im.bitCount != 8))
        return;  // the header checks report it; nothing sensible to decode

    const auto n = static_cast<std::size_t>(im.width);
    const auto bpp = static_cast<std::size_t>(im.bitCount);
    const std::uint32_t used = le(d, 32, 4);
    const std::size_t colours = used != 0 ? used : std::size_t{1} << bpp;
    for (std::size_t i = 0; i < colours; ++i) {
        const std::size_t at = headerSize + 4 * i;  // stored blue, green, red, reserved
        im.palette.push_back({static_cast<std::uint8_t>(le(d, at + 2, 1)),
                              static_cast<std::uint8_t>(le(d, at + 1, 1)),
                              static_cast<std::uint8_t>(le(d, at, 1))});
    }
    const std::size_t xorAt = headerSize + 4 * colours;
    const std::size_t andAt = xorAt + stride(n, bpp) * n;
    im.dibSize = andAt + stride(n, 1) * n;

    // Rows are stored bottom-up.
    for (std::size_t y = 0; y < n; ++y) {
        const std::size_t stored = n - 1 - y;
        for (std::size_t x = 0; x < n; ++x) {
            const unsigned index = packed(d, xorAt + stored * stride(n, bpp), x, bpp);
            if (index >= colours) throw std::runtime_error("pixel outside the colour table");
            im.pixels.push_back(static_cast<std::uint8_t>(index));
            im.transparent.push_back(packed(d, andAt + stored * stride(n, 1), x, 1) != 0);
        }
    }
}

IconFile readIcon(const std::string& name) {
    std::ifstream in(std::string(VOLSCOPE_RESOURCES_DIR) + "/" + name, std::ios::binary);
    if (!in) throw std::runtime_error("cannot open " + name);
    const Bytes data{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};

    IconFile file;
    file.fileSize = data.size();
    file.type = static_cast<std::uint16_t>(le(data, 2, 2));
    const std::size_t count = le(data, 4, 2);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = 6 + 16 * i;
        Image im;
        im.entryWidth = static_cast<int>(le(data, at, 1));
        im.entryHeight = static_cast<int>(le(data, at + 1, 1));
        im.entryBitCount = static_cast<int>(le(data, at + 6, 2));
        im.bytesInRes = le(data, at + 8, 4);
        im.offset = le(data, at + 12, 4);
        if (std::size_t{im.offset} + im.bytesInRes <= data.size()) {
            const auto first = data.begin() + static_cast<std::ptrdiff_t>(im.offset);
            im.dib.assign(first, first + static_cast<std::ptrdiff_t>(im.bytesInRes));
            decodeDib(im);
        }
        file.images.push_back(std::move(im));
    }
    return file;
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
