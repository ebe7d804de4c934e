// The SDL drawing and hit testing, off-screen: layering, clipping, transparency, units.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "forms/Application.h"
#include "forms/CommandButton.h"
#include "forms/Form.h"
#include "forms/Image.h"
#include "forms/Label.h"
#include "forms/PictureBox.h"
#include "forms/Shape.h"
#include "forms/headless/HeadlessBackend.h"
#include "forms/sdl/Offscreen.h"
#include "forms/sdl/SdlLayout.h"

namespace {

using namespace forms;

// The fonts the program ships, beside the sources.
const std::string FontFolder = std::filesystem::path(__FILE__).parent_path().parent_path() / "assets";

// A window in points (1 pt = 4/3 px) whose controls a test adds in its build function.
class TestForm : public Form {
public:
    TestForm(Application& app, float widthPt, float heightPt, std::function<void(TestForm&)> build)
        : Form(app, "TestForm", ScaleUnit::Point, widthPt * 20, heightPt * 20), build_(std::move(build)) {}

    // Geometry in the container's unit: points on the window, pixels in a panel.
    template <class T>
    T& add(PictureBox* container, float left, float top, float width, float height) {
        auto control = std::make_unique<T>();
        T& c = *control;
        c.Container = container;
        c.Left = left, c.Top = top, c.Width = width, c.Height = height;
        adopt(c, "c" + std::to_string(owned_.size()));
        owned_.push_back(std::move(control));
        return c;
    }

protected:
    void createControls() override { build_(*this); }
    void destroyControls() override { owned_.clear(); }

private:
    std::function<void(TestForm&)> build_;
    std::vector<std::unique_ptr<Control>> owned_;
};

// size x size pixels of `rgba` (bytes R, G, B, A in memory) with transparent corners.
PictureRef cornerless(int size, uint32_t rgba) {
    auto p = std::make_shared<Picture>();
    p->width = p->height = size;
    p->pixels.assign(size_t(size) * size, rgba);
    for (int y : {0, size - 1})
        for (int x : {0, size - 1}) p->pixels[size_t(y) * size + x] = 0;
    return p;
}

uint32_t rgb(Color c) {
    const Rgb v = toRgb(c);
    return uint32_t(v.r) << 16 | v.g << 8 | v.b;
}

uint32_t pixel(const SDL_Surface* s, int x, int y) {
    return static_cast<const uint32_t*>(s->pixels)[y * (s->pitch / 4) + x] & 0xFFFFFF;
}

struct App {
    ManualClock clock;
    HeadlessBackend backend;
    Application app{clock, backend};
};

TEST(SdlRender, PaintsEachKindInLayersAndClipsToPanels) {
    constexpr Color Window = SystemColor::ButtonFace, LabelBack = 0x00204080, White = 0x00FFFFFF, Yellow = 0x0000FFFF,
                    Magenta = 0x00FF00FF, Red = 0x000000FF, PanelBack = 0x00603010, Blue = 0x00FF0000, Green = 0x0000FF00;
    const PictureRef red = cornerless(4, 0xFF0000FF);
    App a;
    TestForm form(a.app, 300, 225, [&](TestForm& f) {  // 400 x 300 pixels
        auto& label = f.add<Label>(nullptr, 0, 0, 150, 30);
        label.Caption = "Wirbel";
        label.BackColor = LabelBack;
        label.ForeColor = White;
        f.add<Shape>(nullptr, 135, 15, 15, 15).BackColor = Magenta;  // later, so above the label
        auto& circle = f.add<Shape>(nullptr, 165, 0, 90, 60);         // 120 x 80 px: diameter 80, centred
        circle.shape = ShapeKind::Circle;
        circle.BackColor = Yellow;
        auto& stretched = f.add<Image>(nullptr, 0, 45, 30, 30);
        stretched.picture = red;
        stretched.Stretch = true;
        f.add<Image>(nullptr, 45, 45, 30, 30).picture = red;  // at its own 4 x 4 pixels
        auto& hidden = f.add<Shape>(nullptr, 90, 45, 30, 30);
        hidden.BackColor = Green;
        hidden.Visible = false;

        auto& panel = f.add<PictureBox>(nullptr, 150, 105, 105, 75);  // pixels 200..340 x 140..240
        panel.BackColor = PanelBack;
        f.add<CommandButton>(&panel, 10, 10, 60, 30).Caption = "OK";
        auto& overhang = f.add<Label>(&panel, 120, 70, 60, 20);  // sticks out 40 px to the right
        overhang.BackColor = Blue;
        // An image created after the panel still lies beneath it.
        auto& under = f.add<Image>(nullptr, 165, 147, 30, 30);
        under.picture = red;
        under.Stretch = true;

        auto& offLeft = f.add<PictureBox>(nullptr, -15, 165, 45, 30);  // pixels -20..40 x 220..260
        offLeft.BackColor = PanelBack;
        f.add<Label>(&offLeft, 0, 0, 30, 40).BackColor = Green;  // pixels -20..10 in the window
    });
    a.app.start(form);

    std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)> s(renderOffscreen(form, FontFolder), SDL_FreeSurface);
    ASSERT_TRUE(s);
    ASSERT_EQ(s->w, 400);
    ASSERT_EQ(s->h, 300);

