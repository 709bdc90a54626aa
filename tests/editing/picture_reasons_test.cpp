// Every reason a picture may be refused for is said in French, by one
// function, with the next step where there is one; only damage is said to be
// damage. And the refusals of the editors take their words from it.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editing/picture_reasons.h"
#include "editing/quiz_document.h"

namespace {

using enum PictureProblem;

PictureReason reasonOf(PictureProblem problem, PictureFormat format = PictureFormat::Jpeg,
                       PictureReader reader = PictureReader::System, MissingCodec missing = MissingCodec::None,
                       std::uint64_t limit = 0) {
    PictureReason reason;
    reason.problem = problem;
    reason.format = format;
    reason.reader = reader;
    reason.missing = missing;
    reason.pixelLimit = limit;
    return reason;
}

struct FrenchCase {
    const char* name;
    PictureReason reason;
    std::vector<const char*> parts;  // each in the French
};

const FrenchCase FrenchCases[] = {
    {"empty file", reasonOf(EmptyFile, PictureFormat::Unknown), {"le fichier est vide"}},
    {"not a picture", reasonOf(NotAPicture, PictureFormat::Unknown),
     {"ce n'est pas une image", "JPEG, PNG, GIF, BMP, WebP, AVIF, HEIC ou TIFF"}},
    {"Windows without HEIF",
     reasonOf(FormatNotReadHere, PictureFormat::Heif, PictureReader::System, MissingCodec::HeifImageExtensions),
     {"Windows ne sait pas lire les photos HEIC ici", "« Extensions d'images HEIF » depuis le Microsoft Store"}},
    {"Windows without HEVC",
     reasonOf(FormatNotReadHere, PictureFormat::Heif, PictureReader::System, MissingCodec::HevcVideoExtensions),
     {"Windows ne sait pas lire les photos HEIC ici", "« Extensions vidéo HEVC » depuis le Microsoft Store"}},
    {"Windows without WebP",
     reasonOf(FormatNotReadHere, PictureFormat::Webp, PictureReader::System, MissingCodec::WebpImageExtensions),
     {"Windows ne sait pas lire les images WebP ici", "« Extensions d'images Web » depuis le Microsoft Store"}},
    {"HEIC in a browser that cannot read it", reasonOf(FormatNotReadHere, PictureFormat::Heif, PictureReader::Browser),
     {"ce navigateur ne sait pas lire les photos HEIC",
      "enregistrez-la en JPEG ou ajoutez-la depuis l'Atelier pour Windows"}},
    {"TIFF in a browser", reasonOf(FormatNotReadHere, PictureFormat::Tiff, PictureReader::Browser),
     {"ce navigateur ne sait pas lire les images TIFF", "l'Atelier pour Windows"}},
    {"a compressed BMP", reasonOf(FormatNotReadHere, PictureFormat::Bmp), {"genre d'image BMP que l'Atelier ne lit pas"}},
    {"the browser's decoder refused it", reasonOf(NotDecodedHere, PictureFormat::Png, PictureReader::Browser),
     {"ce navigateur n'a pas su lire cette image", "l'Atelier pour Windows"}},
    {"the system's decoder refused it", reasonOf(NotDecodedHere, PictureFormat::Png), {"n'a pas su lire cette image"}},
    {"damaged", reasonOf(Damaged), {"le fichier est endommagé"}},
    {"cut short", reasonOf(CutShort), {"le fichier est tronqué"}},
    {"no pixels", reasonOf(NoPixels), {"aucun pixel de large ou de haut"}},
    {"a photo of too many pixels",
     reasonOf(TooManyPixels, PictureFormat::Jpeg, PictureReader::System, MissingCodec::None, 200'000'000),
     {"elle a trop de pixels", "200 mégapixels au plus", "réduisez-la dans un logiciel de photo"}},
    {"a PNG of too many pixels", reasonOf(TooManyPixels, PictureFormat::Png, PictureReader::Browser),
     {"elle a trop de pixels", "100 mégapixels au plus"}},
    {"out of memory", reasonOf(OutOfMemory),
     {"pas assez de mémoire pour cette image : fermez d'autres programmes, ou réduisez-la"}},
    {"not prepared by the page", reasonOf(NotPrepared, PictureFormat::Jpeg, PictureReader::Browser),
     {"ajoutez-la à nouveau"}},
};

TEST(PictureReasonsInFrench, EachReasonHasItsOwnWords) {
    for (const FrenchCase& c : FrenchCases) {
        const std::string french = pictureReasonInFrench(c.reason);
        for (const char* part : c.parts) EXPECT_NE(french.find(part), std::string::npos) << c.name << ": " << french;
        EXPECT_EQ(french.find('\n'), std::string::npos) << c.name;
        EXPECT_EQ(french.back() == '.', false) << c.name << ": the caller ends the sentence";
    }
}

// Every reason, wherever it was read and whatever it lacks, has words, and
// only damage is said to be damage: no reason falls to « endommagé ».
TEST(PictureReasonsInFrench, NoReasonFallsToDamagedByDefault) {
    EXPECT_EQ(pictureReasonInFrench(PictureReason{}), "");
    for (int problem = 1; problem < PictureProblemCount; ++problem) {
        for (const PictureReader reader : {PictureReader::System, PictureReader::Browser}) {
            for (int format = 0; format <= static_cast<int>(PictureFormat::Unknown); ++format) {
                for (int missing = 0; missing <= static_cast<int>(MissingCodec::WebpImageExtensions); ++missing) {
                    const PictureReason reason =
                        reasonOf(static_cast<PictureProblem>(problem), static_cast<PictureFormat>(format), reader,
                                 static_cast<MissingCodec>(missing));
                    const std::string french = pictureReasonInFrench(reason);
                    EXPECT_FALSE(french.empty()) << problem;
                    EXPECT_EQ(french.find("endommagé") != std::string::npos, reason.problem == Damaged)
                        << problem << ": " << french;
                    EXPECT_FALSE(pictureProblemLine(reason).empty()) << problem;
                }
            }
        }
    }
}

// The browser's decoder failing is not damage; memory running out is not either.
TEST(PictureReasonsInFrench, WhatIsNotDamageIsNotSaidToBe) {
    for (const PictureProblem problem : {NotDecodedHere, FormatNotReadHere, OutOfMemory, EmptyFile, CutShort}) {
        EXPECT_EQ(pictureReasonInFrench(reasonOf(problem, PictureFormat::Jpeg, PictureReader::Browser)).find("endommagé"),
                  std::string::npos);
    }
}

TEST(PictureReasonsInFrench, FilesThatAreNoPictureAtAll) {
    EXPECT_EQ(notAPictureInFrench({}), "le fichier est vide");
    const std::uint8_t text[] = {'h', 'e', 'l', 'l', 'o'};
    EXPECT_NE(notAPictureInFrench(text).find("ce n'est pas une image"), std::string::npos);
    const std::uint8_t jpeg[] = {0xFF, 0xD8, 0xFF};
    EXPECT_EQ(notAPictureInFrench(jpeg), "");
}

// The editors' refusals: an empty file is said empty, not « pas une image ».
TEST(PictureReasonsInFrench, TheEditorsSayAnEmptyFileIsEmpty) {
    QuizDocument document = newDocument();
    const std::optional<PictureInput> pictures[] = {PictureInput{"vide.jpg", {}}, PictureInput{"notes.txt", {'h', 'i'}}};
    const AddedQuestions added = addQuestions(document, pictures, preparePictures);
    EXPECT_EQ(added.added, 0u);
    ASSERT_EQ(added.refused.size(), 2u);
    EXPECT_EQ(added.refused[0].reason, "le fichier est vide");
    EXPECT_NE(added.refused[1].reason.find("ce n'est pas une image"), std::string::npos) << added.refused[1].reason;
}

}  // namespace
