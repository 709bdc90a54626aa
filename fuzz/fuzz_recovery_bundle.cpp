// Any bytes as a recovery copy: refused whole, or taken back as a document
// whose own copy gives the same document again.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "authoring/resource_bundle.h"
#include "editing/quiz_document.h"

namespace {

bool samePictures(const DocumentContent& a, const DocumentContent& b) {
    if (a.questions.size() != b.questions.size()) return false;
    for (std::size_t i = 0; i < a.questions.size(); ++i) {
        const SharedPrepared& x = a.questions[i].prepared;
        const SharedPrepared& y = b.questions[i].prepared;
        if ((x == nullptr) != (y == nullptr) || (x && x->bytes != y->bytes)) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const ResourceBundle bundle = readBundle({data, size});
    if (!bundle.ok()) {
        if (!bundle.resources.empty()) std::abort();
        return 0;
    }
    const OpenedDocument opened = documentFromResources(bundle.resources);
    if (!opened.error.empty()) return 0;
    const QuizResources kept = recoveryResources(opened.document);
    if (!kept.ok()) return 0;  // a copy too long for the player: said when saving
    const ResourceBundle copy = readBundle(bundleOf(kept.resources));
    if (!copy.ok()) std::abort();
    const OpenedDocument again = documentFromResources(copy.resources);
    if (!again.error.empty() || !again.notes.empty()) std::abort();
    if (sourceOf(again.document) != sourceOf(opened.document)) std::abort();
    if (again.document.codeLines != opened.document.codeLines || !samePictures(again.document, opened.document)) {
        std::abort();
    }
    return 0;
}
