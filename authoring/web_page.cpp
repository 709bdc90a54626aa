#include "authoring/web_page.h"

#include <array>
#include <cstdio>

#include "authoring/cp1252.h"
#include "authoring/picture_resources.h"
#include "content/quiz_loader.h"
#include "content/quiz_record.h"
#include "picture_preparation/picture_size.h"
#include "pictures/fitted_size.h"
#include "resources/contract_ids.h"
#include "resources/home_page.h"

namespace {

std::string base64(std::span<const std::uint8_t> bytes) {
    constexpr char Digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        const std::uint32_t group = std::uint32_t{bytes[i]} << 16 | std::uint32_t{bytes[i + 1]} << 8 | bytes[i + 2];
        for (int shift = 18; shift >= 0; shift -= 6) out += Digits[(group >> shift) & 63];
    }
    if (const std::size_t rest = bytes.size() - i; rest > 0) {
        const std::uint32_t group = std::uint32_t{bytes[i]} << 16 | (rest == 2 ? std::uint32_t{bytes[i + 1]} << 8 : 0u);
        out += Digits[(group >> 18) & 63];
        out += Digits[(group >> 12) & 63];
        out += rest == 2 ? Digits[(group >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

// The picture's own format decides how the browser reads it.
const char* imageType(const Resource& picture) {
    const std::vector<std::uint8_t>& b = picture.data;
    if (b.size() >= 3 && b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF) return "jpeg";
    if (b.size() >= 8 && b[0] == 0x89 && b[1] == 'P' && b[2] == 'N' && b[3] == 'G') return "png";
    if (b.size() >= 6 && b[0] == 'G' && b[1] == 'I' && b[2] == 'F') return "gif";
    if (b.size() >= 2 && b[0] == 'B' && b[1] == 'M') return "bmp";
    return pictureKindOf(picture) == PictureKind::Jpeg ? "jpeg" : "png";
}

std::string htmlEscaped(std::string_view text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&#39;"; break;
            default: out += c;
        }
    }
    return out;
}

constexpr Size OverviewFrame{210, 210};

// The size the overview shows the picture at, so that the page reserves its
// room before the picture is decoded; none when its header does not say.
std::string fittedSizeJson(const Resource& picture) {
    const auto declared = declaredSize(pictureFormat(picture.data), picture.data);
    if (!declared || declared->width == 0 || declared->height == 0 || declared->width > 65535 || declared->height > 65535) {
        return "";
    }
    const Size fitted = fittedSize({static_cast<int>(declared->width), static_cast<int>(declared->height)}, OverviewFrame);
    return ",\"fitted\":[" + std::to_string(fitted.width) + "," + std::to_string(fitted.height) + "]";
}

// Base64 and numbers only: nothing in it can end the script element.
std::string quizData(const WebQuiz& quiz, std::optional<int> passMark) {
    std::string json = "{\"key\":\"";
    json += webQuizKey(quiz);
    json += "\",\"definition\":\"";
    json += base64(quiz.definition);
    json += "\",\"codes\":";
    if (quiz.codes) {
        json += '"';
        json += base64(*quiz.codes);
        json += '"';
    } else {
        json += "null";
    }
    json += ",\"pictures\":[";
    for (std::size_t i = 0; i < quiz.pictures.size(); ++i) {
        if (i > 0) json += ',';
        const std::optional<Resource>& picture = quiz.pictures[i];
        if (!picture) {
            json += "null";
            continue;
        }
        json += "{\"type\":\"";
        json += imageType(*picture);
        json += "\",\"data\":\"";
        json += base64(picture->data);
        json += '"';
        json += fittedSizeJson(*picture);
        json += '}';
    }
    json += "],\"passMark\":";
    json += passMark ? std::to_string(*passMark) : "null";
    json += '}';
    return json;
}

bool contains(std::string_view text, std::string_view needle) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    for (std::size_t at = 0; at + needle.size() <= text.size(); ++at) {
        std::size_t k = 0;
        while (k < needle.size() && lower(text[at + k]) == needle[k]) ++k;
        if (k == needle.size()) return true;
    }
    return false;
}

struct Part {
    std::string_view name;
    std::string_view text;
    std::string_view mustNotHold;  // what would end the element it goes into
};

// One pass over the template, so that nothing inserted is read as a placeholder.
WebPage fillTemplate(std::string_view page, std::span<const Part> parts) {
    WebPage result;
    for (const Part& part : parts) {
        if (!part.mustNotHold.empty() && contains(part.text, part.mustNotHold)) {
            result.error = "the page's ";
            result.error.append(part.name).append(" holds ").append(part.mustNotHold);
            return result;
        }
    }
    std::size_t at = 0;
    while (at < page.size()) {
        const std::size_t open = page.find("{{", at);
        if (open == std::string_view::npos) break;
        const std::size_t close = page.find("}}", open);
        if (close == std::string_view::npos) break;
        result.html.append(page.substr(at, open - at));
        const std::string_view name = page.substr(open + 2, close - open - 2);
        const Part* found = nullptr;
        for (const Part& part : parts) {
            if (part.name == name) found = &part;
        }
        if (found == nullptr) {
            result.error = "the page's template names an unknown part {{";
            result.error.append(name).append("}}");
            return result;
        }
        result.html.append(found->text);
        at = close + 2;
    }
    result.html.append(page.substr(at));
    return result;
}

}  // namespace