    EXPECT_EQ(pixel(s.get(), 170, 38), rgb(LabelBack));
    EXPECT_EQ(pixel(s.get(), 190, 30), rgb(Magenta));
    int textPixels = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 200; ++x) textPixels += pixel(s.get(), x, y) == rgb(White);
    EXPECT_GT(textPixels, 50) << "the caption is drawn in its fore colour";

    EXPECT_EQ(pixel(s.get(), 280, 40), rgb(Yellow));
    EXPECT_EQ(pixel(s.get(), 280, 3), rgb(Yellow));
    EXPECT_EQ(pixel(s.get(), 230, 40), rgb(Window)) << "inside the shape's rectangle, outside the circle";
    EXPECT_EQ(pixel(s.get(), 243, 3), rgb(Window)) << "corner of the circle's square";

    EXPECT_EQ(pixel(s.get(), 20, 80), rgb(Red));
    EXPECT_EQ(pixel(s.get(), 1, 61), rgb(Window)) << "a transparent corner shows the window";
    EXPECT_EQ(pixel(s.get(), 61, 61), rgb(Red));
    EXPECT_EQ(pixel(s.get(), 63, 63), rgb(Window));
    EXPECT_EQ(pixel(s.get(), 64, 62), rgb(Window)) << "not stretched: only 4 x 4 pixels";
    EXPECT_EQ(pixel(s.get(), 140, 80), rgb(Window)) << "a hidden control is not drawn";

    EXPECT_EQ(pixel(s.get(), 300, 160), rgb(PanelBack));
    EXPECT_NE(pixel(s.get(), 240, 165), rgb(PanelBack)) << "the button inside the panel";
    EXPECT_EQ(pixel(s.get(), 240, 215), rgb(PanelBack)) << "the panel covers a later image";
    EXPECT_EQ(pixel(s.get(), 335, 215), rgb(Blue));
    EXPECT_EQ(pixel(s.get(), 345, 215), rgb(Window)) << "the panel clips its child";
    EXPECT_EQ(pixel(s.get(), 5, 230), rgb(Green));
    EXPECT_EQ(pixel(s.get(), 15, 230), rgb(PanelBack));
}

// Pixels of colour `c` in rows [top, bottom) of columns [left, right).
int count(const SDL_Surface* s, Color c, int left, int top, int right, int bottom) {
    int n = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) n += pixel(s, x, y) == rgb(c);
    return n;
}

