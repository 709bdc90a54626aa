#pragma once
// The controls of one of the player's windows, held in memory for the web
// page: their texts and whether they show, and which ids changed since the
// page last drew them. As in the player, a control that does not exist reads
// as empty and ignores writes.

#include <map>
#include <string_view>
#include <vector>

#include "grading/controls.h"

class SessionControls : public Controls {
public:
    void add(int id, std::string_view text = "", bool visible = true);

    Text text(int id) const override;
    void setText(int id, std::string_view text) override;
    void setVisible(int id, bool visible) override;

    [[nodiscard]] bool exists(int id) const { return controls_.count(id) != 0; }
    [[nodiscard]] bool visible(int id) const;
    [[nodiscard]] std::string_view textOf(int id) const;

    // Every control's id, in increasing order.
    [[nodiscard]] std::vector<int> ids() const;

    // The ids whose text or visibility changed since the last call, each once.
    std::vector<int> takeChanges();

private:
    struct Control {
        Text text;
        bool visible = true;
    };
    void changed(int id);

    std::map<int, Control> controls_;
    std::vector<int> changes_;
};
