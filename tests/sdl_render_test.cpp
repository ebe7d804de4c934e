// The SDL drawing and hit testing, off-screen: layering, clipping, transparency, word wrap, the
// same window on a high-density screen, and the game window's frames against approved ones.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <utility>

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
#include "forms/sdl/SdlScale.h"
#include "support/GameHarness.h"

namespace {

using namespace forms;
namespace fs = std::filesystem;
const fs::path Assets = fs::path(__FILE__).parent_path().parent_path() / "assets";  // the pictures and fonts it ships
using Surface = std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)>;

constexpr Color Window = SystemColor::ButtonFace, Text = SystemColor::ButtonText, Red = 0x000000FF, Blue = 0x00FF0000,
                Yellow = 0x0000FFFF, Magenta = 0x00FF00FF, Cyan = 0x00FFFF00, Dark = 0x00603010, Unset = 0xFFFFFFFF;

PictureRef picture(uint32_t rgba) {  // 4 x 4 pixels of `rgba` (bytes R, G, B, A), the top-left one transparent
    auto p = std::make_shared<Picture>(Picture{4, 4, std::vector<uint32_t>(16, rgba), ""});
    p->pixels[0] = 0;
    return p;
}

int count(const SDL_Surface* s, Color c, int left, int top, int right, int bottom) {  // pixels of `c` in the box
    const Rgb v = toRgb(c);
    const uint32_t want = SDL_MapRGB(s->format, v.r, v.g, v.b);
    int n = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) n += (static_cast<const uint32_t*>(s->pixels)[y * s->pitch / 4 + x] & 0xFFFFFF) == want;
    return n;
}

struct Harness { ManualClock clock; HeadlessBackend backend; Application application{clock, backend}; };  // before the window

// Pixels of the fixture at scale 1 and what they show.
const struct Probe { int x, y; Color c; const char* what; } Probes[] = {
    {170, 38, Blue, "label"}, {190, 30, Magenta, "shape above the label"}, {280, 40, Yellow, "circle"},
    {280, 3, Yellow, "circle top"}, {230, 40, Window, "beside the circle"}, {20, 80, Red, "stretched image"},
    {1, 61, Window, "transparent pixel"}, {61, 61, Red, "image"}, {64, 62, Window, "unstretched: only 4 x 4"},
    {140, 80, Window, "hidden shape"}, {300, 200, Dark, "panel"}, {300, 165, Window, "disabled button in the panel"},
    {222, 198, Dark, "panel above a later image"}, {335, 215, Blue, "its child"}, {345, 215, Window, "clipped by the panel"},
};

// The fixture is itself a started window of 450 x 225 pt (600 x 300 px; 1 pt = 4/3 px).
struct SdlRender : ::testing::Test, Harness, Form {
    SdlRender() : Form(application, "SdlRender", ScaleUnit::Point, 450 * 20, 225 * 20) { application.start(*this); }

