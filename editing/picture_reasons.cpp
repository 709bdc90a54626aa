#include "editing/picture_reasons.h"

#include "picture_preparation/preparation_rules.h"

namespace {

// « les photos HEIC », « les images TIFF »...
std::string formatPlural(PictureFormat format) {
    const std::string name = pictureFormatName(format);
    return (format == PictureFormat::Heif || format == PictureFormat::Jpeg ? "les photos " : "les images ") + name;
}

std::string storeAdvice(const char* extension) {
    return std::string("installez « ") + extension + " » depuis le Microsoft Store";
}

std::string notReadHere(const PictureReason& reason) {
    switch (reason.missing) {
        case MissingCodec::HeifImageExtensions:
            return "Windows ne sait pas lire les photos HEIC ici : " + storeAdvice("Extensions d'images HEIF");
        case MissingCodec::HevcVideoExtensions:
            return "Windows ne sait pas lire les photos HEIC ici : " + storeAdvice("Extensions vidéo HEVC");
        case MissingCodec::WebpImageExtensions:
            return "Windows ne sait pas lire les images WebP ici : " + storeAdvice("Extensions d'images Web");
        case MissingCodec::None: break;
    }
    if (reason.reader == PictureReader::Browser) {
        if (reason.format == PictureFormat::Heif) {
            return "ce navigateur ne sait pas lire les photos HEIC : enregistrez-la en JPEG ou ajoutez-la depuis "
                   "l'Atelier pour Windows";
        }
        return "ce navigateur ne sait pas lire " + formatPlural(reason.format) +
               " : enregistrez-la en JPEG ou en PNG, ou ajoutez-la depuis l'Atelier pour Windows";
    }
    if (reason.format == PictureFormat::Unknown) return "elle est d'un genre que l'Atelier ne lit pas ici";
    return "elle est d'un genre d'image " + std::string(pictureFormatName(reason.format)) +
           " que l'Atelier ne lit pas ici : enregistrez-la en JPEG ou en PNG";
}

std::string notDecodedHere(const PictureReason& reason) {
    if (reason.reader == PictureReader::Browser) {
        return "ce navigateur n'a pas su lire cette image : enregistrez-la à nouveau en JPEG ou en PNG, ou "
               "ajoutez-la depuis l'Atelier pour Windows";
    }
    return "le système n'a pas su lire cette image : enregistrez-la à nouveau en JPEG ou en PNG";
}

std::string tooManyPixels(const PictureReason& reason) {
    const std::uint64_t limit = reason.pixelLimit != 0 ? reason.pixelLimit : pixelLimit(reason.format);
    return "elle a trop de pixels : l'Atelier prend les " +
           std::string(reason.format == PictureFormat::Jpeg ? "photos" : "images") + " de " +
           std::to_string(limit / 1'000'000) + " mégapixels au plus (réduisez-la dans un logiciel de photo)";
}

}  // namespace

std::string pictureReasonInFrench(const PictureReason& reason) {
    switch (reason.problem) {
        case PictureProblem::None: return {};
        case PictureProblem::EmptyFile: return "le fichier est vide";
        case PictureProblem::NotAPicture: return std::string("ce n'est pas une image ") + FrenchPictureFormats;
        case PictureProblem::FormatNotReadHere: return notReadHere(reason);
        case PictureProblem::NotDecodedHere: return notDecodedHere(reason);
        case PictureProblem::Damaged: return "le fichier est endommagé";
        case PictureProblem::CutShort: return "le fichier est tronqué";
        case PictureProblem::NoPixels: return "elle n'a aucun pixel de large ou de haut";
        case PictureProblem::TooManyPixels: return tooManyPixels(reason);
        case PictureProblem::OutOfMemory:
            return "pas assez de mémoire pour cette image : fermez d'autres programmes, ou réduisez-la";
        case PictureProblem::NotPrepared:
            return "la page ne l'a pas préparée (une erreur de l'Atelier) : ajoutez-la à nouveau";
    }
    return "elle ne peut pas être lue";
}

std::string notAPictureInFrench(std::span<const std::uint8_t> bytes) {
    PictureReason reason;
    reason.problem = fileProblem(bytes);
    return pictureReasonInFrench(reason);
}
