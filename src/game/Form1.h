#pragma once
// The game window. Its procedures are spread over the folders of their subsystems (game/,
// rules/, world/, messages/, highscore/) but call each other directly, as one window's code.
// The game state lives in the window object and survives the unload and reload that starts a
// new game; the controls are made anew on every load (Form1Steuerelemente.h).
#include <functional>
#include <memory>
#include <string>

#include "forms/Form.h"
#include "forms/Int16.h"
#include "forms/Picture.h"

namespace forms {
class Control;
}
namespace platform {
class RandomSource;
}

namespace game {

using forms::Int16;
class Form3;

class Form1 : public forms::Form {
public:
    struct Umgebung {
        std::string programmordner;          // without trailing separator
        platform::RandomSource* zufall = nullptr;  // the process's one random source
        // The update check at the first load; true when an update has taken over. Empty in a
        // program without an updater (the browser's).
        std::function<bool()> updatetest = nullptr;
    };

    Form1(forms::Application& app, Umgebung umgebung);
    // With the update window's check (defined in src/updater/, left out where it is).
    Form1(forms::Application& app, Form3& form3, Umgebung umgebung);
    ~Form1() override;

    // Game state; reset by Form_Load.
    Int16 Geschwindigkeit = 0;
    Int16 Gegnergeschwindigkeit = 0;
    Int16 Level = 0;
    Int16 sublevel = 0;
    Int16 Leben = 0;
    Int16 altegröße = 0;
    Int16 gegnergrafiken = 0;
    Int16 spielergrafiken = 0;
    Int16 ausgewähltespielergrafik = 0;
    Int16 neuesLevel = 0;
    Int16 neuesleben = 0;
    Int16 nochmalfaden = forms::False;
    Int16 gegnerbesiegt = 0;
    Int16 bildplatzierung = 0;
    Int16 reloadflag = forms::False;

    struct Steuerelemente;
    // The controls of the loaded window (tests and the window's own procedures read them).
    Steuerelemente& steuerelemente() const { return *ui; }
    const std::string& programmordner() const { return umgebung_.programmordner; }

    // Start screen, start and stop.
    void Command1_Click(Int16 Index);
    void Timerstarten();
    void allesstoppen();
    void Command2_Click();
    void reload();
    Int16 gegnerzählen(const std::string& name);

    // Player.
    void Spielerbewegen(const std::string& tasten);
    void Timer1_Timer();
    void AvoidTimer_Timer();

    // Rules.
    void Kollision();
    bool Kontakttest(const forms::Control& s) const;
    void Levelup(Int16 Levelanzahl);
    void Leveluptimer_Timer();
    void Powerup(const std::string& typ);

    // Enemies and power-up items.
    double Zufallszahl(double min, double max);
    void Gegnerspawn();
    void Spawner_Timer(Int16 Index);
    void Gegnertimer_Timer(Int16 Index);
    void Powerspawner_Timer();
    void Powerspawn();
    void Powertimer_Timer(Int16 Index);

    // Sliding status numbers.
    void Label2_fade();
    void Label4_fade();
    void Textfader2_Timer();
    void Textfader4_Timer();

    // Highscore table.
    void highscorezeigen(const Int16& erreicht);
    void Highscoreblinker_Timer();

protected:
    void createControls() override;
    void destroyControls() override;
    void Form_Load() override;
    void Form_Resize() override;
    void Form_Unload() override;
    void Form_KeyDown(int16_t KeyCode, int16_t Shift) override;
    void Form_KeyUp(int16_t KeyCode, int16_t Shift) override;

private:
    // A file of the program folder, e.g. datei("\\gegner1.gif").
    std::string datei(const std::string& relativ) const;
    forms::PictureRef LoadPicture(const std::string& relativ) const;
    // The process's one random source (tests hand in their own).
    platform::RandomSource& zufallsquelle() const;
    void schritt(char richtung);

    std::string gedrücktetasten;
    Int16 letztetaste = 0;

    std::shared_ptr<Steuerelemente> ui;
    Umgebung umgebung_;
};

}  // namespace game