    // Geometry in the container's unit: points on the window, pixels in a panel.
    template <class T>
    T& add(PictureBox* container, float left, float top, float width, float height, Color back = Unset) {
        T& c = static_cast<T&>(*owned.emplace_back(std::make_unique<T>()));
        c.Container = container, c.Left = left, c.Top = top, c.Width = width, c.Height = height;
        if constexpr (requires { c.BackColor; }) c.BackColor = back == Unset ? c.BackColor : back;
        adopt(c, "c" + std::to_string(owned.size()));
        return c;
    }
    void createControls() override {  // pixel bounds in the comments
        add<Label>(nullptr, 0, 0, 150, 30, Blue);                             // 0..200 x 0..40
        add<Shape>(nullptr, 135, 15, 15, 15, Magenta);                        // created later, so above the label
        add<Shape>(nullptr, 165, 0, 90, 60, Yellow).shape = ShapeKind::Circle;  // 220..340 x 0..80: diameter 80, centred
        stretched = &add<Image>(nullptr, 0, 45, 30, 30);                      // 0..40 x 60..100
        stretched->picture = picture(0xFF0000FF), stretched->Stretch = true;
        add<Image>(nullptr, 45, 45, 30, 30).picture = picture(0xFF0000FF);   // at its own 4 x 4 pixels from 60, 60
        add<Shape>(nullptr, 90, 45, 30, 30, Red).Visible = false;
        covered = &add<CommandButton>(nullptr, 120, 105, 45, 30);           // 160..220 x 140..180, partly under the panel
        auto& panel = add<PictureBox>(nullptr, 150, 105, 105, 75, Dark);      // 200..340 x 140..240
        ok = &add<CommandButton>(&panel, 10, 10, 60, 30);                   // 210..270 x 150..180
        add<CommandButton>(&panel, 80, 10, 40, 30).Enabled = false;          // 280..320 x 150..180
        halfOut = &add<CommandButton>(&panel, 50, 80, 60, 40);              // 250..310 x 220..260, clipped at 240
        add<Label>(&panel, 120, 70, 60, 20, Blue);                            // 320..380 x 210..230, clipped at 340
        add<Image>(nullptr, 165, 147, 30, 30).picture = picture(0xFF0000FF); // created after the panel, still beneath it
        auto& hidden = add<PictureBox>(nullptr, 60, 195, 45, 22);             // 80..140 x 260..290
        hidden.Visible = false;
        add<CommandButton>(&hidden, 0, 0, 40, 20);
        (oneWord = &add<Label>(nullptr, 300, 0, 60, 120))->Caption = "Wirbelsturm";  // 400..480 x 0..160, narrower than a word
        add<Label>(nullptr, 390, 0, 60, 120).Caption = "Wirbel Sturm";       // 520..600 x 0..160
    }
    void destroyControls() override { owned.clear(); }

    std::vector<std::unique_ptr<Control>> owned;
    CommandButton *ok = nullptr, *halfOut = nullptr, *covered = nullptr;
    Label* oneWord = nullptr;  // both changed between two frames
    Image* stretched = nullptr;
};

TEST_F(SdlRender, PaintsInLayersClipsToPanelsWrapsAndRedrawsWhatChanged) {
    OffscreenRenderer renderer(Assets.string());
    const SDL_Surface* s = renderer.render(*this);
    ASSERT_TRUE(s && s->w == 600 && s->h == 300);
    for (const auto& p : Probes) EXPECT_EQ(count(s, p.c, p.x, p.y, p.x + 1, p.y + 1), 1) << p.what << " at " << p.x << "," << p.y;
    // A long word is cut at the label's edge, not split onto line two; the second word goes there.
    EXPECT_GT(count(s, Text, 400, 0, 480, 40), 30);
    EXPECT_EQ(count(s, Text, 400, 40, 480, 160), 0);
    EXPECT_GT(count(s, Text, 520, 40, 600, 80), 30);

    // Cached texts and pictures must not outlive a change of colour or picture.
    oneWord->ForeColor = Cyan;
    const PictureRef before = std::exchange(stretched->picture, picture(0xFFFF0000));  // the old one still alive
    s = renderer.render(*this);
    EXPECT_GT(count(s, Cyan, 400, 0, 480, 40), 30);
    EXPECT_EQ(count(s, Blue, 20, 80, 21, 81), 1);
}

TEST_F(SdlRender, ClicksLandOnTheTopmostEnabledButton) {
    const struct { int x, y; CommandButton* button; const char* what; } clicks[] = {
        {240, 165, ok, "in a panel"}, {300, 165, nullptr, "disabled"}, {280, 230, halfOut, "half outside its panel"},
        {280, 250, nullptr, "clipped by its panel"}, {100, 270, nullptr, "its panel is hidden"}, {180, 160, covered, "uncovered"},
        {205, 145, nullptr, "the panel lies above the button"}, {500, 250, nullptr, "nothing there"},
    };
    for (const int scale : {1, 2}) {  // on a high-density screen everything doubles, panel contents included
        std::vector<sdl::Placed> placed;
        sdl::layOut(*this, float(scale), {0, 0, 600 * scale, 300 * scale}, placed);
        for (const auto& c : clicks) EXPECT_EQ(sdl::buttonAt(placed, c.x * scale, c.y * scale), c.button) << c.what << " x" << scale;
    }
}

