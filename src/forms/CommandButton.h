#pragma once
#include <functional>

#include "forms/Control.h"

namespace forms {

class CommandButton : public ControlOf<CommandButton> {
public:
    ControlKind kind() const override { return ControlKind::CommandButton; }
    std::string Caption;
    Font font{8.25f, false};
    bool Enabled = true;
    // Runs on a click; receives the button's Index (-1 outside an array).
    std::function<void(int16_t)> Click;
};

}  // namespace forms
