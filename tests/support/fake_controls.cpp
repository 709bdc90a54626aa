#include "tests/support/fake_controls.h"

Text FakeControls::text(int id) const {
    const auto found = controls_.find(id);
    return found == controls_.end() ? Text{} : found->second.text;
}

void FakeControls::setText(int id, std::string_view text) {
    if (auto found = controls_.find(id); found != controls_.end()) found->second.text.assign(text);
}

void FakeControls::setVisible(int id, bool visible) {
    if (auto found = controls_.find(id); found != controls_.end()) found->second.visible = visible;
}

bool FakeControls::visible(int id) const {
    const auto found = controls_.find(id);
    return found != controls_.end() && found->second.visible;
}

std::string_view FakeControls::textOf(int id) const {
    const auto found = controls_.find(id);
    return found == controls_.end() ? std::string_view{} : found->second.text.view();
}
