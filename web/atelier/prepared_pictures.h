#pragma once
// Pictures in the browser are prepared by the page (the browser's decoders and
// encoders, off the page's thread), which cannot be waited for inside the
// module. The page prepares each picture an edit needs first and offers the
// result here; the document's operations then find it as they would have
// prepared it themselves.

#include <cstdint>
#include <span>

#include "picture_preparation/picture_batch.h"
#include "picture_preparation/picture_preparation.h"

// What `original` (the file as the author gave it) became on `background`,
// turned `quarterTurns` clockwise.
void offerPrepared(std::span<const std::uint8_t> original, Rgb background, int quarterTurns, PreparedPicture prepared);
// The offers are for the edit at hand: forgotten after it.
void forgetOffered();

// The document's picture preparer in the browser: each picture as the page
// offered it, or refused as not prepared.
std::vector<std::optional<PreparedPicture>> preparedByThePage(std::span<const std::optional<PictureInput>> pictures,
                                                              Rgb background, const PictureProgress& progress);
