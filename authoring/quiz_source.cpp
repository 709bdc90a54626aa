#include "authoring/quiz_source.h"

#include <utility>

// Parse errors come back as values, not exceptions; the parser is compiled
// here, as the shared library is built for exceptions.
#define TOML_EXCEPTIONS 0
#define TOML_HEADER_ONLY 1
// The same parser on every system: no wide-string extras on Windows.
#define TOML_ENABLE_WINDOWS_COMPAT 0
// The parser states as assumptions what broken input can break ("[~a]" where
// a key must begin): an optimised build (the browser module's) then reaches
// undefined behaviour, a debug one aborts. Its configuration comes first and
// the assumptions go; its own checks then report the line as broken.
#include <toml++/impl/preprocessor.h>
#undef TOML_ASSERT
#define TOML_ASSERT(expr) static_assert(true)
#undef TOML_ASSERT_ASSUME
#define TOML_ASSERT_ASSUME(expr) static_assert(true)
#include <toml++/toml.h>

#include <algorithm>
#include <array>
#include <set>

#include "authoring/cp1252.h"

namespace {

constexpr std::size_t MaxText = 259;
constexpr std::size_t MaxQuestions = 255;
constexpr int AnswerSlots = 96;
constexpr std::size_t MaxCodeLines = 96;

const std::set<std::string, std::less<>> QuizKeys{"name", "creator", "explanation", "first_answer_label",
                                                  "second_answer_label", "pictures_in_overview",
                                                  "answers_per_question", "comment_mode", "background", "codes",
                                                  "question"};
const std::set<std::string, std::less<>> QuestionKeys{"answer", "second_answer", "location", "comment", "picture"};

class Reader {
public:
    std::string error;

    bool failed() const { return !error.empty(); }

    void fail(const std::string& message) {
        if (error.empty()) error = message;
    }

    void onlyKnownKeys(const toml::table& table, const std::set<std::string, std::less<>>& known,
                       const std::string& where) {
        for (auto&& [key, node] : table) {
            if (!known.contains(key.str())) fail(where + "unknown key \"" + std::string(key.str()) + "\"");
        }
    }

    // A text: a string that code page 1252 holds, without "|" or a zero byte,
    // at most 259 characters. Missing means empty.
    std::string text(const toml::table& table, std::string_view key, const std::string& where) {
        const toml::node* node = table.get(key);
        if (failed() || node == nullptr) return {};
        return textValue(*node, where + std::string(key));
    }

    std::string textValue(const toml::node& node, const std::string& label) {
        if (failed()) return {};
        const auto* value = node.as_string();
        if (value == nullptr) {
            fail(label + ": not a text in quotes");
            return {};
        }
        const Cp1252Text converted = utf8ToCp1252(value->get());
        if (!converted.ok()) fail(label + ": " + converted.error);
        else if (converted.bytes.find('|') != std::string::npos) fail(label + ": contains \"|\"");
        else if (converted.bytes.find('\0') != std::string::npos) fail(label + ": contains a zero byte");
        else if (converted.bytes.size() > MaxText) {
            fail(label + ": " + std::to_string(converted.bytes.size()) + " characters, at most 259");
        }
        return failed() ? std::string() : converted.bytes;
    }

    int number(const toml::table& table, std::string_view key, int fallback, int low, int high) {
        const toml::node* node = table.get(key);
        if (failed() || node == nullptr) return fallback;
        return numberValue(*node, std::string(key), fallback, low, high);
    }

    int numberValue(const toml::node& node, const std::string& label, int fallback, int low, int high) {
        const auto* value = node.as_integer();
        if (value == nullptr || value->get() < low || value->get() > high) {
            fail(label + ": a whole number from " + std::to_string(low) + " to " + std::to_string(high));
            return fallback;
        }
        return static_cast<int>(value->get());
    }

