#pragma once
#include "forms/Color.h"
#include "forms/Control.h"

namespace forms {

class Label : public ControlOf<Label> {
public:
    ControlKind kind() const override { return ControlKind::Label; }
    std::string Caption;
    Font font{24.0f, false};
    Alignment alignment = Alignment::Left;
    Color ForeColor = SystemColor::ButtonText;
    Color BackColor = SystemColor::ButtonFace;
    BackStyle backStyle = BackStyle::Opaque;
};

}  // namespace forms
