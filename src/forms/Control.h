#pragma once
// Common base of every control. Geometry is single precision in the unit of the container:
// points on the game window, pixels inside a panel, twips on the update window.
#include <cstdint>
#include <memory>
#include <string>

namespace forms {

class Form;
class PictureBox;

enum class ControlKind { Label, Image, Shape, CommandButton, PictureBox, Timer };

class Control {
public:
    virtual ~Control() = default;
    virtual ControlKind kind() const = 0;
    // A hidden copy with the same properties and handlers, for control arrays.
    virtual std::unique_ptr<Control> clone() const = 0;

    std::string Name;
    int16_t Index = -1;  // -1: not part of a control array
    PictureBox* Container = nullptr;  // nullptr: placed directly on the window

    float Left = 0, Top = 0, Width = 0, Height = 0;
    bool Visible = true;
    std::string Tag;

    Form* form() const { return form_; }
    // False once the control was unloaded (or its window was): it must not be used any more.
    bool alive() const { return alive_; }

    // Places the control from its design geometry in twips, in its container's unit.
    void placeTwips(float left, float top, float width, float height);

protected:
    Control() = default;
    Control(const Control&) = default;
    Control& operator=(const Control&) = default;

private:
    friend class Form;
    friend class Application;
    Form* form_ = nullptr;
    bool alive_ = false;
};

template <class Derived>
class ControlOf : public Control {
public:
    std::unique_ptr<Control> clone() const override { return std::make_unique<Derived>(static_cast<const Derived&>(*this)); }
};

struct Font {
    float sizePt = 8.25f;
    bool bold = false;
};

enum class Alignment { Left, Center };
enum class BackStyle { Transparent, Opaque };

}  // namespace forms
