#pragma once
// Why a picture cannot be used, said in French to the author, with what to do
// about it when something can be done: one function for every reason, both
// editors' (libspng's spng_strerror is the model). The reasons are typed by
// the preparation (picture_problem.h); no English line is ever read here.

#include <cstdint>
#include <span>
#include <string>

#include "picture_preparation/picture_problem.h"

// The formats an author may give, as the editors list them.
inline constexpr const char* FrenchPictureFormats = "JPEG, PNG, GIF, BMP, WebP, AVIF, HEIC ou TIFF";

// The reason in French, one clause without a capital or a full stop (« le
// fichier est vide »), to follow « ne peut pas servir : »; empty for None.
std::string pictureReasonInFrench(const PictureReason& reason);

// For a file that is no picture at all, its reason in French (empty file, or
// none of the formats); empty when it begins as a picture.
std::string notAPictureInFrench(std::span<const std::uint8_t> bytes);
