#include "platform/posix/attribute_store.h"

#include "platform/posix/fat_attribute_store.h"
#include "platform/posix/ntfs_attribute_store.h"
#include "platform/posix/unix_attribute_store.h"

namespace platform::posix {

std::unique_ptr<AttributeStore> makeAttributeStore(AttributeHome home) {
    switch (home) {
        case AttributeHome::ntfs:
            return std::make_unique<NtfsAttributeStore>();
        case AttributeHome::fat:
            return std::make_unique<FatAttributeStore>(kernelFatCalls());
        case AttributeHome::unix:
            break;
    }
    return std::make_unique<UnixAttributeStore>();
}

}  // namespace platform::posix
