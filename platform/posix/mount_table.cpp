#include "platform/posix/mount_table.h"

#include <libmount/libmount.h>

#include <memory>

namespace platform::posix {

namespace {

struct TableDeleter {
    void operator()(libmnt_table* table) const { mnt_unref_table(table); }
};

struct IterDeleter {
    void operator()(libmnt_iter* iter) const { mnt_free_iter(iter); }
};

std::string text(const char* value) {
    return value != nullptr ? value : "";
}

bool hasOption(const char* options, const char* name) {
    return options != nullptr && mnt_optstr_get_option(options, name, nullptr, nullptr) == 0;
}

}  // namespace

std::optional<std::vector<MountEntry>> readMountTable(const char* path) {
    std::unique_ptr<libmnt_table, TableDeleter> table(mnt_new_table());
    std::unique_ptr<libmnt_iter, IterDeleter> iter(mnt_new_iter(MNT_ITER_FORWARD));
    if (!table || !iter || mnt_table_parse_file(table.get(), path) != 0) return std::nullopt;

    std::vector<MountEntry> entries;
    libmnt_fs* fs = nullptr;
    while (mnt_table_next_fs(table.get(), iter.get(), &fs) == 0) {
        MountEntry entry;
        entry.id = mnt_fs_get_id(fs);
        entry.parentId = mnt_fs_get_parent_id(fs);
        entry.device = mnt_fs_get_devno(fs);
        entry.root = text(mnt_fs_get_root(fs));
        entry.target = text(mnt_fs_get_target(fs));
        entry.fsType = text(mnt_fs_get_fstype(fs));
        entry.source = text(mnt_fs_get_source(fs));
        entry.fsOptions = text(mnt_fs_get_fs_options(fs));
        entry.readOnly = hasOption(mnt_fs_get_vfs_options(fs), "ro") ||
                         hasOption(mnt_fs_get_fs_options(fs), "ro");
        entries.push_back(std::move(entry));
    }
    return entries;
}

}  // namespace platform::posix
