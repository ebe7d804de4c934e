// Gamepads in the SDL backend, with SDL's virtual controller and no display (the dummy video
// driver): the D-pad and the left stick are the arrow keys, A clicks the focused button, Back is
// the escape key, and pads come and go at any time.
#include <gtest/gtest.h>

#include <SDL.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "forms/Application.h"
#include "forms/CommandButton.h"
#include "forms/Form.h"
#include "forms/PictureBox.h"
#include "forms/sdl/SdlBackend.h"
#include "support/GameHarness.h"

namespace {

using namespace forms;

// A start panel with "<" (disabled), "Start" and ">" and a hidden highscore panel whose
// "Restart" comes first, as on the game window. Records key events and clicks as text.
struct PadForm : Form {
    explicit PadForm(Application& app) : Form(app, "PadForm", ScaleUnit::Point, 400 * 20, 300 * 20) {}

    CommandButton& button(PictureBox& panel, const char* caption, float left, bool enabled = true) {
        auto& b = static_cast<CommandButton&>(*owned.emplace_back(std::make_unique<CommandButton>()));
        b.Container = &panel, b.Caption = caption, b.Left = left, b.Top = 10, b.Width = 40, b.Height = 20, b.Enabled = enabled;
        b.Click = [this, caption](int16_t) { log.push_back(std::string("click ") + caption); };
        adopt(b, caption);
        return b;
    }
    PictureBox& panel(bool visible) {
        auto& p = static_cast<PictureBox&>(*owned.emplace_back(std::make_unique<PictureBox>()));
        p.Width = 300, p.Height = 100, p.Visible = visible;
        adopt(p, "panel" + std::to_string(owned.size()));
        return p;
    }
    void createControls() override {
        highscore = &panel(false);
        restart = &button(*highscore, "Restart", 10);
        splash = &panel(true);
        back = &button(*splash, "<", 10, false);
        button(*splash, "Start", 60);
        next = &button(*splash, ">", 110);
    }
    void destroyControls() override { owned.clear(); }
    void Form_KeyDown(int16_t key, int16_t) override { log.push_back("down " + std::to_string(key)); }
    void Form_KeyUp(int16_t key, int16_t) override { log.push_back("up " + std::to_string(key)); }

    std::vector<std::unique_ptr<Control>> owned;
    PictureBox *highscore = nullptr, *splash = nullptr;
    CommandButton *restart = nullptr, *back = nullptr, *next = nullptr;
    std::vector<std::string> log;
};

// SDL with the dummy display and a virtual pad that the test plugs in and out.
struct PadRig : ::testing::Test {
    static void SetUpTestSuite() {
        SDL_setenv("SDL_VIDEODRIVER", "dummy", 1);
        // The dummy driver never gives a window the focus, and without it SDL holds back pads.
        SDL_setenv("SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS", "1", 1);
        SDL_setenv("KREISELSTURM_SCALE", "", 1);  // clicks below are in design pixels
    }

    ~PadRig() override { unplug(); }

    void plug() {
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        device = SDL_JoystickAttachVirtualEx(&desc);
        ASSERT_GE(device, 0) << SDL_GetError();
        joystick = SDL_JoystickOpen(device);
        ASSERT_TRUE(joystick) << SDL_GetError();
        events();
    }
    std::vector<std::string> unplug() {
        if (!joystick) return {};
        SDL_JoystickClose(joystick);
        SDL_JoystickDetachVirtual(device);
        joystick = nullptr;
        return events();
    }
    // Hands what SDL has queued to the backend; returns what the window logged since the last call.
    std::vector<std::string> events() {
        backend.waitForEvents(app, 0);
        return taken();
    }
    virtual std::vector<std::string> taken() { return {}; }
    std::vector<std::string> button(SDL_GameControllerButton b, bool down) {
        SDL_JoystickSetVirtualButton(joystick, b, down);
        return events();
    }
    std::vector<std::string> stick(int x, int y) {
        SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_LEFTX, Sint16(x));
        SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_LEFTY, Sint16(y));
        return events();
    }

    static Uint32 windowId() {  // the form's window, the only one
        for (Uint32 id = 1; id < 100; ++id)
            if (SDL_GetWindowFromID(id)) return id;
        return 0;
    }

    ManualClock clock;
    SdlBackend backend{std::filesystem::path(__FILE__).parent_path().parent_path() / "assets"};
    Application app{clock, backend};
    int device = -1;
    SDL_Joystick* joystick = nullptr;
};

struct Gamepad : PadRig {
    Gamepad() { app.start(form); }
    std::vector<std::string> taken() override { return std::exchange(form.log, {}); }
    PadForm form{app};
};

using Log = std::vector<std::string>;

