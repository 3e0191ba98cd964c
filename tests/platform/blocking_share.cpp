// A tiny FUSE file system that plays a network share whose server can go away: while a control
// file exists, every request waits (and ignores being interrupted) until it is removed, as sshfs
// waits for a server that no longer answers. Mounted with the subtype "sshfs", so that the kernel
// lists it as fuse.sshfs, a network file system.
//
//   blocking_share <control file> <mount point>
//
// Runs in the foreground until it is unmounted or sent SIGTERM. It holds a folder "Sub" and two
// files, same.txt and notes.txt, whose modes and extended attributes may be changed.
#define FUSE_USE_VERSION 31

#include <fuse3/fuse.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <thread>

namespace {

struct Node {
    bool folder = false;
    mode_t mode = 0644;
    std::string content;
    std::map<std::string, std::string> attributes;
};

std::mutex treeMutex;
std::map<std::string, Node> tree = {
    {"/", {true, 0755, "", {}}},
    {"/Sub", {true, 0755, "", {}}},
    {"/same.txt", {false, 0644, "on the share\n", {}}},
    {"/notes.txt", {false, 0644, "notes\n", {}}},
};
const char* controlFile = nullptr;

// The server is away for as long as the control file exists.
void waitForTheServer() {
    while (access(controlFile, F_OK) == 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

Node* find(const char* path) {
    const auto found = tree.find(path);
    return found == tree.end() ? nullptr : &found->second;
}

void* init(fuse_conn_info*, fuse_config* config) {
    // Every request reaches this program: nothing is answered from the kernel's caches.
    config->entry_timeout = 0;
    config->negative_timeout = 0;
    config->attr_timeout = 0;
    config->direct_io = 1;
    return nullptr;
}

int getattr(const char* path, struct stat* status, fuse_file_info*) {
    waitForTheServer();
    const std::lock_guard lock(treeMutex);
    const Node* node = find(path);
    if (node == nullptr) return -ENOENT;
    std::memset(status, 0, sizeof *status);
    status->st_mode = (node->folder ? S_IFDIR : S_IFREG) | node->mode;
    status->st_nlink = node->folder ? 2 : 1;
    status->st_size = static_cast<off_t>(node->content.size());
    return 0;
}

int readdir(const char* path, void* buffer, fuse_fill_dir_t fill, off_t, fuse_file_info*,
            fuse_readdir_flags) {
    waitForTheServer();
    const std::lock_guard lock(treeMutex);
    if (std::strcmp(path, "/") != 0) return find(path) ? 0 : -ENOENT;
    fill(buffer, ".", nullptr, 0, static_cast<fuse_fill_dir_flags>(0));
    fill(buffer, "..", nullptr, 0, static_cast<fuse_fill_dir_flags>(0));
    for (const auto& [name, node] : tree) {
        if (name != "/")
            fill(buffer, name.c_str() + 1, nullptr, 0, static_cast<fuse_fill_dir_flags>(0));
    }
    return 0;
}

int open(const char* path, fuse_file_info*) {
    waitForTheServer();
    const std::lock_guard lock(treeMutex);
    return find(path) ? 0 : -ENOENT;
}

int read(const char* path, char* buffer, size_t size, off_t offset, fuse_file_info*) {
    waitForTheServer();
    const std::lock_guard lock(treeMutex);
    const Node* node = find(path);
    if (node == nullptr) return -ENOENT;
    if (static_cast<std::size_t>(offset) >= node->content.size()) return 0;
    const std::size_t count =
        std::min(size, node->content.size() - static_cast<std::size_t>(offset));
    std::memcpy(buffer, node->content.data() + offset, count);
    return static_cast<int>(count);
}

int flush(const char*, fuse_file_info*) {
    waitForTheServer();
    return 0;
}

int statfs(const char*, struct statvfs* status) {
    waitForTheServer();
    std::memset(status, 0, sizeof *status);
    status->f_bsize = status->f_frsize = 4096;
    status->f_blocks = 1024;
    status->f_bfree = status->f_bavail = 512;
    status->f_namemax = 255;
    return 0;
}

int chmod(const char* path, mode_t mode, fuse_file_info*) {
    waitForTheServer();
    const std::lock_guard lock(treeMutex);
    Node* node = find(path);
    if (node == nullptr) return -ENOENT;
    node->mode = mode & 07777;
    return 0;
}

int getxattr(const char* path, const char* name, char* value, size_t size) {
    waitForTheServer();
    const std::lock_guard lock(treeMutex);
    const Node* node = find(path);
    if (node == nullptr) return -ENOENT;
    const auto found = node->attributes.find(name);
    if (found == node->attributes.end()) return -ENODATA;
    if (size == 0) return static_cast<int>(found->second.size());
    if (size < found->second.size()) return -ERANGE;
    std::memcpy(value, found->second.data(), found->second.size());
    return static_cast<int>(found->second.size());
}

int setxattr(const char* path, const char* name, const char* value, size_t size, int) {
    waitForTheServer();
    const std::lock_guard lock(treeMutex);
    Node* node = find(path);
    if (node == nullptr) return -ENOENT;
    node->attributes[name] = std::string(value, size);
    return 0;
}

int removexattr(const char* path, const char* name) {
    waitForTheServer();
    const std::lock_guard lock(treeMutex);
    Node* node = find(path);
    if (node == nullptr) return -ENOENT;
    return node->attributes.erase(name) == 1 ? 0 : -ENODATA;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <control file> <mount point>\n", argv[0]);
        return 2;
    }
    controlFile = argv[1];
    fuse_operations operations{};
    operations.getattr = getattr;
    operations.chmod = chmod;
    operations.open = open;
    operations.read = read;
    operations.statfs = statfs;
    operations.flush = flush;
    operations.setxattr = setxattr;
    operations.getxattr = getxattr;
    operations.removexattr = removexattr;
    operations.readdir = readdir;
    operations.init = init;
    char program[] = "blocking_share";
    char foreground[] = "-f";
    char options[] = "-o";
    char optionList[] = "subtype=sshfs,fsname=volscope-share,max_threads=16";
    char* arguments[] = {program, foreground, options, optionList, argv[2], nullptr};
    return fuse_main(5, arguments, &operations, nullptr);
}