// At scale 2 the words are rendered at twice the size, not blown up: "Sturm" on its line at
// 40..80 pixels is ink (blue 0xFA on 0x3C) over twice the rows, with as few half-covered pixels.
TEST_F(SdlRender, AtScaleTwoTextIsRenderedAtItsSizeNotBlownUp) {
    int rows[3] = {}, partial[3] = {};
    for (const int k : {1, 2}) {
        Surface s(renderOffscreen(*this, Assets.string(), float(k)), SDL_FreeSurface);
        ASSERT_TRUE(s && s->w == 600 * k && s->h == 300 * k);
        for (int y = 40 * k; y < 80 * k; ++y) {
            bool inked = false;
            for (int x = 520 * k; x < 600 * k; ++x) {
                const uint32_t px = static_cast<const uint32_t*>(s->pixels)[y * s->pitch / 4 + x] & 0xFF;
                inked |= px > 0xD0, partial[k] += px > 0x50 && px <= 0xD0;
            }
            rows[k] += inked;
        }
    }
    EXPECT_NEAR(rows[2], 2 * rows[1], 3);
    EXPECT_LT(partial[2], 3 * partial[1]) << "blurred, as a bitmap blown up";
}

// Then the largest quarter step whose window of 907 x 788 design pixels, frame included, fits.
TEST(SdlScale, ForcedThenXftDpiThenGdkScaleOnX11ThenWhatFits) {
    const struct { sdl::ScaleHints hints; float scale; const char* what; } cases[] = {
        {{"2", "Xft.dpi:\t96\n", "", "x11", 0, 1920, 1080, 2, 25}, 2, "forced wins, even where it does not fit"},
        {{"1.5", "", "", "wayland", 0}, 1.5f, "forced, fractional, anywhere"},
        {{"abc", "Xft.dpi:\t192\n", "", "x11", 0}, 2, "a forced value that is no number falls back"},
        {{"9", "", "", "x11", 0}, 1, "a forced value out of range falls back"},
        {{"", "Xcursor.size:\t24\nXft.dpi:\t144\nXft.antialias:\t1\n", "2", "x11", 0}, 1.5f, "Xft.dpi before GDK_SCALE"},
        {{"", "Xft.dpi:\t100\n", "", "x11", 0}, 1, "near 96: quarter steps keep pictures crisp"},
        {{"", "Xft.dpi:\t72\n", "", "x11", 0}, 1, "never below the designed size"},
        {{"", "Xft.dpi:\tbig\n", "2", "x11", 0}, 2, "GDK_SCALE when Xft.dpi says nothing"},
        {{"", "", "1.5", "x11", 0}, 1, "GDK_SCALE is whole"},
        {{"", "", "", "x11", 192}, 1, "the monitor's own DPI is not trusted on X11"},
        {{"", "", "", "windows", 144}, 1.5f, "Windows: the display's DPI"},
        {{"", "Xft.dpi:\t192\n", "2", "wayland", 192}, 1, "Wayland scales through the drawable"},
        {{"", "Xft.dpi:\t144\n", "", "x11", 0, 1920, 1080, 2, 25}, 1.25f, "1361 x 1182 is too high for 1080"},
        {{"", "", "", "windows", 144, 1920, 1008, 22, 56}, 1, "1.25 fits above the task bar only without the frame"},
        {{"", "Xft.dpi:\t192\n", "", "x11", 0, 2000, 1700, 2, 25}, 2, "1814 x 1576 fits"},
        {{"", "", "", "x11", 0, 682, 616, 2, 25}, 0.75f, "below 1 on a screen smaller than the design, to the pixel"},
        {{"", "", "", "windows", 96, 700, 1000, 22, 56}, 0.5f, "0.5 at least, here as 0.75 is too wide with its frame"},
        {{"", "", "", "x11", 0, 907, 788, 2, 25}, 1, "never below 1 on a screen the size of the design"},
    };
    for (const auto& c : cases) EXPECT_EQ(sdl::chooseScale(c.hints, 907, 788), c.scale) << c.what;
}

