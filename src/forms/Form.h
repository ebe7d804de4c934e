#pragma once
// A window. Its controls live in an object of the derived class that `createControls` makes on
// Load and `destroyControls` hands back on Unload, so a window can be unloaded and loaded again
// with fresh controls while its own variables survive.
#include <cstdint>
#include <string>
#include <vector>

#include "forms/Control.h"
#include "forms/Picture.h"

namespace forms {

class Application;

enum class ScaleUnit { Point, Twip };
enum class BorderStyle { None = 0, FixedSingle = 1, Sizable = 2, FixedDialog = 3 };

class Form {
public:
    // The inner size is given in twips, as designed.
    Form(Application& app, std::string name, ScaleUnit unit, float innerWidthTwips, float innerHeightTwips);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    Application& app() const { return app_; }
    const std::string& name() const { return name_; }
    ScaleUnit unit() const { return unit_; }
    // Pixels per unit of this window at 96 dots per inch.
    float pixelsPerUnit() const { return unit_ == ScaleUnit::Point ? 4.0f / 3.0f : 1.0f / 15.0f; }
    float twipsPerUnit() const { return unit_ == ScaleUnit::Point ? 20.0f : 1.0f; }

    float ScaleWidth() const { return scaleWidth_; }
    float ScaleHeight() const { return scaleHeight_; }
    void setInnerSize(float scaleWidth, float scaleHeight);  // by the backend, before Form_Resize

    const std::string& Caption() const { return caption_; }
    void Caption(const std::string& text);
    forms::BorderStyle BorderStyle() const { return border_; }
    void BorderStyle(forms::BorderStyle style);
    bool centredOnScreen = false;
    bool showInTaskbar = true;
    PictureRef icon;

    bool loaded() const { return loaded_; }
    bool Visible() const { return visible_; }
    // True when the Load handler hid the window: then the start-up does not show it.
    bool hiddenDuringLoad() const { return hiddenInLoad_; }
    void Load();
    void Show();
    void Hide();
    void Unload();

    // Every control in creation order, array elements counting as controls of their own.
    const std::vector<Control*>& controls() const { return controls_; }
    void adopt(Control& c, std::string name, int16_t index = -1);
    void release(Control& c);

    // Called by the Application with input for this window.
    void raiseKeyDown(int16_t key, int16_t shift) { Form_KeyDown(key, shift); }
    void raiseKeyUp(int16_t key, int16_t shift) { Form_KeyUp(key, shift); }
    void raiseResize() { Form_Resize(); }

protected:
    virtual void createControls() = 0;
    virtual void destroyControls() = 0;
    virtual void Form_Load() {}
    virtual void Form_Resize() {}
    virtual void Form_Unload() {}
    virtual void Form_KeyDown(int16_t key, int16_t shift) { (void)key, (void)shift; }
    virtual void Form_KeyUp(int16_t key, int16_t shift) { (void)key, (void)shift; }

private:
    void changed();

    Application& app_;
    std::string name_;
    ScaleUnit unit_;
    float designWidth_, designHeight_;
    float scaleWidth_, scaleHeight_;
    std::string caption_;
    forms::BorderStyle border_ = forms::BorderStyle::Sizable;
    bool loaded_ = false;
    bool visible_ = false;
    bool hiddenInLoad_ = false;
    bool resizedSinceLoad_ = false;
    std::vector<Control*> controls_;
};

}  // namespace forms