    bool flag(const toml::table& table, std::string_view key, bool fallback) {
        const toml::node* node = table.get(key);
        if (failed() || node == nullptr) return fallback;
        const auto* value = node->as_boolean();
        if (value == nullptr) {
            fail(std::string(key) + ": true or false");
            return fallback;
        }
        return value->get();
    }
};

void readBackground(Reader& read, const toml::table& table, QuizSource& quiz) {
    const toml::node* node = table.get("background");
    if (read.failed() || node == nullptr) return;
    const toml::array* rgb = node->as_array();
    if (rgb == nullptr || rgb->size() != 3) {
        read.fail("background: three whole numbers, red, green and blue, from 0 to 255");
        return;
    }
    std::array<int*, 3> parts{&quiz.backgroundRed, &quiz.backgroundGreen, &quiz.backgroundBlue};
    for (std::size_t i = 0; i < 3; ++i) *parts[i] = read.numberValue((*rgb)[i], "background", *parts[i], 0, 255);
}

void readQuestions(Reader& read, const toml::table& table, QuizSource& quiz) {
    const toml::node* node = table.get("question");
    if (read.failed() || node == nullptr) return;
    const toml::array* questions = node->as_array();
    if (questions == nullptr) {
        read.fail("question: each question is a [[question]] table");
        return;
    }
    for (std::size_t i = 0; !read.failed() && i < questions->size(); ++i) {
        const std::string where = "question " + std::to_string(i + 1) + ": ";
        const toml::table* q = (*questions)[i].as_table();
        if (q == nullptr) {
            read.fail(where + "not a [[question]] table");
            break;
        }
        read.onlyKnownKeys(*q, QuestionKeys, where);
        SourceQuestion question;
        question.answer = read.text(*q, "answer", where);
        question.secondAnswer = read.text(*q, "second_answer", where);
        question.location = read.text(*q, "location", where);
        question.comment = read.text(*q, "comment", where);
        if (const toml::node* picture = q->get("picture"); picture != nullptr && !read.failed()) {
            if (const auto* name = picture->as_string()) question.picture = name->get();
            else read.fail(where + "picture: a file name in quotes");
        }
        quiz.questions.push_back(std::move(question));
    }
}

void readCodes(Reader& read, const toml::table& table, QuizSource& quiz) {
    const toml::node* node = table.get("codes");
    if (read.failed() || node == nullptr) return;
    const toml::array* codes = node->as_array();
    if (codes == nullptr || codes->size() > MaxCodeLines) {
        read.fail("codes: a list of at most 96 lines");
        return;
    }
    std::vector<std::string> lines;
    for (std::size_t i = 0; !read.failed() && i < codes->size(); ++i) {
        const std::string label = "code " + std::to_string(i + 1);
        lines.push_back(read.textValue((*codes)[i], label));
        if (lines.back().find_first_of("\r\n") != std::string::npos) read.fail(label + ": contains a line break");
    }
    quiz.codes = std::move(lines);
}

// --- Writing -------------------------------------------------------------

}  // namespace

std::vector<std::string> pictureCandidates(std::string_view written) {
    std::string path(written);
    std::replace(path.begin(), path.end(), '\\', '/');
    while (path.starts_with("./")) path.erase(0, 2);
    std::vector<std::string> candidates;
    if (path.empty()) return candidates;
    candidates.push_back(path);
    const std::size_t slash = path.find_last_of('/');
    if (slash != std::string::npos && slash + 1 < path.size()) candidates.push_back(path.substr(slash + 1));
    return candidates;
}

std::string quotedUtf8(const std::string& utf8) {
    std::string out = "\"";
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte == 0x7F) {
            static constexpr char Hex[] = "0123456789ABCDEF";
            out += "\\u00";
            out += Hex[byte >> 4];
            out += Hex[byte & 15];
        } else {
            out += c;
        }
    }
    return out + "\"";
}

namespace {

std::string quoted(const std::string& cp1252) { return quotedUtf8(cp1252ToUtf8(cp1252)); }


void line(std::string& out, const char* key, const std::string& cp1252) {
    if (!cp1252.empty()) out += std::string(key) + " = " + quoted(cp1252) + "\n";
}

std::string field(const std::string& text) { return text + "|"; }
char byteOf(int value) { return static_cast<char>(static_cast<unsigned char>(value)); }

}  // namespace