TEST_F(Gamepad, DpadAndStickAreTheArrowKeys) {
    plug();
    const struct { SDL_GameControllerButton button; int x, y; bool down; Log keys; const char* what; } steps[] = {
        {SDL_CONTROLLER_BUTTON_DPAD_LEFT, 0, 0, true, {"down 37"}, "D-pad left"},
        {SDL_CONTROLLER_BUTTON_DPAD_UP, 0, 0, true, {"down 38"}, "and up: a diagonal"},
        {SDL_CONTROLLER_BUTTON_DPAD_LEFT, 0, 0, false, {"up 37"}, "left let go"},
        {SDL_CONTROLLER_BUTTON_DPAD_UP, 0, 0, false, {"up 38"}, "up let go"},
        {SDL_CONTROLLER_BUTTON_INVALID, -9000, 5000, false, {}, "stick in the dead zone"},
        {SDL_CONTROLLER_BUTTON_INVALID, -20000, 5000, false, {"down 37"}, "stick left"},
        {SDL_CONTROLLER_BUTTON_INVALID, -12000, 5000, false, {}, "easing back, still held"},
        {SDL_CONTROLLER_BUTTON_INVALID, -23000, 23000, false, {"down 40"}, "down and left"},
        {SDL_CONTROLLER_BUTTON_DPAD_LEFT, -23000, 23000, true, {}, "the D-pad holds left too"},
        {SDL_CONTROLLER_BUTTON_INVALID, 0, 23000, true, {}, "the stick lets go of left, the D-pad does not"},
        {SDL_CONTROLLER_BUTTON_DPAD_LEFT, 0, 23000, false, {"up 37"}, "nothing holds left"},
        {SDL_CONTROLLER_BUTTON_INVALID, 23000, -23000, false, {"down 39", "up 40", "down 38"}, "across to up and right (x moves first)"},
        {SDL_CONTROLLER_BUTTON_INVALID, 0, 0, false, {"up 39", "up 38"}, "centred"},
    };
    for (const auto& s : steps) {
        if (s.button != SDL_CONTROLLER_BUTTON_INVALID) SDL_JoystickSetVirtualButton(joystick, s.button, s.down);
        EXPECT_EQ(stick(s.x, s.y), s.keys) << s.what;
    }
}

TEST_F(Gamepad, HeldDirectionRepeatsAndEndsWhenThePadGoes) {
    plug();
    EXPECT_EQ(button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true), Log{"down 39"});
    app.advance(Application::RepeatDelayMs + Application::RepeatRateMs);  // the keyboard's own repeat
    EXPECT_EQ(events(), (Log{"down 39", "down 39"}));
    EXPECT_EQ(unplug(), Log{"up 39"}) << "unplugging lets go of right";
    app.advance(1000);
    EXPECT_EQ(events(), Log{}) << "no repeat after the pad is gone";
    plug();  // plugged in again: it steers again
    EXPECT_EQ(button(SDL_CONTROLLER_BUTTON_DPAD_DOWN, true), Log{"down 40"});
    // A removal that SDL reports without first letting go of the buttons.
    SDL_Event removed{};
    removed.cdevice = {SDL_CONTROLLERDEVICEREMOVED, 0, SDL_JoystickInstanceID(joystick)};
    SDL_PushEvent(&removed);
    EXPECT_EQ(events(), Log{"up 40"});
}

TEST_F(Gamepad, AClicksTheFocusedButtonAndBackIsEscape) {
    plug();
    EXPECT_EQ(button(SDL_CONTROLLER_BUTTON_A, true), Log{"click Start"}) << "the first button that can be clicked";
    EXPECT_EQ(button(SDL_CONTROLLER_BUTTON_A, false), Log{});
    // A click with the mouse gives the button the focus.
    SDL_Event e{};
    for (const Uint32 type : {SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP}) {
        e.type = type;
        e.button = {type, 0, windowId(), 0, SDL_BUTTON_LEFT, 0, 1, 0, 0, 0};
        e.button.x = int(form.next->Left + 5), e.button.y = int(form.next->Top + 5);  // the panel is at 0, 0
        SDL_PushEvent(&e);
    }
    EXPECT_EQ(events(), Log{"click >"});
    form.back->Enabled = true;
    EXPECT_EQ(button(SDL_CONTROLLER_BUTTON_A, true), Log{"click >"}) << "the focus stays on '>'";
    button(SDL_CONTROLLER_BUTTON_A, false);
    // The highscore panel over a hidden start panel: Restart.
    form.splash->Visible = false, form.highscore->Visible = true;
    EXPECT_EQ(button(SDL_CONTROLLER_BUTTON_A, true), Log{"click Restart"});
    EXPECT_EQ(button(SDL_CONTROLLER_BUTTON_BACK, true), Log{"down 27"});
    EXPECT_EQ(button(SDL_CONTROLLER_BUTTON_BACK, false), Log{"up 27"});
}

// The game window itself: A starts the game and restarts it from the highscore table, where
// Back ends the program.
struct GamepadInTheGame : PadRig {
    struct Game {
        Game(Application& app, const TempFolder& folder)
            : pictures((writeGamePictures(folder, {}), 0)),
              form3(app, {folder.path(), "", "Kreiselsturm", {}}),
              form1(app, form3, {folder.path(), &random}) {
            app.start(form1);
        }
        int pictures;
        ScriptedRandom random;
        game::Form3 form3;
        game::Form1 form1;
    };
    TempFolder folder;
    Game game{app, folder};
};

TEST_F(GamepadInTheGame, AStartsAndRestartsBackEnds) {
    plug();
    auto& ui = game.form1.steuerelemente();
    button(SDL_CONTROLLER_BUTTON_A, true);
    EXPECT_FALSE(ui.Splash.Visible) << "A pressed Start";
    button(SDL_CONTROLLER_BUTTON_A, false);
    game.form1.allesstoppen();
    game.form1.highscorezeigen(5);
    button(SDL_CONTROLLER_BUTTON_A, true);
    button(SDL_CONTROLLER_BUTTON_A, false);
    app.DoEvents();
    EXPECT_TRUE(game.form1.steuerelemente().Splash.Visible) << "A pressed Restart";
    game.form1.highscorezeigen(5);
    button(SDL_CONTROLLER_BUTTON_BACK, true);
    EXPECT_TRUE(app.ended()) << "Back on the highscore table";
}

}  // namespace