// The game window's frame against tests/data/NAME.bmp (also read by the real-window tests), both
// averaged down to 226 x 197, so that text from another FreeType build still matches while a
// missing label, or a picture or colour out of place, does not. At scale 2 text hinted at its own
// size moves a block by up to 95 of 255, a picture drawn at the unscaled size or place far more.
// KREISELSTURM_APPROVE=1 writes the files anew from the frames at scale 1: look at them first.
void expectApproved(const SDL_Surface* frame, const std::string& name) {
    const int k = frame->w / 226;
    Surface small(SDL_CreateRGBSurfaceWithFormat(0, 226, 197, 24, SDL_PIXELFORMAT_RGB24), SDL_FreeSurface);
    auto at = [](const SDL_Surface* s, int i) -> uint8_t& { return static_cast<uint8_t*>(s->pixels)[i / 678 * s->pitch + i % 678]; };
    for (int i = 0; i < 678 * 197; ++i) {  // RGB24 keeps red first, RGB888 in its lowest byte blue
        int sum = 0;
        for (int j = 0; j < k * k; ++j)
            sum += (static_cast<const uint32_t*>(frame->pixels)[(i / 678 * k + j / k) * frame->pitch / 4 + i % 678 / 3 * k + j % k] >> (16 - i % 3 * 8)) & 0xFF;
        at(small.get(), i) = uint8_t(sum / (k * k));
    }
    const std::string file = (fs::path(__FILE__).parent_path() / "data" / (name + ".bmp")).string();
    if (std::getenv("KREISELSTURM_APPROVE") && k == 4) { ASSERT_EQ(SDL_SaveBMP(small.get(), file.c_str()), 0) << SDL_GetError(); }
    Surface loaded(SDL_LoadBMP(file.c_str()), SDL_FreeSurface);
    ASSERT_TRUE(loaded && loaded->w == 226 && loaded->h == 197) << file << ": " << SDL_GetError();
    Surface approved(SDL_ConvertSurfaceFormat(loaded.get(), SDL_PIXELFORMAT_RGB24, 0), SDL_FreeSurface);
    int differing = 0, first = -1;
    for (int i = 0; i < 678 * 197; ++i)
        if (std::abs(at(small.get(), i) - at(approved.get(), i)) > (k == 4 ? 24 : 96) && differing++ == 0) first = i;
    EXPECT_EQ(differing, 0) << name << " at scale " << k / 4 << ", first at pixel " << first % 678 / 3 * k << "," << first / 678 * k;
}

// With the random source at its middle value throughout, the enemies come straight at the
// sprite standing in the middle: the third hit shows the table.
TEST(GameWindow, StartScreenGameAndTableLookAsApproved) {
    GameHarness h;
    for (const auto& f : fs::directory_iterator(Assets)) fs::copy_file(f, h.file(f.path().filename().string()), fs::copy_options::overwrite_existing);
    h.start();
    OffscreenRenderer renderer(Assets.string());
    expectApproved(renderer.render(*h.form1), "start_screen");
    expectApproved(renderer.render(*h.form1, 2), "start_screen");  // everything twice as large, in its place
    h.click(h.ui().Command1[1]);  // ">"
    h.click(h.ui().Command1[2]);  // "Start"
    h.advance(4500);
    expectApproved(renderer.render(*h.form1), "game");
    for (int s = 0; s < 300 && !h.ui().Highscore.Visible; ++s) h.advance(1000);
    h.advance(1500);  // the lives number has slid back in, at 0
    expectApproved(renderer.render(*h.form1), "table");
}

}  // namespace
