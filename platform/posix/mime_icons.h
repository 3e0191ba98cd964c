#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace platform::posix {

// The icon names of MIME types, as freedesktop.org's shared MIME-info rules give them:
// the name that shared-mime-info's "icons" file sets for the type, then the type with "/" made
// "-" ("text/plain": "text-plain"), then the generic icon that its "generic-icons" file sets, or
// else the media's "-x-generic" name ("text-x-generic").
class MimeIcons {
  public:
    // Reads the "icons" and "generic-icons" files: "type:icon-name" lines. Lines without a colon,
    // or with an empty type or name, are skipped; of repeated types the first line counts.
    static MimeIcons parse(std::string_view icons, std::string_view genericIcons);

    // The names for a MIME type, most specific first, without repeats. A type without "/" gives
    // only its generic names.
    std::vector<std::string> namesOf(std::string_view mimeType) const;

    // The names for a file whose type is not known: "application-octet-stream", then "unknown".
    static std::vector<std::string> unknownTypeNames();

  private:
    std::map<std::string, std::string, std::less<>> icons_;
    std::map<std::string, std::string, std::less<>> genericIcons_;
};

}  // namespace platform::posix
