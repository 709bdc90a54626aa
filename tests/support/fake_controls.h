#pragma once
// Controls held in a map, standing in for a panel's real windows.

#include <map>
#include <string_view>

#include "grading/controls.h"

class FakeControls : public Controls {
public:
    struct Control {
        Text text;
        bool visible = true;
    };

    void add(int id, std::string_view text = "", bool visible = true) { controls_[id] = {Text(text), visible}; }

    Text text(int id) const override;
    void setText(int id, std::string_view text) override;
    void setVisible(int id, bool visible) override;

    [[nodiscard]] bool exists(int id) const { return controls_.count(id) != 0; }
    [[nodiscard]] bool visible(int id) const;
    [[nodiscard]] std::string_view textOf(int id) const;

private:
    std::map<int, Control> controls_;
};
