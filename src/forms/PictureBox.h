#pragma once
#include "forms/Color.h"
#include "forms/Control.h"
#include "forms/Picture.h"

namespace forms {

// A panel. Its children measure in pixels. `picture` is shown at its own size from the top-left
// corner; `background` is painted stretched over the whole inner area, beneath the picture.
class PictureBox : public ControlOf<PictureBox> {
public:
    ControlKind kind() const override { return ControlKind::PictureBox; }
    PictureRef picture;
    PictureRef background;
    Color BackColor = SystemColor::ButtonFace;
};

}  // namespace forms