std::string webQuizName(const WebQuiz& quiz) {
    QuizRecord record;
    initialiseRecord(record);
    loadQuizContent(record, quiz.definition, std::nullopt);
    return cp1252ToUtf8(record.quizName.view());
}

WebQuiz webQuizOf(const QuizExecutable& quiz) {
    return {quiz.encodedDefinition, quiz.encodedCodes, quiz.pictures};
}

WebQuiz webQuizOf(const QuizResources& quiz) {
    WebQuiz web;
    const ResourceKey patch = ResourceKey::fromName(QuizTextResourceType);
    std::size_t questions = 0;
    for (const Resource& resource : quiz.resources) {
        if (resource.type == patch && resource.name == ResourceKey::fromId(DefinitionResourceId)) web.definition = resource.data;
        if (resource.type == patch && resource.name == ResourceKey::fromId(CodesResourceId)) web.codes = resource.data;
        if (resource.type != patch && !resource.name.isName && resource.name.id >= FirstPictureResourceId) {
            questions = std::max<std::size_t>(questions, resource.name.id - FirstPictureResourceId + 1u);
        }
    }
    for (std::size_t i = 0; i < questions; ++i) {
        const Resource* picture = findPicture(quiz.resources, i);
        web.pictures.push_back(picture != nullptr ? std::optional<Resource>(*picture) : std::nullopt);
    }
    return web;
}

std::string webQuizKey(const WebQuiz& quiz) {
    // FNV-1a over each part's length and bytes.
    std::uint64_t hash = 14695981039346656037ull;
    const auto add = [&hash](std::span<const std::uint8_t> bytes) {
        for (std::size_t n = bytes.size(), k = 0; k < 8; ++k, n >>= 8) hash = (hash ^ (n & 0xFF)) * 1099511628211ull;
        for (const std::uint8_t b : bytes) hash = (hash ^ b) * 1099511628211ull;
    };
    add(quiz.definition);
    add(quiz.codes ? std::span<const std::uint8_t>(*quiz.codes) : std::span<const std::uint8_t>());
    for (const std::optional<Resource>& picture : quiz.pictures) {
        add(picture ? std::span<const std::uint8_t>(picture->data) : std::span<const std::uint8_t>());
    }
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return hex;
}

bool validPassMark(int passMark) { return passMark >= 0 && passMark <= 100; }

WebPage webPage(const WebQuiz& quiz, const WebPageAssets& assets, std::string_view version, std::optional<int> passMark) {
    if (assets.module.empty()) return {{}, "this program was built without the web page's grading module (em++ was missing)"};
    if (passMark && !validPassMark(*passMark)) return {{}, "the pass mark must be a whole percentage from 0 to 100"};
    const std::string title = htmlEscaped(webQuizName(quiz));
    const std::string data = quizData(quiz, passMark);
    // A link to an address that leads nowhere would only mislead.
    const std::string home = homePageIsReal() ? "<a class=\"home\" data-control=\"24\" href=\"" +
                                                    htmlEscaped(HomePageAddress) + "\" target=\"_blank\" rel=\"noopener noreferrer\">" +
                                                    htmlEscaped(HomePageText) + "</a>"
                                              : "";
    const Part parts[] = {
        {"VERSION", version, {}},
        {"TITLE", title, {}},
        {"HOME", home, {}},
        {"STYLE", assets.style, "</style"},
        {"DATA", data, "</script"},
        {"MODULE", assets.module, "</script"},
        {"API", assets.api, "</script"},
        {"PLATFORM", assets.platform, "</script"},
        {"SCRIPT", assets.script, "</script"},
    };
    return fillTemplate(assets.page, parts);
}
