// Gamepads in the SDL backend, with SDL's virtual controller and no display (the dummy video
// driver): the D-pad and the left stick are the arrow keys, A clicks the focused button, Back is
// the escape key, and pads come and go at any time.
#include <gtest/gtest.h>

#include <SDL.h>

#include <filesystem>
#include <string>
#include <vector>

#include "forms/Application.h"
#include "forms/Form.h"
#include "forms/sdl/SdlBackend.h"
#include "forms/sdl/SdlLayout.h"
#include "support/GameHarness.h"

namespace {

using namespace forms;
using Log = std::vector<std::string>;

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
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION, desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX, desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        device = SDL_JoystickAttachVirtualEx(&desc);
        ASSERT_GE(device, 0) << SDL_GetError();
        joystick = SDL_JoystickOpen(device);
        ASSERT_TRUE(joystick) << SDL_GetError();
        events();
    }
    Log unplug() {
        if (!joystick) return {};
        SDL_JoystickClose(joystick);
        SDL_JoystickDetachVirtual(device);
        joystick = nullptr;
        return events();
    }
    // Hands what SDL has queued to the backend; returns the keys the window got since the last call.
    Log events() { backend.waitForEvents(app, 0); return std::exchange(keys, {}); }
    Log button(SDL_GameControllerButton b, bool down) { SDL_JoystickSetVirtualButton(joystick, b, down); return events(); }
    Log stick(int x, int y) {
        SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_LEFTX, Sint16(x));
        SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_LEFTY, Sint16(y));
        return events();
    }

    ManualClock clock;
    SdlBackend backend{(std::filesystem::path(__FILE__).parent_path().parent_path() / "assets").string()};
    Application app{clock, backend};
    int device = -1;
    SDL_Joystick* joystick = nullptr;
    Log keys;
};

// A window that notes its key events.
struct Gamepad : PadRig {
    struct Keys : Form {
        Keys(Application& app, Log& log) : Form(app, "Keys", ScaleUnit::Point, 400 * 20, 300 * 20), log(log) {}
        void createControls() override {}
        void destroyControls() override {}
        void Form_KeyDown(int16_t key, int16_t) override { log.push_back("down " + std::to_string(key)); }
        void Form_KeyUp(int16_t key, int16_t) override { log.push_back("up " + std::to_string(key)); }
        Log& log;
    } form{app, keys};
    Gamepad() { app.start(form); }
};

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

// The game window, with four player pictures: A presses "Start", or the button clicked last, and
// "Restart"; Back on the highscore table ends the program.
struct GamepadInTheGame : PadRig {
    GamepadInTheGame() { app.start(form1); }
    void press(SDL_GameControllerButton b) { button(b, true); button(b, false); }
    void mouseClick(const CommandButton& target) {
        Uint32 id = 1;
        while (id < 100 && !SDL_GetWindowFromID(id)) ++id;  // the game window, the only one
        std::vector<sdl::Placed> placed;
        sdl::layOut(form1, 1, {0, 0, 907, 788}, placed);
        for (const auto& p : placed)
            if (p.control == &target)
                for (const Uint32 type : {SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP}) {
                    SDL_Event e{};
                    e.button = {type, 0, id, 0, SDL_BUTTON_LEFT, 0, 1, 0, p.rect.x + p.rect.w / 2, p.rect.y + p.rect.h / 2};
                    SDL_PushEvent(&e);
                }
        events();
    }
    TempFolder folder;
    ScriptedRandom random;
    int pictures = (writeGamePictures(folder, {3, 4}), 0);
    game::Form3 form3{app, {folder.path(), "", "Kreiselsturm", {}}};
    game::Form1 form1{app, form3, {folder.path(), &random}};
};

TEST_F(GamepadInTheGame, AStartsRestartsAndPressesTheButtonClickedLastBackEnds) {
    plug();
    press(SDL_CONTROLLER_BUTTON_A);
    EXPECT_FALSE(form1.steuerelemente().Splash.Visible) << "A pressed Start";
    form1.allesstoppen();
    form1.highscorezeigen(5);
    press(SDL_CONTROLLER_BUTTON_A);
    app.DoEvents();
    EXPECT_TRUE(form1.steuerelemente().Splash.Visible) << "A pressed Restart";
    mouseClick(form1.steuerelemente().Command1[1]);
    EXPECT_EQ(form1.ausgewähltespielergrafik, 2) << "the mouse clicked '>'";
    press(SDL_CONTROLLER_BUTTON_A);
    EXPECT_EQ(form1.ausgewähltespielergrafik, 3) << "A pressed '>' again";
    form1.highscorezeigen(5);
    button(SDL_CONTROLLER_BUTTON_BACK, true);
    EXPECT_TRUE(app.ended()) << "Back on the highscore table";
}

}  // namespace