TEST(SdlRender, WrapsAtSpacesAndRedrawsWhatChanged) {
    constexpr Color White = 0x00FFFFFF, Cyan = 0x00FFFF00, Red = 0x000000FF, Blue = 0x00FF0000;
    App a;
    Label *oneWord = nullptr, *twoWords = nullptr;
    Image* image = nullptr;
    TestForm form(a.app, 300, 150, [&](TestForm& f) {  // 400 x 200 pixels
        oneWord = &f.add<Label>(nullptr, 0, 0, 60, 120);  // 80 px: narrower than either word
        oneWord->Caption = "Wirbelsturm";
        twoWords = &f.add<Label>(nullptr, 90, 0, 60, 120);
        twoWords->Caption = "Wirbel Sturm";
        for (Label* l : {oneWord, twoWords}) l->ForeColor = White;
        image = &f.add<Image>(nullptr, 180, 0, 30, 30);
        image->picture = cornerless(4, 0xFF0000FF);
        image->Stretch = true;
    });
    a.app.start(form);

    OffscreenRenderer renderer(FontFolder);
    const SDL_Surface* s = renderer.render(form);
    ASSERT_TRUE(s);
    // Line one holds "Wirbel" (cut at the label's edge); a long word is not split onto line two.
    EXPECT_GT(count(s, White, 0, 0, 80, 40), 30);
    EXPECT_EQ(count(s, White, 0, 40, 80, 160), 0);
    EXPECT_GT(count(s, White, 120, 40, 200, 80), 30) << "the second word goes to line two";
    EXPECT_EQ(pixel(s, 260, 20), rgb(Red));

    // Cached texts and pictures must not outlive a change of colour or picture.
    oneWord->ForeColor = Cyan;
    image->picture = cornerless(4, 0xFFFF0000);
    s = renderer.render(form);
    EXPECT_GT(count(s, Cyan, 0, 0, 80, 40), 30);
    EXPECT_EQ(count(s, White, 0, 0, 80, 40), 0);
    EXPECT_EQ(pixel(s, 260, 20), rgb(Blue));
}

TEST(SdlRender, ClicksLandOnTheTopmostEnabledButton) {
    App a;
    CommandButton *enabled = nullptr, *disabled = nullptr, *halfOut = nullptr, *covered = nullptr;
    TestForm form(a.app, 300, 225, [&](TestForm& f) {
        covered = &f.add<CommandButton>(nullptr, 0, 0, 90, 30);  // 120 x 40 px
        auto& panel = f.add<PictureBox>(nullptr, 60, 0, 150, 75);  // pixels 80..280 x 0..100
        enabled = &f.add<CommandButton>(&panel, 50, 10, 60, 30);
        disabled = &f.add<CommandButton>(&panel, 120, 10, 40, 30);
        disabled->Enabled = false;
        halfOut = &f.add<CommandButton>(&panel, 50, 80, 60, 40);  // lower half outside the panel
        auto& hiddenPanel = f.add<PictureBox>(nullptr, 0, 150, 60, 60);
        hiddenPanel.Visible = false;
        f.add<CommandButton>(&hiddenPanel, 0, 0, 40, 40);
    });
    a.app.start(form);

    std::vector<sdl::Placed> placed;
    sdl::layOut(form, 1.0f, {0, 0, 400, 300}, placed);
    EXPECT_EQ(sdl::buttonAt(placed, 150, 25), enabled);
    EXPECT_EQ(sdl::buttonAt(placed, 220, 25), nullptr) << "disabled";
    EXPECT_EQ(sdl::buttonAt(placed, 150, 90), halfOut);
    EXPECT_EQ(sdl::buttonAt(placed, 150, 110), nullptr) << "clipped by its panel";
    EXPECT_EQ(sdl::buttonAt(placed, 20, 220), nullptr) << "its panel is hidden";
    EXPECT_EQ(sdl::buttonAt(placed, 40, 20), covered);
    EXPECT_EQ(sdl::buttonAt(placed, 100, 20), nullptr) << "the panel lies above the button";
    EXPECT_EQ(sdl::buttonAt(placed, 300, 20), nullptr);

    // On a high-density screen everything doubles, panel contents included.
    sdl::layOut(form, 2.0f, {0, 0, 800, 600}, placed);
    EXPECT_EQ(sdl::buttonAt(placed, 300, 50), enabled);
    EXPECT_EQ(sdl::buttonAt(placed, 300, 220), nullptr);
}

}  // namespace
