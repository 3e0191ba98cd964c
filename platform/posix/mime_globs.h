#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace platform::posix {

// One line of shared-mime-info's globs2 file: "weight:type:pattern[:flags]".
struct MimeGlob {
    int weight = 50;  // 0 to 100
    std::string type;
    std::string pattern;  // a literal name ("makefile") or a shell glob ("*.tar.gz", "*.[1-9]")
    bool caseSensitive = false;  // the "cs" flag; other patterns are stored in lower case

    friend bool operator==(const MimeGlob&, const MimeGlob&) = default;
};

// The globs of globs2 text, in its order. Comments ("#"), blank lines, lines without weight, type
// and pattern, weights outside 0 to 100 and the "__NOGLOBS__" marker are skipped; unknown flags
// and fields after the flags are ignored.
std::vector<MimeGlob> readGlobs2(std::string_view globs2);

// The MIME types of file names by the glob patterns of shared-mime-info (/usr/share/mime/globs2),
// as freedesktop.org's shared MIME-info rules match them: by the name alone, never the
// contents. Literal names and "*" followed by literal text (nearly every pattern: "*.txt") are
// looked up by the name and its endings, as shared-mime-info itself does; only the few other
// patterns are matched one by one.
class MimeGlobs {
  public:
    // Reads globs2 text as readGlobs2 does.
    static MimeGlobs parse(std::string_view globs2);

    // The MIME type of a file name (the name alone, without its folder): of the matching
    // patterns the heaviest, then the longest, then the first listed. A pattern matches the
    // name as it is when case-sensitive, else the name with A-Z in lower case. Returns nullopt
    // when no pattern matches.
    std::optional<std::string> typeOf(std::string_view fileName) const;

  private:
    // Globs by the text they match, in the order listed: a literal name, or the ending that
    // follows a leading "*".
    using Index = std::unordered_map<std::string, std::vector<std::size_t>>;
    // Of the globs listed at indexes, the one that beats *best (the heaviest, then the longest,
    // then the first listed), if any, into *best.
    void consider(const std::vector<std::size_t>& indexes, const MimeGlob*& best) const;

    std::vector<MimeGlob> globs_;
    Index names_;                      // literal names
    Index endings_;                    // "*" and a literal ending
    std::vector<std::size_t> others_;  // the rest, for fnmatch
};

}  // namespace platform::posix
