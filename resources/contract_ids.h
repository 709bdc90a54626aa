#pragma once
// The numbers that the player, the quiz tools and the tests rely on: the
// resources a quiz executable carries and the player's own, the control ids
// through which windows find each other, and the overview's private scroll
// requests. Quizzes already made depend on the resource ids; the tests find
// every control by its id.

// The player's own resources; the resource compiler reads only these.
#define IDI_ZORBEL 1
#define IDD_QUESTION_PANEL 1001
#define IDD_HEADER_PANEL 1002
#define IDC_LINK_HAND 1003

#ifndef RC_INVOKED

#include <cstdint>

// What a quiz executable carries: the encoded definition and code lines, and
// question i's picture (0-based) under FirstPictureResourceId + i, a JPEG as
// `IMG` or a PNG as RT_RCDATA.
inline constexpr char QuizTextResourceType[] = "PATCH";
inline constexpr std::uint16_t DefinitionResourceId = 104;
inline constexpr std::uint16_t CodesResourceId = 105;
inline constexpr char JpegResourceType[] = "IMG";
inline constexpr std::uint16_t ResourceTypeRcData = 10;  // RT_RCDATA
inline constexpr std::uint16_t FirstPictureResourceId = 401;

inline constexpr char MainWindowClass[] = "WindowsApp";

namespace controlid {
// Main window.
inline constexpr int StatusLabel = 8000;
// Header panel. Its static controls take ids from 20 to 37, which it paints
// on its own background; the rules keep the default colours.
inline constexpr int HomePageLink = 24;
inline constexpr int ByLabel = 25;  // "Par :"
inline constexpr int CreatorLabel = 26;
inline constexpr int SaveButton = 27;
inline constexpr int ExplanationLabel = 28;
inline constexpr int QuizNameLabel = 29;
inline constexpr int CodeField = 30;
inline constexpr int CodeCaption = 31;  // " Code :"
inline constexpr int ScoreLabel = 32;
inline constexpr int FirstHeaderLabel = 20;
inline constexpr int LastHeaderLabel = 37;
inline constexpr int RuleUnderScore = 120;
inline constexpr int RuleLeft = 121;
inline constexpr int RuleRight = 122;
// Single-question panel.
inline constexpr int AnswerField = 9000;
inline constexpr int VerdictLabel = 9500;
inline constexpr int CommentLabel = 9501;
inline constexpr int NextButton = 9905;
inline constexpr int PreviousButton = 9906;
inline constexpr int PictureFrame = 9907;
inline constexpr int QuestionSelector = 10000;
// Overview panel: answer slot s and question j count from 1.
inline constexpr int OverviewFieldBase = 4000;    // + s
inline constexpr int OverviewVerdictBase = 5000;  // + s
inline constexpr int OverviewCommentBase = 8000;  // + j
inline constexpr int OverviewPictureBase = 9900;  // + j
inline constexpr int QuestionNumberLabel = 153;   // every "j." label
inline constexpr int AnswerNameLabel = 156;       // every answer-name label
}  // namespace controlid

// Zorbel Atelier, the quiz editor: its window and the ids its end-to-end tests
// and any outside checker find its controls by, unique among the window's
// descendants.
inline constexpr wchar_t AtelierWindowClass[] = L"ZorbelAtelier";
inline constexpr wchar_t AtelierCaptionSuffix[] = L" - Zorbel Atelier";
namespace atelierid {
inline constexpr int QuestionList = 100;  // a list-view, one item per question: "n. answer"
inline constexpr int PicturePreview = 110;
inline constexpr int ExpectedAnswer = 201;
inline constexpr int SecondAnswer = 202;
inline constexpr int Comment = 203;
inline constexpr int Location = 204;
inline constexpr int TryField = 210;
inline constexpr int SingleViewVerdict = 211;  // the player's verdict texts, exactly
inline constexpr int OverviewVerdict = 212;
inline constexpr int Warnings = 220;
inline constexpr int QuizName = 301;
inline constexpr int Creator = 302;
inline constexpr int Explanation = 303;
inline constexpr int FirstAnswerLabel = 304;
inline constexpr int SecondAnswerLabel = 305;
inline constexpr int AnswersPerQuestion = 306;  // a combo box: "1", "2"
inline constexpr int CommentMode = 307;         // a combo box: modes 0 to 4 in order
inline constexpr int PicturesInOverview = 308;  // a check box
inline constexpr int BackgroundColour = 309;    // a button that opens the colour picker
inline constexpr int CodeLines = 310;           // a multi-line edit, line k: the code after k solved
inline constexpr int PassMark = 320;  // in the SCORM export's dialog: the pass mark, a percentage or blank
}  // namespace atelierid

// WM_VSCROLL request codes of the overview beyond the system's: a wheel
// notch towards the user (500) or away from the user (501), posted by the
// main window and the overview, and the Tab target's position (502).
inline constexpr int WheelScrollDown = 500;
inline constexpr int WheelScrollUp = 501;
inline constexpr int ScrollToTabTarget = 502;

#endif
