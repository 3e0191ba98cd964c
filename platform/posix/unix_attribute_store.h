#pragma once

#include <cstdint>
#include <optional>
#include <stop_token>
#include <string>

#include "platform/posix/attribute_store.h"

namespace platform::posix {

// Linux's own file systems, and any the program knows no other home for: the attributes as
// Samba and Wine keep them, readOnly in the mode and the rest in user.DOSATTRIB. What is shown
// is attributesOf's word, a change is made as planAttributeChange plans it. A volume without
// user.* attributes keeps readOnly alone. No 8.3 names.
class UnixAttributeStore final : public AttributeStore {
  public:
    std::uint32_t read(const StoredEntry& entry) override;
    // The mode and the value are changed in the order that keeps the file writable while the
    // value is written, and a step that fails undoes the steps before it. A file that stays
    // read-only is given its owner's write permission for the moment of the write when the
    // caller needs it. A value that cannot be read (no read permission) is never written over.
    std::uint32_t write(const StoredEntry& entry, std::uint32_t attributes,
                        const std::stop_token& givenUp) override;
    std::optional<std::string> shortName(const std::string&, const std::string&) override {
        return std::nullopt;
    }

    // Whether the volume of the file or folder at path keeps user.* attributes at all.
    bool keepsUserAttributes(const char* path);

  private:
    // The word a readable, well-formed user.DOSATTRIB value vouches for.
    std::optional<std::uint32_t> readDosAttributes(const char* path);

    bool hasExtendedAttributes_ = true;  // false once the volume said it keeps none
};

}  // namespace platform::posix
