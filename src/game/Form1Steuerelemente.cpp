#include "game/Form1Steuerelemente.h"

#include "game/Version.h"

namespace game {

namespace {

constexpr float StatusFont = 24.0f;
constexpr forms::Color Schwarz = 0x00000000;

void timer(forms::Form& f, forms::Timer& t, const char* name, bool enabled, int32_t interval) {
    f.adopt(t, name);
    t.Interval(interval);
    t.Enabled(enabled);
}

void platziere(forms::Form& f, forms::Control& c, const char* name, forms::PictureBox* in, float l, float t, float w, float h) {
    c.Container = in;
    f.adopt(c, name);
    c.placeTwips(l, t, w, h);
}

void statuszeile(forms::Form& f, forms::Label& l, const char* name, const char* caption, float left, float width,
                 float height, bool visible) {
    platziere(f, l, name, nullptr, left, 0, width, height);
    l.Caption = caption;
    l.font = {StatusFont, false};
    l.Visible = visible;
}

}  // namespace

Form1::Steuerelemente::Steuerelemente(Form1& f) {
    timer(f, Highscoreblinker, "Highscoreblinker", false, 800);
    Highscoreblinker.Tick = [&f](int16_t) { f.Highscoreblinker_Timer(); };

    platziere(f, Highscore, "Highscore", nullptr, 6000, 3240, 5171, 4809);
    Highscore.Visible = false;

    platziere(f, Command2, "Command2", &Highscore, 1620, 4200, 1935, 375);
    Command2.Caption = "Restart";
    Command2.font = {9.75f, true};
    Command2.Click = [&f](int16_t) { f.Command2_Click(); };

    platziere(f, Platzierung, "Platzierung", &Highscore, 480, 1200, 375, 375);
    Platzierung.Stretch = true;

    forms::Label& platz = Platzcap.create(f, "Platzcap");
    platz.Container = &Highscore;
    platz.placeTwips(960, 1200, 3615, 375);
    platz.Caption = "Platz 1";
    platz.alignment = forms::Alignment::Center;
    platz.ForeColor = Schwarz;
    platz.BackColor = forms::SystemColor::Highlight;
    platz.backStyle = forms::BackStyle::Transparent;
    platz.font = {13.5f, true};

    timer(f, Textfader4, "Textfader4", false, 0);
    Textfader4.Tick = [&f](int16_t) { f.Textfader4_Timer(); };
    timer(f, Textfader2, "Textfader2", false, 0);
    Textfader2.Tick = [&f](int16_t) { f.Textfader2_Timer(); };
    timer(f, AvoidTimer, "AvoidTimer", false, 1000);
    AvoidTimer.Tick = [&f](int16_t) { f.AvoidTimer_Timer(); };

    platziere(f, Splash, "Splash", nullptr, 1920, 2040, 10200, 7485);

    // The buttons were designed as "Start", ">", "<" (elements 2, 1, 0), in that order.
    auto knopf = [&f, this](int16_t index, float l, float t, float w, float h, const char* caption) -> forms::CommandButton& {
        forms::CommandButton& k = Command1.create(f, "Command1", index);
        k.Click = [&f](int16_t i) { f.Command1_Click(i); };
        k.font = {13.5f, true};
        k.Container = &Splash;
        k.placeTwips(l, t, w, h);
        k.Caption = caption;
        return k;
    };
    knopf(2, 3450, 6825, 2850, 435, "Start");
    knopf(1, 3255, 1935, 435, 435, ">");
    knopf(0, 975, 1950, 435, 435, "<").Enabled = false;

    platziere(f, Gegnerbox, "Gegnerbox", &Splash, 6825, 1470, 1350, 1350);
    Gegnerbox.Stretch = true;
    platziere(f, Spielerbox, "Spielerbox", &Splash, 1635, 1455, 1380, 1380);
    Spielerbox.Stretch = true;

    forms::Timer& powertimer = Powertimer.create(f, "Powertimer");
    powertimer.Interval(0);
    powertimer.Enabled(true);
    powertimer.Tick = [&f](int16_t index) { f.Powertimer_Timer(index); };

    timer(f, Powerspawner, "Powerspawner", false, 10000);
    Powerspawner.Tick = [&f](int16_t) { f.Powerspawner_Timer(); };
    timer(f, Timer1, "Timer1", false, 1000);
    Timer1.Tick = [&f](int16_t) { f.Timer1_Timer(); };
    timer(f, Leveluptimer, "Leveluptimer", false, 15000);
    Leveluptimer.Tick = [&f](int16_t) { f.Leveluptimer_Timer(); };

    forms::Timer& spawner = Spawner.create(f, "Spawner");
    spawner.Interval(3000);
    spawner.Tick = [&f](int16_t index) { f.Spawner_Timer(index); };
    forms::Timer& gegnertimer = Gegnertimer.create(f, "Gegnertimer");
    gegnertimer.Tick = [&f](int16_t index) { f.Gegnertimer_Timer(index); };

    platziere(f, version, "version", nullptr, 10320, 11040, 1335, 375);
    version.Caption = Programmversion;
    version.font = {StatusFont, false};
    version.Visible = false;

    forms::Image& gegner = Gegner.create(f, "Gegner");
    gegner.placeTwips(5640, 9960, 1575, 1575);
    gegner.Visible = false;
    gegner.Stretch = true;

    forms::Shape& power = Power.create(f, "Power");
    power.placeTwips(3600, 7320, 750, 750);
    power.Visible = false;
    power.shape = forms::ShapeKind::Circle;
    power.BackColor = 0x0000FFFF;

    platziere(f, Spieler, "Spieler", nullptr, 480, 5160, 975, 975);
    Spieler.Stretch = true;

    statuszeile(f, Label1, "Label1", "Level:", 0, 1335, 495, true);
    statuszeile(f, Label2, "Label2", "1", 1200, 615, 615, true);
    Label2.alignment = forms::Alignment::Center;
    statuszeile(f, Label3, "Label3", "Leben:", 2400, 1455, 495, true);
    statuszeile(f, Label4, "Label4", "3", 3960, 615, 615, true);
    statuszeile(f, Label6, "Label6", "PowerUp-Zeit:", 5040, 3135, 495, false);
    statuszeile(f, Label5, "Label5", "3", 8160, 615, 615, false);
}

}  // namespace game
