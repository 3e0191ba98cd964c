#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <utility>

namespace platform {

// Where the numbers of a backend's handles come from: 1, 2, 3, ..., never one twice while it
// lives. The tables of one backend share it, so that a listing's number is never a file's.
class HandleNumbers {
  public:
    std::uintptr_t next() { return next_++; }

  private:
    std::uintptr_t next_ = 1;
};

// The open things of one kind (listings, files) behind the opaque numbers the interface hands out
// (FindHandle, FileHandle: enums over std::uintptr_t). The table owns what it holds: closing a
// handle, or destroying the table, destroys the thing, whose destructor releases what the system
// holds for it. numbers must outlive the table.
template <typename Handle, typename Open>
class HandleTable {
  public:
    explicit HandleTable(HandleNumbers& numbers) : numbers_(numbers) {}
    HandleTable(const HandleTable&) = delete;
    HandleTable& operator=(const HandleTable&) = delete;

    // Keeps open behind a new handle and returns that handle.
    Handle add(Open open) {
        const std::uintptr_t number = numbers_.next();
        open_.emplace(number, std::move(open));
        return static_cast<Handle>(number);
    }

    // What handle stands for; null when it is not open.
    Open* find(Handle handle) {
        const auto found = open_.find(static_cast<std::uintptr_t>(handle));
        return found == open_.end() ? nullptr : &found->second;
    }

    // Destroys what handle stands for. Returns false, changing nothing, when it is not open.
    bool close(Handle handle) { return open_.erase(static_cast<std::uintptr_t>(handle)) == 1; }

    std::size_t size() const { return open_.size(); }

    // The open things, as (number, thing) pairs in the order they were opened.
    auto begin() { return open_.begin(); }
    auto end() { return open_.end(); }
    auto begin() const { return open_.begin(); }
    auto end() const { return open_.end(); }

  private:
    HandleNumbers& numbers_;
    std::map<std::uintptr_t, Open> open_;
};

}  // namespace platform
