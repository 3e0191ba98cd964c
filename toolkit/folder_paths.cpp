#include "toolkit/folder_paths.h"

namespace toolkit {

std::string childPath(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (path.empty() || path.back() != '\\') path += '\\';
    return path += name;
}

std::vector<std::string> pathChain(std::string_view path) {
    std::vector<std::string> chain;
    if (path.size() < 3) return chain;
    std::string current(path.substr(0, 3));
    chain.push_back(current);
    std::size_t start = 3;
    while (start < path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string_view::npos) end = path.size();
        if (end > start) {
            current = childPath(current, path.substr(start, end - start));
            chain.push_back(current);
        }
        start = end + 1;
    }
    return chain;
}

}  // namespace toolkit
