// A quiz written as one web page: everything inside, no text of the quiz able
// to break out of where it is put, the same page for the same quiz, and a key
// of its own for every quiz.

#include <gtest/gtest.h>

#include <string>

#include "authoring/quiz_resources.h"
#include "authoring/web_page.h"

namespace {

constexpr std::uint8_t TinyPng[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 0};
constexpr std::uint8_t TinyJpeg[] = {0xFF, 0xD8, 0xFF, 0xE0, 0, 0};

QuizSource hostileQuiz() {
    QuizSource source;
    source.quizName = "</script><script>alert(1)</script> & <img src=x onerror=alert(2)>";
    source.creatorName = "\"Moi\" & 'toi'";
    source.explanation = "</style><!--";
    source.questions = {{"</SCRIPT>", "", "", "<b>gras</b>", ""}, {"MER", "", "", "", ""}};
    source.codes = std::vector<std::string>{"<i>", "&amp;"};
    return source;
}

WebQuiz webQuizWithPictures(const QuizSource& source) {
    WebQuiz quiz = webQuizOf(quizResourcesOfPrepared(source, "essai.toml", {}));
    quiz.pictures = {Resource{ResourceKey::fromName("IMG"), ResourceKey::fromId(401), 0, 0, {std::begin(TinyJpeg), std::end(TinyJpeg)}},
                     Resource{ResourceKey::fromId(10), ResourceKey::fromId(402), 0, 0, {std::begin(TinyPng), std::end(TinyPng)}}};
    return quiz;
}

std::size_t count(const std::string& text, const std::string& needle) {
    std::size_t n = 0;
    for (std::size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) ++n;
    return n;
}

TEST(WebPage, QuizTextsCannotEndAnElementOrRun) {
    const WebPage page = webPage(webQuizWithPictures(hostileQuiz()), builtInWebPageAssets(), "9.9.9");
    ASSERT_TRUE(page.ok()) << page.error;
    // The page's own five scripts and one style element, nothing more.
    EXPECT_EQ(count(page.html, "</script>"), 5u);
    EXPECT_EQ(count(page.html, "</style>"), 1u);
    EXPECT_EQ(count(page.html, "<img src=x"), 0u);
    EXPECT_NE(page.html.find("<title>&lt;/script&gt;&lt;script&gt;alert(1)&lt;/script&gt; &amp; &lt;img src=x "
                             "onerror=alert(2)&gt;</title>"),
              std::string::npos)
        << "the title is escaped";
    EXPECT_NE(page.html.find("Content-Security-Policy\" content=\"default-src 'none'; img-src data:"), std::string::npos);
    EXPECT_NE(page.html.find("content=\"Zorbel 9.9.9\""), std::string::npos);
    for (const char* placeholder : {"{{VERSION}}", "{{TITLE}}", "{{HOME}}", "{{STYLE}}", "{{DATA}}", "{{MODULE}}", "{{API}}",
                                    "{{PLATFORM}}", "{{SCRIPT}}"}) {
        EXPECT_EQ(page.html.find(placeholder), std::string::npos) << placeholder;
    }
    EXPECT_EQ(page.html.find("zorbel.example"), std::string::npos) << "no link to a home page that does not exist yet";
}

TEST(WebPage, CarriesThePicturesAsStoredAndTheResourcesAsTheyAre) {
    const WebQuiz quiz = webQuizWithPictures(hostileQuiz());
    const WebPage page = webPage(quiz, builtInWebPageAssets(), "1");
    ASSERT_TRUE(page.ok()) << page.error;
    EXPECT_NE(page.html.find("{\"type\":\"jpeg\",\"data\":\"/9j/4AAA\"}"), std::string::npos);
    EXPECT_NE(page.html.find("{\"type\":\"png\",\"data\":\"iVBORw0KGgoAAAAA\"}"), std::string::npos);
    EXPECT_FALSE(quiz.definition.empty());
    EXPECT_TRUE(quiz.codes.has_value());
    EXPECT_EQ(page.html, webPage(quiz, builtInWebPageAssets(), "1").html) << "the same quiz, the same page";
}

// The overview reserves a picture's room before decoding it: its size fitted
// into the 210 x 210 frame, enlarged as the player enlarges it.
TEST(WebPage, CarriesEachPicturesFittedSizeWhereItsHeaderSaysIt) {
    const auto pngOf = [](std::uint8_t width, std::uint8_t height) {
        std::vector<std::uint8_t> png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
        for (const std::uint8_t side : {width, height}) png.insert(png.end(), {0, 0, 1, side});  // 256 + side pixels
        return Resource{ResourceKey::fromId(10), ResourceKey::fromId(401), 0, 0, png};
    };
    WebQuiz quiz = webQuizWithPictures(hostileQuiz());
    quiz.pictures = {pngOf(164, 24), pngOf(0, 200)};  // 420 x 280, 256 x 456
    const std::string html = webPage(quiz, builtInWebPageAssets(), "1").html;
    EXPECT_NE(html.find("\"fitted\":[210,140]}"), std::string::npos);
    EXPECT_NE(html.find("\"fitted\":[117,210]}"), std::string::npos) << "cut, as the player cuts";
}

TEST(WebPage, EachQuizKeepsItsAnswersUnderItsOwnKey) {
    QuizSource source = hostileQuiz();
    const WebQuiz first = webQuizWithPictures(source);
    source.questions[1].answer = "MERS";
    const WebQuiz changed = webQuizWithPictures(source);
    WebQuiz otherPicture = first;
    otherPicture.pictures[0]->data.push_back(0);
    EXPECT_EQ(webQuizKey(first), webQuizKey(webQuizWithPictures(hostileQuiz())));
    EXPECT_NE(webQuizKey(first), webQuizKey(changed));
    EXPECT_NE(webQuizKey(first), webQuizKey(otherPicture));
    EXPECT_EQ(webQuizKey(first).size(), 16u);
}

TEST(WebPage, IsRefusedWithoutItsModuleOrWithAPartThatWouldEndItsElement) {
    WebPageAssets assets = builtInWebPageAssets();
    const WebQuiz quiz = webQuizWithPictures(hostileQuiz());
    assets.module = "";
    EXPECT_FALSE(webPage(quiz, assets, "1").ok());
    assets = builtInWebPageAssets();
    assets.script = "let a = '</SCRIPT>';";
    EXPECT_NE(webPage(quiz, assets, "1").error.find("</script"), std::string::npos);
    assets = builtInWebPageAssets();
    assets.page = "{{NOPE}}";
    EXPECT_FALSE(webPage(quiz, assets, "1").ok());
}

}  // namespace