namespace {

// The end of the quoted text that begins at `at`, just past its closing
// quotes, or the line break that cuts a one-line text short (the parser says
// what is wrong), or the end; none when a backslash stands before a byte past
// ASCII, with only spaces between: no escape is one, and the parser, looking
// for the spaces a line-ending backslash trims, reaches undefined behaviour.
std::optional<std::size_t> endOfText(std::string_view text, std::size_t at) {
    const char quote = text[at];
    const bool multiline = text.substr(at, 3) == std::string(3, quote);
    const std::size_t quotes = multiline ? 3 : 1;
    const std::string_view closing = text.substr(at, quotes);
    for (at += quotes; at < text.size(); ++at) {
        if (text.substr(at, quotes) == closing) return at + quotes;
        if (text[at] == '\n' && !multiline) return at;
        if (quote != '"' || text[at] != '\\') continue;
        std::size_t next = at + 1;
        while (next < text.size() && (text[next] == ' ' || text[next] == '\t')) ++next;
        if (next < text.size() && static_cast<unsigned char>(text[next]) >= 0x80) return std::nullopt;
        // An escaped character never closes a basic text ("\"", "\\").
        if (at + 1 < text.size() && text[at + 1] != '\n') ++at;
    }
    return text.size();
}

// The line of the first byte past ASCII, or of a control character, outside
// quoted texts and comments, if any. TOML allows none there, and the parser
// this project builds with reaches undefined behaviour on some (Latin letters
// among them) or a failed assertion (a NUL in a table's name) instead of
// refusing them. A quote counts as a text's only where a text may begin, so that no
// broken line hides a letter from this check that the parser would read.
std::optional<std::size_t> nonAsciiOutsideTexts(std::string_view text) {
    std::size_t line = 1;
    // Whether a quoted text may begin here: at a line's start (a quoted key,
    // the next item of an array), after "=" or ",", and after a "[" or "{"
    // that stands where a text may begin itself. Not after a value ("0.",
    // "2[": the parser reads no text there).
    bool textMayBegin = true;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char c = text[at];
        if (c == '\n') {
            ++line;
            textMayBegin = true;
        } else if (c == ' ' || c == '\t' || c == '\r') {
            continue;
        } else if (c == '#') {
            while (at + 1 < text.size() && text[at + 1] != '\n') ++at;
        } else if ((c == '"' || c == '\'') && textMayBegin) {
            const std::optional<std::size_t> end = endOfText(text, at);
            if (!end) return line;
            line += static_cast<std::size_t>(std::count(text.begin() + static_cast<std::ptrdiff_t>(at),
                                                        text.begin() + static_cast<std::ptrdiff_t>(*end), '\n'));
            at = *end - 1;
            textMayBegin = false;
        } else if (static_cast<unsigned char>(c) >= 0x80 || static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            return line;
        } else {
            textMayBegin = c == '=' || c == ',' || ((c == '[' || c == '{') && textMayBegin);
        }
    }
    return std::nullopt;
}

}  // namespace

ParsedSource parseQuizSource(std::string_view tomlText) {
    ParsedSource parsed;
    if (const auto line = nonAsciiOutsideTexts(tomlText)) {
        parsed.error = "line " + std::to_string(*line) +
                       ": a character that is not ASCII, or a control character, outside quotes (keys are ASCII, "
                       "texts go between quotes)";
        return parsed;
    }
    toml::parse_result result = toml::parse(tomlText);
    if (!result) {
        const toml::parse_error& error = result.error();
        parsed.error = "line " + std::to_string(error.source().begin.line) + ": " + std::string(error.description());
        return parsed;
    }
    const toml::table& table = result.table();
    Reader read;
    read.onlyKnownKeys(table, QuizKeys, "");
    QuizSource& quiz = parsed.source;
    quiz.quizName = read.text(table, "name", "");
    quiz.creatorName = read.text(table, "creator", "");
    quiz.explanation = read.text(table, "explanation", "");
    quiz.firstAnswerLabel = read.text(table, "first_answer_label", "");
    quiz.secondAnswerLabel = read.text(table, "second_answer_label", "");
    quiz.showPictures = read.flag(table, "pictures_in_overview", true) ? 1 : 0;
    quiz.answersPerQuestion = read.number(table, "answers_per_question", 1, 1, 2);
    quiz.commentMode = read.number(table, "comment_mode", 0, 0, 4);
    readBackground(read, table, quiz);
    readQuestions(read, table, quiz);
    if (!read.failed() && quiz.questions.size() > MaxQuestions) read.fail("more than 255 questions");
    if (!read.failed() && static_cast<int>(quiz.questions.size()) * quiz.answersPerQuestion > AnswerSlots) {
        read.fail("more than 96 answer slots (questions x answers_per_question)");
    }
    readCodes(read, table, quiz);
    parsed.error = read.error;
    return parsed;
}

std::vector<std::string> sourceWarnings(const QuizSource& quiz) {
    std::vector<std::string> warnings;
    const std::size_t questions = quiz.questions.size();
    const std::size_t codes = quiz.codes ? quiz.codes->size() : 0;
    if (codes < questions) {
        warnings.push_back(std::to_string(questions) + " questions but " + std::to_string(codes) +
                           " code lines: a player who solves more sees an empty code");
    }
    for (std::size_t i = 0; i < questions; ++i) {
        const std::string where = "question " + std::to_string(i + 1) + ": ";
        if (quiz.questions[i].answer.empty()) warnings.push_back(where + "no answer: nothing typed can be right");
        if (quiz.answersPerQuestion == 2 && quiz.questions[i].secondAnswer.empty()) {
            warnings.push_back(where + "no second answer: its second field can never be right");
        }
    }
    return warnings;
}

