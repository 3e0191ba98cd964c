#include "tests/support/icon_file.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace icon_file {

namespace {

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

}  // namespace

IconFile readIconFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot open " + path);
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

const Image* firstImage(const IconFile& file, int width, int bitCount) {
    for (const Image& im : file.images)
        if (im.width == width && im.bitCount == bitCount) return &im;
    return nullptr;
}

}  // namespace icon_file
