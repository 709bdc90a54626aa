#include "editor/editor_layout.h"

#include <algorithm>
#include <cmath>

#include "editor/editor_ids.h"
#include "resources/contract_ids.h"

namespace {

constexpr int Margin = 8;
constexpr int Gap = 6;
constexpr int LabelHeight = 16;
constexpr int FieldHeight = 24;
// Wide enough for the buttons' texts in the widest of the systems' message
// fonts (Wine's), with room for the buttons' edges.
constexpr int ListWidth = 350;
constexpr int MiddleWidth = 370;
constexpr int ButtonHeight = 28;
// The note under a field that mended or refused what was entered: two lines.
constexpr int NoteHeight = 30;

// Places controls down a column, in 96-dpi units.
class Column {
public:
    Column(std::vector<PlacedControl>& out, int x, int width, int y, int notedField)
        : out_(out), x_(x), width_(width), y_(y), notedField_(notedField) {}

    // A label above its field, and the field's note below it when it has one.
    void field(int id, int height = FieldHeight) {
        place(id + editorid::LabelOffset, LabelHeight, 0);
        if (id != notedField_) {
            place(id, height, Gap);
            return;
        }
        place(id, height, 2);
        place(editorid::FieldNote, NoteHeight, Gap);
    }
    // A label and a field of `fieldWidth` on one row.
    void row(int id, int labelWidth, int fieldWidth) {
        out_.push_back({id + editorid::LabelOffset, {x_, y_ + 4, labelWidth, LabelHeight}});
        out_.push_back({id, {x_ + labelWidth, y_, fieldWidth, FieldHeight}});
        y_ += FieldHeight + Gap;
    }
    void place(int id, int height, int gapAfter) {
        out_.push_back({id, {x_, y_, width_, height}});
        y_ += height + gapAfter;
    }
    void placeAt(int id, int dx, int width, int height) { out_.push_back({id, {x_ + dx, y_, width, height}}); }
    void skip(int height) { y_ += height; }
    [[nodiscard]] int y() const { return y_; }

private:
    std::vector<PlacedControl>& out_;
    int x_;
    int width_;
    int y_;
    int notedField_;
};

void layoutQuestionList(std::vector<PlacedControl>& out, int height) {
    const int buttons = height - Margin - ButtonHeight;
    out.push_back({atelierid::QuestionList, {Margin, Margin, ListWidth, buttons - Gap - Margin}});
    const int widths[] = {130, 70, 64, 74};
    const int ids[] = {editorid::AddPictures, editorid::RemoveQuestion, editorid::MoveUp, editorid::MoveDown};
    int x = Margin;
    for (int i = 0; i < 4; ++i) {
        out.push_back({ids[i], {x, buttons, widths[i], ButtonHeight}});
        x += widths[i] + 4;
    }
}

// The question's fields below the picture and its buttons, warnings excluded.
constexpr int QuestionFieldsHeight = 366;
constexpr int NotedHeight = NoteHeight + 2;
constexpr int LeastWarningsHeight = 78;
constexpr int LeastPreviewHeight = 150;
constexpr int MostPreviewHeight = MiddleWidth * 3 / 4;

bool isQuestionField(int id) {
    return id == atelierid::ExpectedAnswer || id == atelierid::SecondAnswer || id == atelierid::Location ||
           id == atelierid::Comment;
}

void layoutQuestion(std::vector<PlacedControl>& out, int height, int notedField) {
    // The picture takes what the window gives, the warnings the rest; a note
    // under a field takes from the picture first.
    const int fields = QuestionFieldsHeight + (isQuestionField(notedField) ? NotedHeight : 0);
    const int preview = std::clamp(height - fields - LeastWarningsHeight, LeastPreviewHeight, MostPreviewHeight);
    Column column(out, 2 * Margin + ListWidth + 4, MiddleWidth, Margin, notedField);
    column.place(atelierid::PicturePreview, preview, Gap);
    column.placeAt(editorid::ChangePicture, 0, 118, FieldHeight);
    column.placeAt(editorid::TurnLeft, 122, 122, FieldHeight);
    column.placeAt(editorid::TurnRight, 248, 122, FieldHeight);
    column.skip(FieldHeight + Gap);
    column.field(atelierid::ExpectedAnswer);
    column.field(atelierid::SecondAnswer);
    column.field(atelierid::Location);
    column.field(atelierid::Comment, 48);
    column.field(atelierid::TryField);
    column.row(atelierid::SingleViewVerdict, 150, 120);
    column.row(atelierid::OverviewVerdict, 150, 120);
    const int leastWarnings = isQuestionField(notedField) ? LeastWarningsHeight - NotedHeight : LeastWarningsHeight;
    column.place(atelierid::Warnings, std::max(height - Margin - column.y(), leastWarnings), 0);
}

void layoutSettings(std::vector<PlacedControl>& out, Size client, int notedField) {
    const int x = 3 * Margin + ListWidth + MiddleWidth + 12;
    const int width = std::max(client.width - x - Margin, 200);
    Column column(out, x, width, Margin, notedField);
    column.field(atelierid::QuizName);
    column.field(atelierid::Creator);
    column.field(atelierid::Explanation, 40);
    column.place(editorid::HeaderNotes, 48, Gap);
    column.field(atelierid::FirstAnswerLabel);
    column.field(atelierid::SecondAnswerLabel);
    column.row(atelierid::AnswersPerQuestion, 150, 60);
    column.field(atelierid::CommentMode, 24);
    column.place(editorid::CommentModeHelp, 28, Gap);
    column.place(atelierid::PicturesInOverview, 20, Gap);
    column.placeAt(atelierid::BackgroundColour, 0, 150, ButtonHeight);
    column.placeAt(editorid::Swatch, 158, 40, ButtonHeight);
    column.skip(ButtonHeight + Gap);
    column.place(atelierid::CodeLines + editorid::LabelOffset, LabelHeight, 0);
    column.place(editorid::CodeLinesHelp, 28, 0);
    // The code lines' own note below them, their height lessened for it.
    const bool noted = notedField == atelierid::CodeLines;
    const int codeLines = std::max(client.height - Margin - column.y() - (noted ? NotedHeight : 0), FieldHeight + 12);
    if (noted) {
        column.place(atelierid::CodeLines, codeLines, 2);
        column.place(editorid::FieldNote, NoteHeight, 0);
    } else {
        column.place(atelierid::CodeLines, codeLines, 0);
    }
}

int scaled(int units, double scale) { return static_cast<int>(std::lround(units * scale)); }

}  // namespace

std::vector<PlacedControl> editorLayout(Size client, double scale, int notedField) {
    const Size units{scaled(client.width, 1 / scale), scaled(client.height, 1 / scale)};
    std::vector<PlacedControl> out;
    layoutQuestionList(out, std::max(units.height, EditorMinimumClient.height));
    layoutQuestion(out, std::max(units.height, EditorMinimumClient.height), notedField);
    layoutSettings(out, {std::max(units.width, EditorMinimumClient.width), std::max(units.height, EditorMinimumClient.height)},
                   notedField);
    for (PlacedControl& control : out) {
        Rect& r = control.place;
        // Edges are scaled, not sizes: controls that meet still meet, none overlaps by a rounding.
        const int left = scaled(r.x, scale);
        const int top = scaled(r.y, scale);
        r = {left, top, scaled(r.x + r.width, scale) - left, scaled(r.y + r.height, scale) - top};
    }
    return out;
}

int questionListRowsInSight(Size client, double scale) {
    const int rowHeight = std::max(scaled(ThumbnailHeight, scale), 1);
    for (const PlacedControl& placed : editorLayout(client, scale)) {
        if (placed.id == atelierid::QuestionList) return (placed.place.height + rowHeight - 1) / rowHeight;
    }
    return 0;
}
