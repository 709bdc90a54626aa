#include "session/session_controls.h"

#include <algorithm>

void SessionControls::add(int id, std::string_view text, bool visible) {
    controls_[id] = {Text(text), visible};
    changed(id);
}

Text SessionControls::text(int id) const {
    const auto found = controls_.find(id);
    return found == controls_.end() ? Text() : found->second.text;
}

void SessionControls::setText(int id, std::string_view text) {
    const auto found = controls_.find(id);
    if (found == controls_.end() || found->second.text == Text(text)) return;
    found->second.text.assign(text);
    changed(id);
}

void SessionControls::setVisible(int id, bool visible) {
    const auto found = controls_.find(id);
    if (found == controls_.end() || found->second.visible == visible) return;
    found->second.visible = visible;
    changed(id);
}

bool SessionControls::visible(int id) const {
    const auto found = controls_.find(id);
    return found != controls_.end() && found->second.visible;
}

std::string_view SessionControls::textOf(int id) const {
    const auto found = controls_.find(id);
    return found == controls_.end() ? std::string_view() : found->second.text.view();
}

std::vector<int> SessionControls::takeChanges() {
    std::vector<int> taken;
    taken.swap(changes_);
    return taken;
}

void SessionControls::changed(int id) {
    if (std::find(changes_.begin(), changes_.end(), id) == changes_.end()) changes_.push_back(id);
}

std::vector<int> SessionControls::ids() const {
    std::vector<int> all;
    all.reserve(controls_.size());
    for (const auto& [id, control] : controls_) all.push_back(id);
    return all;
}
