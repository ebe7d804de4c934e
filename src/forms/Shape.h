#pragma once
#include "forms/Color.h"
#include "forms/Control.h"

namespace forms {

enum class ShapeKind { Rectangle, Circle };

// A filled figure. A circle is the largest circle centred in the control's rectangle.
class Shape : public ControlOf<Shape> {
public:
    ControlKind kind() const override { return ControlKind::Shape; }
    ShapeKind shape = ShapeKind::Rectangle;
    Color BackColor = 0x00FFFFFF;  // the fill colour
};

}  // namespace forms
