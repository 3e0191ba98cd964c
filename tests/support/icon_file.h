#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A small reader of Windows icon files of its own, for tests that check what the program's .ico
// files hold or compare what a window shows with them: the directory, and each image's DIB
// decoded (1, 4 and 8 bits per pixel, with its AND mask).
namespace icon_file {

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

// The file at `path`, read and decoded. Throws std::runtime_error for a file that cannot be read
// or is cut short.
IconFile readIconFile(const std::string& path);

// The first image of that width and depth, or null.
const Image* firstImage(const IconFile& file, int width, int bitCount);

}  // namespace icon_file
