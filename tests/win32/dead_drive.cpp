#include "tests/win32/dead_drive.h"

#include <windows.h>

#include <cstdlib>
#include <string_view>

namespace dead_drive {

bool DeadDrive::block() const {
    const HANDLE file = ::CreateFileA(control.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    ::CloseHandle(file);
    return true;
}

void DeadDrive::unblock() const {
    ::DeleteFileA(control.c_str());
}

std::optional<DeadDrive> prepared() {
    const char* text = std::getenv("VOLSCOPE_DEAD_DRIVE");
    if (text == nullptr) return std::nullopt;
    const std::string_view pairs(text);
    DeadDrive drive;
    for (std::size_t start = 0; start <= pairs.size();) {
        std::size_t end = pairs.find(';', start);
        if (end == std::string_view::npos) end = pairs.size();
        const std::string_view pair = pairs.substr(start, end - start);
        if (pair.starts_with("letter=") && pair.size() == 8) drive.letter = pair[7];
        if (pair.starts_with("control=")) drive.control = pair.substr(8);
        start = end + 1;
    }
    if (drive.letter == 0 || drive.control.empty()) return std::nullopt;
    return drive;
}

}  // namespace dead_drive