std::string formatQuizSource(const QuizSource& quiz) {
    std::string out;
    line(out, "name", quiz.quizName);
    line(out, "creator", quiz.creatorName);
    line(out, "explanation", quiz.explanation);
    line(out, "first_answer_label", quiz.firstAnswerLabel);
    line(out, "second_answer_label", quiz.secondAnswerLabel);
    out += std::string("pictures_in_overview = ") + (quiz.showPictures == 1 ? "true" : "false") + "\n";
    out += "answers_per_question = " + std::to_string(quiz.answersPerQuestion) + "\n";
    out += "comment_mode = " + std::to_string(quiz.commentMode) + "\n";
    out += "background = [" + std::to_string(quiz.backgroundRed) + ", " + std::to_string(quiz.backgroundGreen) + ", " +
           std::to_string(quiz.backgroundBlue) + "]\n";
    if (quiz.codes) {
        out += "codes = [";
        for (std::size_t i = 0; i < quiz.codes->size(); ++i) out += (i == 0 ? "\n  " : ",\n  ") + quoted((*quiz.codes)[i]);
        out += quiz.codes->empty() ? "]\n" : ",\n]\n";
    }
    for (const SourceQuestion& q : quiz.questions) {
        out += "\n[[question]]\n";
        line(out, "answer", q.answer);
        line(out, "second_answer", q.secondAnswer);
        line(out, "location", q.location);
        line(out, "comment", q.comment);
        if (!q.picture.empty()) out += "picture = " + quotedUtf8(q.picture) + "\n";
    }
    return out;
}

std::string definitionText(const QuizSource& quiz) {
    std::string text;
    text += byteOf(0);
    text += byteOf(quiz.showPictures + 1);
    text += byteOf(static_cast<int>(quiz.questions.size()));
    text += byteOf(quiz.answersPerQuestion);
    text += field(quiz.quizName) + field(quiz.creatorName) + field(quiz.explanation) +
            field(quiz.firstAnswerLabel) + field(quiz.secondAnswerLabel);
    for (const SourceQuestion& q : quiz.questions) {
        text += field(q.answer);
        if (quiz.answersPerQuestion == 2) text += field(q.secondAnswer);
        text += field(q.location);
    }
    text += byteOf(quiz.commentMode);
    // The player reads comments under these modes only: under any other the
    // colour follows the mode at once.
    if (quiz.commentMode >= 2 && quiz.commentMode <= 4) {
        for (const SourceQuestion& q : quiz.questions) {
            text += field(q.comment);
            if (quiz.commentMode == 3) text += field("");
        }
    }
    text += byteOf(quiz.backgroundRed);
    text += byteOf(quiz.backgroundGreen);
    text += byteOf(quiz.backgroundBlue);
    return text;
}

std::string codesText(const QuizSource& quiz) {
    std::string text;
    if (quiz.codes) {
        for (const std::string& codeLine : *quiz.codes) text += codeLine + "\r\n";
    }
    // An empty stream cannot be encoded; one empty line reads as no code lines.
    return text.empty() ? "\r\n" : text;
}

namespace {

// English phrases of the parse errors and their French, longest first where
// one holds another.
constexpr std::pair<std::string_view, std::string_view> SourceErrorWords[] = {
    {"each question is a [[question]] table", "chaque question est une table [[question]]"},
    {"not a [[question]] table", "pas une table [[question]]"},
    {"three whole numbers, red, green and blue, from 0 to 255",
     "trois nombres entiers, rouge, vert et bleu, de 0 \xC3\xA0 255"},
    {"a file name in quotes", "un nom de fichier entre guillemets"},
    {"a list of at most 96 lines", "une liste de 96 lignes au plus"},
    {"not a text in quotes", "pas un texte entre guillemets"},
    {"contains a zero byte", "contient un caract\xC3\xA8re nul"},
    {"contains a line break", "contient un saut de ligne"},
    {"contains \"|\"", "contient \xC2\xAB | \xC2\xBB"},
    {"characters, at most 259", "caract\xC3\xA8res, 259 au plus"},
    {"a whole number from", "un nombre entier de"},
    {"true or false", "true ou false"},
    {"unknown key", "cl\xC3\xA9 inconnue"},
    {"more than 96 answer slots (questions x answers_per_question)",
     "plus de 96 r\xC3\xA9ponses (questions \xC3\x97 answers_per_question)"},
    {"more than 255 questions", "plus de 255 questions"},
    {"cannot be written in code page 1252", "ne peut pas figurer dans un quiz"},
    {"malformed UTF-8 at byte", "UTF-8 mal form\xC3\xA9 \xC3\xA0 l'octet"},
    {"character ", "caract\xC3\xA8re "},
    {" to ", " \xC3\xA0 "},
    {": ", " : "},
};

void replaceAll(std::string& text, std::string_view from, std::string_view to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
}

}  // namespace

std::string frenchSourceError(std::string_view error) {
    std::string french(error);
    // A TOML syntax error: its line, then the parser's own words.
    if (french.starts_with("line ")) {
        const std::size_t colon = french.find(": ");
        if (colon != std::string::npos) {
            return "ligne " + french.substr(5, colon - 5) + " : la source n'est pas du TOML valide (" +
                   french.substr(colon + 2) + ")";
        }
    }
    for (const auto& [english, translated] : SourceErrorWords) replaceAll(french, english, translated);
    return french;
}
