#include "platform/posix/mime_globs.h"

#include <fnmatch.h>

#include <charconv>

namespace platform::posix {

namespace {

std::string_view nextField(std::string_view& line) {
    const std::size_t colon = line.find(':');
    const std::string_view field = line.substr(0, colon);
    line = colon == std::string_view::npos ? std::string_view{} : line.substr(colon + 1);
    return field;
}

bool hasFlag(std::string_view flags, std::string_view flag) {
    while (!flags.empty()) {
        const std::size_t comma = flags.find(',');
        if (flags.substr(0, comma) == flag) return true;
        if (comma == std::string_view::npos) break;
        flags.remove_prefix(comma + 1);
    }
    return false;
}

std::optional<MimeGlob> globOf(std::string_view line) {
    if (line.empty() || line.front() == '#') return std::nullopt;
    const std::string_view weight = nextField(line);
    const std::string_view type = nextField(line);
    const std::string_view pattern = nextField(line);
    const std::string_view flags = nextField(line);
    MimeGlob glob;
    const auto [end, error] =
        std::from_chars(weight.data(), weight.data() + weight.size(), glob.weight);
    if (error != std::errc{} || end != weight.data() + weight.size() || glob.weight < 0 ||
        glob.weight > 100 || type.empty() || pattern.empty() || pattern == "__NOGLOBS__")
        return std::nullopt;
    glob.type = type;
    glob.pattern = pattern;
    glob.caseSensitive = hasFlag(flags, "cs");
    return glob;
}

std::string lowerCase(std::string_view name) {
    std::string lower(name);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

}  // namespace

std::vector<MimeGlob> readGlobs2(std::string_view globs2) {
    std::vector<MimeGlob> globs;
    while (!globs2.empty()) {
        const std::size_t newline = globs2.find('\n');
        std::string_view line = globs2.substr(0, newline);
        globs2 =
            newline == std::string_view::npos ? std::string_view{} : globs2.substr(newline + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (std::optional<MimeGlob> glob = globOf(line)) globs.push_back(std::move(*glob));
    }
    return globs;
}

MimeGlobs MimeGlobs::parse(std::string_view globs2) {
    MimeGlobs globs;
    globs.globs_ = readGlobs2(globs2);
    return globs;
}

std::optional<std::string> MimeGlobs::typeOf(std::string_view fileName) const {
    // fnmatch needs terminated strings; a name with a NUL cannot be a file's.
    if (fileName.empty() || fileName.find('\0') != std::string_view::npos) return std::nullopt;
    const std::string name(fileName);
    const std::string lower = lowerCase(fileName);
    const MimeGlob* best = nullptr;
    for (const MimeGlob& glob : globs_) {
        if (best != nullptr &&
            (glob.weight < best->weight ||
             (glob.weight == best->weight && glob.pattern.size() <= best->pattern.size())))
            continue;
        const std::string& candidate = glob.caseSensitive ? name : lower;
        if (fnmatch(glob.pattern.c_str(), candidate.c_str(), 0) == 0) best = &glob;
    }
    if (best == nullptr) return std::nullopt;
    return best->type;
}

}  // namespace platform::posix
