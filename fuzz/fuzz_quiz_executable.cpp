// Any bytes as a quiz executable: opened or refused with a line; what opens
// is saved onto itself, opened again as it was, and saved again to the same
// resources.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "authoring/resource_bundle.h"
#include "editing/quiz_document.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> image(data, size);
    const OpenedDocument opened = documentFromExecutable(image);
    if (!opened.error.empty()) return 0;
    const QuizResources saved = documentResources(opened.document, "quiz");
    if (!saved.ok()) return 0;  // a quiz too long for the player: said when saving
    const PeWriteResult written = writePeResources(image, saved.resources);
    if (written.error != PeError::Ok) return 0;
    const OpenedDocument again = documentFromExecutable(written.image);
    if (!again.error.empty() || !again.notes.empty()) std::abort();
    if (sourceOf(again.document) != sourceOf(opened.document) || again.document.quiz != opened.document.quiz) {
        std::abort();
    }
    if (again.document.codeLines != opened.document.codeLines) std::abort();
    const QuizResources resaved = documentResources(again.document, "quiz");
    if (!resaved.ok() || bundleOf(resaved.resources) != bundleOf(saved.resources)) std::abort();
    return 0;
}
