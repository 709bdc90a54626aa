#include "web/atelier/prepared_pictures.h"

#include <map>
#include <string_view>
#include <tuple>
#include <utility>

#include "picture_preparation/picture_batch.h"

namespace {

struct OfferKey {
    std::uint64_t digest;
    std::size_t size;
    int background;
    int quarterTurns;
    auto operator<=>(const OfferKey&) const = default;
};

std::map<OfferKey, PreparedPicture> offers;

// FNV-1a: a picture is told from another by its bytes, not by where they are.
std::uint64_t digestOf(std::span<const std::uint8_t> bytes) {
    std::uint64_t hash = 14695981039346656037ULL;
    for (const std::uint8_t byte : bytes) hash = (hash ^ byte) * 1099511628211ULL;
    return hash;
}

OfferKey keyOf(std::span<const std::uint8_t> original, Rgb background, int quarterTurns) {
    return {digestOf(original), original.size(), background.red << 16 | background.green << 8 | background.blue,
            ((quarterTurns % 4) + 4) % 4};
}

}  // namespace

void offerPrepared(std::span<const std::uint8_t> original, Rgb background, int quarterTurns, PreparedPicture prepared) {
    offers[keyOf(original, background, quarterTurns)] = std::move(prepared);
}

void forgetOffered() { offers.clear(); }

namespace {

PreparedPicture offered(std::span<const std::uint8_t> bytes, const std::string& name, Rgb background, int quarterTurns) {
    const auto offer = offers.find(keyOf(bytes, background, quarterTurns));
    PreparedPicture result;
    if (offer == offers.end()) {
        result.reason.problem = PictureProblem::NotPrepared;
        result.reason.reader = PictureReader::Browser;
        result.error = pictureProblemLine(result.reason);
    } else {
        result = offer->second;
    }
    result.subject = name;
    return result;
}

}  // namespace

std::vector<std::optional<PreparedPicture>> preparedByThePage(std::span<const std::optional<PictureInput>> pictures,
                                                              Rgb background, const PictureProgress& progress) {
    std::vector<std::optional<PreparedPicture>> prepared(pictures.size());
    std::size_t done = 0;
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        if (!pictures[i]) continue;
        prepared[i] = offered(pictures[i]->bytes, pictures[i]->name, background, pictures[i]->quarterTurns);
        if (progress) progress(++done, pictures.size());
    }
    return prepared;
}
