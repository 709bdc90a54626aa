#include "authoring/scorm_package.h"

#include <span>

#include "authoring/zip_archive.h"

namespace {

// Text as XML 1.0 allows it: markup escaped, the C0 controls it forbids made spaces.
std::string xmlText(std::string_view utf8) {
    std::string out;
    for (const char c : utf8) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&apos;"; break;
            default: out += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
        }
    }
    return out;
}

std::span<const std::uint8_t> bytesOf(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

}  // namespace

std::string scormManifest(std::string_view title, std::string_view identifier, std::optional<int> passMark) {
    const std::string name = xmlText(title.empty() ? std::string_view("Quiz Zorbel") : title);
    std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<manifest identifier=\"" + xmlText(identifier) + "\" version=\"1.0\"\n"
        "          xmlns=\"http://www.imsproject.org/xsd/imscp_rootv1p1p2\"\n"
        "          xmlns:adlcp=\"http://www.adlnet.org/xsd/adlcp_rootv1p2\">\n"
        "  <metadata>\n"
        "    <schema>ADL SCORM</schema>\n"
        "    <schemaversion>1.2</schemaversion>\n"
        "  </metadata>\n"
        "  <organizations default=\"quiz\">\n"
        "    <organization identifier=\"quiz\">\n"
        "      <title>" + name + "</title>\n"
        "      <item identifier=\"quiz_item\" identifierref=\"quiz_page\">\n"
        "        <title>" + name + "</title>\n" +
        (passMark ? "        <adlcp:masteryscore>" + std::to_string(*passMark) + "</adlcp:masteryscore>\n" : "") +
        "      </item>\n"
        "    </organization>\n"
        "  </organizations>\n"
        "  <resources>\n"
        "    <resource identifier=\"quiz_page\" type=\"webcontent\" adlcp:scormtype=\"sco\" href=\"";
    xml.append(ScormPageName).append("\">\n      <file href=\"").append(ScormPageName).append("\"/>\n");
    xml += "    </resource>\n"
           "  </resources>\n"
           "</manifest>\n";
    return xml;
}

ScormPackage scormPackage(const WebQuiz& quiz, const WebPageAssets& assets, std::string_view version,
                          std::optional<int> passMark) {
    const WebPage page = webPage(quiz, assets, version, passMark);
    if (!page.ok()) return {{}, page.error};
    const std::string manifest = scormManifest(webQuizName(quiz), "zorbel-" + webQuizKey(quiz), passMark);
    const ZipEntry entries[] = {{ScormManifestName, bytesOf(manifest)}, {ScormPageName, bytesOf(page.html)}};
    ZipArchive archive = storedZip(entries);
    if (!archive.ok()) return {{}, archive.error};
    return {std::move(archive.bytes), {}};
}

TypedPassMark typedPassMark(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    if (text.empty()) return {true, std::nullopt};
    if (text.back() == '%') text.remove_suffix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    if (text.empty() || text.size() > 3) return {};
    int mark = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return {};
        mark = mark * 10 + (c - '0');
    }
    if (!validPassMark(mark)) return {};
    return {true, mark};
}
