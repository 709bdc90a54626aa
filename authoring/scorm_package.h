#pragma once
// A quiz for a school's learning platform: a SCORM 1.2 package, the zip that
// a platform such as Moodle takes as an activity. It holds the manifest that
// names one page, and that page: the quiz's web page, which finds the
// platform's API and reports the score itself.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "authoring/web_page.h"

inline constexpr std::string_view ScormManifestName = "imsmanifest.xml";
inline constexpr std::string_view ScormPageName = "index.html";

// The manifest: one organization with one item, titled `title` (UTF-8), whose
// one resource is the page as a SCO; `identifier` names the package. A pass
// mark (0 to 100) becomes the item's mastery score.
std::string scormManifest(std::string_view title, std::string_view identifier,
                          std::optional<int> passMark = std::nullopt);

struct ScormPackage {
    std::vector<std::uint8_t> zip;
    std::string error;  // one line; empty when the package was made
    [[nodiscard]] bool ok() const { return error.empty(); }
};

// The same quiz, version and pass mark give the same bytes.
ScormPackage scormPackage(const WebQuiz& quiz, const WebPageAssets& assets, std::string_view version,
                          std::optional<int> passMark = std::nullopt);

// A pass mark as a teacher types it: blank for none, or a whole percentage
// from 0 to 100, a "%" after it allowed ("80", " 80 % ").
struct TypedPassMark {
    bool valid = false;
    std::optional<int> mark;
};
TypedPassMark typedPassMark(std::string_view text);
