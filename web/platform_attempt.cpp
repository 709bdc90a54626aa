#include "web/platform_attempt.h"

#include <algorithm>
#include <array>
#include <vector>

#include "content/quiz_record.h"
#include "session/progress_format.h"
#include "session/quiz_session.h"

namespace {

constexpr std::string_view Mark = "Z1";
constexpr char Separator = '|';
constexpr char Escape = '%';

bool writtenAsItIs(unsigned char byte) { return byte >= 0x20 && byte <= 0x7E && byte != Separator && byte != Escape; }

std::string escaped(std::string_view answer) {
    constexpr char Hex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : answer) {
        const auto byte = static_cast<unsigned char>(c);
        if (writtenAsItIs(byte)) {
            out += c;
        } else {
            out += Escape;
            out += Hex[byte >> 4];
            out += Hex[byte & 15];
        }
    }
    return out;
}

// The text of the pieces up to the last one not empty.
std::string joined(const std::vector<std::string>& pieces) {
    std::size_t last = pieces.size();
    while (last > 0 && pieces[last - 1].empty()) --last;
    std::string text(Mark);
    for (std::size_t i = 0; i < last; ++i) text.append(1, Separator).append(pieces[i]);
    return text;
}

// The longest piece not yet empty among those whose `solved` is `which`; -1 when none.
int longestPiece(const std::vector<std::string>& pieces, std::span<const bool> solved, bool which) {
    int found = -1;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const bool isSolved = i < solved.size() && solved[i];
        if (isSolved != which || pieces[i].empty()) continue;
        if (found < 0 || pieces[i].size() >= pieces[static_cast<std::size_t>(found)].size()) found = static_cast<int>(i);
    }
    return found;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

Text unescaped(std::string_view piece) {
    std::string bytes;
    for (std::size_t at = 0; at < piece.size() && bytes.size() < MaxTextLength; ++at) {
        char c = piece[at];
        if (c == Escape && at + 2 < piece.size() && hexValue(piece[at + 1]) >= 0 && hexValue(piece[at + 2]) >= 0) {
            c = static_cast<char>(hexValue(piece[at + 1]) * 16 + hexValue(piece[at + 2]));
            at += 2;
        }
        if (c != '\0' && c != '\r' && c != '\n') bytes += c;  // no answer field holds them
    }
    return Text(bytes);
}

}  // namespace

std::string_view lessonStatus(int solved, int questionCount, int passMark) {
    if (passMark != NoPassMark) return platformScore(solved, questionCount) >= passMark ? "passed" : "incomplete";
    return solved >= questionCount ? "completed" : "incomplete";
}

int platformScore(int solved, int questionCount) {
    if (questionCount <= 0) return -1;
    return (200 * solved + questionCount) / (2 * questionCount);
}

SuspendData suspendDataOf(std::span<const Text> answers, std::span<const bool> solved, std::size_t limit) {
    std::vector<std::string> pieces;
    for (const Text& answer : answers) pieces.push_back(escaped(answer.view()));
    SuspendData data{joined(pieces), 0};
    while (data.text.size() > limit) {
        int piece = longestPiece(pieces, solved, false);
        if (piece < 0) piece = longestPiece(pieces, solved, true);
        if (piece < 0) break;
        pieces[static_cast<std::size_t>(piece)].clear();
        ++data.leftOut;
        data.text = joined(pieces);
    }
    return data;
}

std::optional<std::string> progressOfSuspendData(std::string_view text) {
    if (text.substr(0, Mark.size()) != Mark) return std::nullopt;
    std::string_view rest = text.substr(Mark.size());
    if (!rest.empty() && rest.front() != Separator) return std::nullopt;
    std::vector<Text> answers;
    while (!rest.empty() && answers.size() < static_cast<std::size_t>(MaxAnswerSlots)) {
        rest.remove_prefix(1);
        const std::size_t end = rest.find(Separator);
        answers.push_back(unescaped(rest.substr(0, end)));
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end);
    }
    return formatProgressLines(answers);
}

SuspendData platformSuspendData(QuizSession& session) {
    const std::vector<Text> answers = currentAnswers(session);
    const std::vector<bool> solvedSlots = solvedBySlot(session);
    std::array<bool, MaxAnswerSlots> solved{};
    for (std::size_t slot = 0; slot < answers.size() && slot < solved.size(); ++slot) solved[slot] = solvedSlots[slot];
    return suspendDataOf(answers, std::span<const bool>(solved.data(), std::min(answers.size(), solved.size())),
                         SuspendDataLimit);
}
