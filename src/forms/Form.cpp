#include "forms/Form.h"

#include <algorithm>

#include "forms/Application.h"
#include "forms/PictureBox.h"
#include "forms/Timer.h"

namespace forms {

Form::Form(Application& app, std::string name, ScaleUnit unit, float innerWidthTwips, float innerHeightTwips)
    : app_(app), name_(std::move(name)), unit_(unit) {
    designWidth_ = scaleWidth_ = innerWidthTwips / twipsPerUnit();
    designHeight_ = scaleHeight_ = innerHeightTwips / twipsPerUnit();
    app_.registerForm(*this);
}

Form::~Form() { app_.unregisterForm(*this); }

void Control::placeTwips(float left, float top, float width, float height) {
    const float perUnit = Container ? 15.0f : form_->twipsPerUnit();
    Left = left / perUnit;
    Top = top / perUnit;
    Width = width / perUnit;
    Height = height / perUnit;
}

void Form::changed() {
    app_.backend().formChanged(*this);
    app_.invalidate();
}

void Form::setInnerSize(float scaleWidth, float scaleHeight) {
    scaleWidth_ = scaleWidth;
    scaleHeight_ = scaleHeight;
}

void Form::Caption(const std::string& text) {
    caption_ = text;
    changed();
}

void Form::BorderStyle(forms::BorderStyle style) {
    border_ = style;
    changed();
}

void Form::Load() {
    if (loaded_) return;
    scaleWidth_ = designWidth_;
    scaleHeight_ = designHeight_;
    hiddenInLoad_ = false;
    resizedSinceLoad_ = false;
    createControls();
    loaded_ = true;
    Form_Load();
}

void Form::Show() {
    Load();
    const bool firstShow = !resizedSinceLoad_;
    visible_ = true;
    resizedSinceLoad_ = true;
    changed();
    if (firstShow) Form_Resize();
}

void Form::Hide() {
    hiddenInLoad_ = true;
    visible_ = false;
    changed();
}

void Form::Unload() {
    if (!loaded_) return;
    Form_Unload();
    for (Control* c : std::vector<Control*>(controls_)) release(*c);
    loaded_ = false;
    visible_ = false;
    destroyControls();
    // The game reloads its window for every game: the room a game at a high level needed for its
    // many enemies and their timers goes back, so each game starts as small as the first.
    controls_.shrink_to_fit();
    app_.shrinkToFit();
    app_.backend().formUnloaded(*this);
    app_.invalidate();
}

void Form::adopt(Control& c, std::string name, int16_t index) {
    c.Name = std::move(name);
    c.Index = index;
    c.form_ = this;
    c.alive_ = true;
    controls_.push_back(&c);
    if (c.kind() == ControlKind::Timer) app_.scheduler().add(static_cast<Timer&>(c));
}

void Form::release(Control& c) {
    if (!c.alive_) return;
    c.alive_ = false;
    std::erase(controls_, &c);
    if (c.kind() == ControlKind::Timer) {
        auto& t = static_cast<Timer&>(c);
        t.Enabled(false);
        app_.scheduler().remove(t);
    }
}

}  // namespace forms
