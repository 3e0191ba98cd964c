#include "platform/posix/dos_attrib.h"

#include <cstdio>

#include "platform/posix/hex_digits.h"

namespace platform::posix {

namespace {

std::optional<std::uint32_t> parseHexText(std::string_view text) {
    if (!text.starts_with("0x")) return std::nullopt;
    return hexValue(text.substr(2));
}

// Reads little-endian fields at NDR's alignments, which count from the start of the value.
class NdrReader {
  public:
    explicit NdrReader(std::string_view data, std::size_t offset) : data_(data), offset_(offset) {}

    std::size_t offset() const { return offset_; }

    std::optional<std::uint16_t> uint16() {
        align(2);
        const auto bytes = nextBytes(2);
        if (!bytes) return std::nullopt;
        return static_cast<std::uint16_t>(byte(*bytes, 0) | byte(*bytes, 1) << 8);
    }
    std::optional<std::uint32_t> uint32() {
        align(4);
        const auto bytes = nextBytes(4);
        if (!bytes) return std::nullopt;
        return byte(*bytes, 0) | byte(*bytes, 1) << 8 | byte(*bytes, 2) << 16 |
               byte(*bytes, 3) << 24;
    }
    // udlong and NTTIME: 8 bytes at a 4-byte alignment; their values are not needed.
    bool skip64() {
        align(4);
        return nextBytes(8).has_value();
    }
    bool skipNulTerminated() {
        const std::size_t nul = data_.find('\0', offset_);
        if (nul == std::string_view::npos) return false;
        offset_ = nul + 1;
        return true;
    }
    void align(std::size_t to) { offset_ = (offset_ + to - 1) / to * to; }

  private:
    static std::uint32_t byte(std::string_view bytes, std::size_t i) {
        return static_cast<unsigned char>(bytes[i]);
    }
    // The next count bytes, read past; nullopt, reading nothing, when fewer are left.
    std::optional<std::string_view> nextBytes(std::size_t count) {
        if (offset_ > data_.size() || data_.size() - offset_ < count) return std::nullopt;
        const std::string_view bytes = data_.substr(offset_, count);
        offset_ += count;
        return bytes;
    }

    std::string_view data_;
    std::size_t offset_;
};

// The version's structure, from its first field on; false when it is cut short.
bool readInfo(NdrReader& reader, DosAttrib& result) {
    const auto attrib = [&]() {
        reader.align(4);
        result.attribOffset = reader.offset();
        const std::optional<std::uint32_t> word = reader.uint32();
        if (word) result.attrib = *word;
        return word.has_value();
    };
    const auto validFlags = [&]() {
        const std::optional<std::uint32_t> flags = reader.uint32();
        if (flags) result.validFlags = *flags;
        return flags.has_value();
    };
    switch (result.version) {
        case 1:
            return attrib() && reader.uint32() && reader.skip64() && reader.skip64() &&
                   reader.skip64() && reader.skip64();
        case 2:
            return reader.uint32() && attrib() && reader.uint32() && reader.skip64() &&
                   reader.skip64() && reader.skip64() && reader.skip64() && reader.skip64() &&
                   reader.skipNulTerminated();
        case 3:
            return validFlags() && attrib() && reader.uint32() && reader.skip64() &&
                   reader.skip64() && reader.skip64() && reader.skip64();
        case 4:
            return validFlags() && attrib() && reader.skip64() && reader.skip64();
        case 5:
            return validFlags() && attrib() && reader.skip64();
        default:
            return false;
    }
}

std::size_t alignUp(std::size_t offset, std::size_t to) {
    return (offset + to - 1) / to * to;
}

void writeLe32(std::string& value, std::size_t offset, std::uint32_t word) {
    for (std::size_t i = 0; i < 4; ++i)
        value[offset + i] = static_cast<char>(word >> (8 * i) & 0xFF);
}

std::uint32_t readLe32(std::string_view value, std::size_t offset) {
    std::uint32_t word = 0;
    for (std::size_t i = 0; i < 4; ++i)
        word |= std::uint32_t{static_cast<unsigned char>(value[offset + i])} << (8 * i);
    return word;
}

// Where the version's structure starts: after the text's NUL, the 2-aligned version and level,
// aligned to 4.
std::size_t structureOffset(std::size_t textLength) {
    return alignUp(alignUp(textLength + 1, 2) + 4, 4);
}

}  // namespace

std::string dosAttribText(std::uint32_t attributes) {
    char text[2 + 2 * sizeof attributes + 1];
    const int length = std::snprintf(text, sizeof text, "0x%x", static_cast<unsigned>(attributes));
    return std::string(text, static_cast<std::size_t>(length));
}

std::string withDosAttributes(std::string_view value, const DosAttrib& parsed,
                              std::uint32_t attributes) {
    if (parsed.version == DosAttrib::textOnly) return dosAttribText(attributes);
    std::string result(value);
    writeLe32(result, parsed.attribOffset, attributes);
    if (parsed.version >= 3) {
        const std::size_t flagsOffset = parsed.attribOffset - 4;
        writeLe32(result, flagsOffset, readLe32(result, flagsOffset) | DosAttrib::attribValid);
    }
    if (parsed.textLength == 0) return result;

    const std::string text = dosAttribText(attributes);
    if (text.size() == parsed.textLength) return result.replace(0, text.size(), text);
    const std::size_t oldStructure = structureOffset(parsed.textLength);
    const std::size_t versionAt = alignUp(parsed.textLength + 1, 2);
    std::string relaid = text + '\0';
    relaid.resize(alignUp(relaid.size(), 2), '\0');
    relaid.append(result, versionAt, 4);
    relaid.resize(structureOffset(text.size()), '\0');
    relaid.append(result, oldStructure);
    return relaid;
}

std::optional<std::uint32_t> DosAttrib::attributes() const {
    if (version >= 3 && version <= 5 && (validFlags & attribValid) == 0) return std::nullopt;
    return attrib;
}

std::optional<DosAttrib> parseDosAttrib(std::string_view value) {
    DosAttrib result;
    const std::size_t nul = value.find('\0');
    result.textLength = nul == std::string_view::npos ? value.size() : nul;
    const std::size_t binaryStart = result.textLength + 1;
    if (binaryStart >= value.size()) {
        const std::optional<std::uint32_t> word = parseHexText(value.substr(0, result.textLength));
        if (!word) return std::nullopt;
        result.attrib = *word;
        return result;
    }

    NdrReader reader(value, binaryStart);
    const std::optional<std::uint16_t> version = reader.uint16();
    const std::optional<std::uint16_t> level = reader.uint16();
    if (!version || !level || *level != *version) return std::nullopt;
    result.version = *version;
    reader.align(4);
    if (!readInfo(reader, result)) return std::nullopt;
    return result;
}

}  // namespace platform::posix
