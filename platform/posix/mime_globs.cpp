#include "platform/posix/mime_globs.h"

#include <fnmatch.h>

#include <charconv>

namespace platform::posix {

namespace {

// What makes a pattern more than literal text to fnmatch.
constexpr const char* globCharacters = "*?[\\";

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
    for (std::size_t i = 0; i < globs.globs_.size(); ++i) {
        const std::string& pattern = globs.globs_[i].pattern;
        // Case-sensitive globs are keyed as they are, the others in lower case as stored, so
        // that each is found by the form of the name it matches against.
        const std::string key = (globs.globs_[i].caseSensitive ? "1" : "0") + pattern;
        if (pattern.find_first_of(globCharacters) == std::string::npos)
            globs.names_[key].push_back(i);
        else if (pattern[0] == '*' && pattern.find_first_of(globCharacters, 1) == std::string::npos)
            globs.endings_[key.substr(0, 1) + pattern.substr(1)].push_back(i);
        else
            globs.others_.push_back(i);
    }
    return globs;
}

void MimeGlobs::consider(const std::vector<std::size_t>& indexes, const MimeGlob*& best) const {
    for (const std::size_t index : indexes) {
        const MimeGlob& glob = globs_[index];
        if (best == nullptr || glob.weight > best->weight ||
            (glob.weight == best->weight &&
             (glob.pattern.size() > best->pattern.size() ||
              (glob.pattern.size() == best->pattern.size() && &glob < best))))
            best = &glob;
    }
}

std::optional<std::string> MimeGlobs::typeOf(std::string_view fileName) const {
    // fnmatch needs terminated strings; a name with a NUL cannot be a file's.
    if (fileName.empty() || fileName.find('\0') != std::string_view::npos) return std::nullopt;
    const std::string forms[] = {"0" + lowerCase(fileName), "1" + std::string(fileName)};
    const MimeGlob* best = nullptr;
    std::string key;
    for (const std::string& form : forms) {
        if (const auto found = names_.find(form); found != names_.end())
            consider(found->second, best);
        // Every ending of the name, the empty one too (the pattern "*").
        for (std::size_t start = 1; start <= form.size(); ++start) {
            key.assign(1, form[0]).append(form, start);
            if (const auto found = endings_.find(key); found != endings_.end())
                consider(found->second, best);
        }
    }
    for (const std::size_t index : others_) {
        const MimeGlob& glob = globs_[index];
        const std::string& candidate = forms[glob.caseSensitive ? 1 : 0];
        if (fnmatch(glob.pattern.c_str(), candidate.c_str() + 1, 0) == 0) consider({index}, best);
    }
    if (best == nullptr) return std::nullopt;
    return best->type;
}

}  // namespace platform::posix
