#pragma once
#include "forms/Control.h"
#include "forms/Picture.h"

namespace forms {

class Image : public ControlOf<Image> {
public:
    ControlKind kind() const override { return ControlKind::Image; }
    PictureRef picture;
    bool Stretch = false;  // with stretch the picture fills the control, else it is drawn at its own size
};

}  // namespace forms
