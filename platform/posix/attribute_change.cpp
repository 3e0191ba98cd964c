#include "platform/posix/attribute_change.h"

#include "platform/platform.h"
#include "platform/posix/dos_attrib.h"
#include "platform/posix/entry_reader.h"

namespace platform::posix {

namespace {

constexpr std::uint32_t dosBits =
    file_attribute::hidden | file_attribute::system | file_attribute::archive;
constexpr std::uint32_t ownerWrite = 0200;
constexpr std::uint32_t anyWrite = 0222;

}  // namespace

std::optional<AttributeChange> planAttributeChange(const AttributeState& state,
                                                   std::uint32_t attributes) {
    const bool readOnly = (attributes & file_attribute::readOnly) != 0;
    AttributeChange change{state.mode, std::nullopt};
    if (!state.isDirectory) {
        if (readOnly)
            change.mode &= ~anyWrite;
        else if ((state.mode & ownerWrite) == 0)
            change.mode |= ownerWrite;
    }

    const std::optional<DosAttrib> parsed =
        state.dosAttrib ? parseDosAttrib(*state.dosAttrib) : std::nullopt;
    const std::optional<std::uint32_t> vouched = parsed ? parsed->attributes() : std::nullopt;
    const std::uint32_t shown = attributesOf({state.name, state.isDirectory, true, vouched});
    if (!vouched && (shown & dosBits) == (attributes & dosBits)) return change;

    const std::uint32_t stored =
        (attributes & dosBits) | (readOnly && !state.isDirectory ? file_attribute::readOnly : 0);
    std::string value =
        parsed ? withDosAttributes(*state.dosAttrib, *parsed, stored) : dosAttribText(stored);
    if (value == state.dosAttrib) return change;
    if (!state.hasExtendedAttributes || state.dosAttribUnreadable) return std::nullopt;
    change.dosAttrib = std::move(value);
    return change;
}

}  // namespace platform::posix
