#include "updater/Form3.h"

#include <charconv>
#include <fstream>
#include <iterator>

#include "forms/Application.h"
#include "forms/Errors.h"
#include "forms/Label.h"
#include "forms/Shape.h"
#include "forms/Timer.h"
#include "platform/Download.h"
#include "platform/Files.h"
#include "updater/Form3Intern.h"
#include "updater/IniDatei.h"

namespace game {

std::optional<float> updater::versionsnummer(std::string text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.pop_back();
    text.erase(0, text.find_first_not_of(" \t"));  // all of it when it is blanks only
    const size_t komma = text.find(',');
    const std::string ganz = text.substr(0, komma);
    const std::string bruch = komma == std::string::npos ? "" : text.substr(komma + 1);
    const auto ziffern = [](const std::string& s) { return s.find_first_not_of("0123456789") == std::string::npos; };
    if (ganz.empty() || !ziffern(ganz) || !ziffern(bruch) || (komma != std::string::npos && bruch.empty()))
        return std::nullopt;
    const std::string punkt = bruch.empty() ? ganz : ganz + "." + bruch;
    float wert = 0;
    const char* const schluss = punkt.data() + punkt.size();
    const auto [ende, fehler] = std::from_chars(punkt.data(), schluss, wert);
    if (fehler != std::errc() || ende != schluss) return std::nullopt;
    return wert;
}

std::string updater::versionstext(std::string_view inhalt) {
    // The last line that has an end or text; CR, LF and CR LF all end a line.
    std::string_view letzte;
    size_t anfang = 0;
    while (anfang < inhalt.size()) {
        size_t ende = inhalt.find_first_of("\r\n", anfang);
        if (ende == std::string_view::npos) ende = inhalt.size();
        letzte = inhalt.substr(anfang, ende - anfang);
        if (ende + 1 < inhalt.size() && inhalt[ende] == '\r' && inhalt[ende + 1] == '\n') ++ende;
        anfang = ende + 1;
    }
    // The first nine characters are a label; a shorter line holds no version.
    return letzte.size() > 9 ? std::string(letzte.substr(9)) : "";
}

Form3::Form3(forms::Application& app, Einstellungen einstellungen)
    : forms::Form(app, "Form3", forms::ScaleUnit::Twip, 6735, 2130), einstellungen_(std::move(einstellungen)) {
    while (!einstellungen_.serverBasis.empty() && einstellungen_.serverBasis.back() == '/')
        einstellungen_.serverBasis.pop_back();
    Caption("Update...");
    BorderStyle(forms::BorderStyle::FixedDialog);
    centredOnScreen = true;
    showInTaskbar = false;
}

Form3::~Form3() = default;

void Form3::createControls() {
    ui = std::make_shared<Steuerelemente>();
    Steuerelemente& s = *ui;

    s.Timer2.Interval(500);
    s.Timer2.Tick = [this](int16_t) { Timer2_Timer(); };
    adopt(s.Timer2, "Timer2");
    s.Timer1.Interval(5000);
    s.Timer1.Tick = [this](int16_t) { Timer1_Timer(); };
    adopt(s.Timer1, "Timer1");

    s.Label2.Caption = "Datei: 1/1 'Dateiname'";
    s.Label2.alignment = forms::Alignment::Center;
    s.Label2.font = forms::Font{8.25f, false};
    adopt(s.Label2, "Label2");
    s.Label2.placeTwips(0, 1800, 6735, 255);

    // The track before the bar: of two shapes the later one is drawn in front.
    s.Shape1.BackColor = 0x00FFC0C0;
    adopt(s.Shape1, "Shape1");
    s.Shape1.placeTwips(120, 1200, 6514, 495);
    s.Shape2.BackColor = 0x00FF8080;
    adopt(s.Shape2, "Shape2");
    s.Shape2.placeTwips(120, 1200, 6514, 495);

    s.Label1.Caption = "Update...";
    s.Label1.alignment = forms::Alignment::Center;
    s.Label1.font = forms::Font{36.0f, true};
    adopt(s.Label1, "Label1");
    s.Label1.placeTwips(0, 0, 6735, 975);
}

void Form3::destroyControls() { app().retire(std::move(ui)); }

std::string Form3::adresse(const std::string& datei) const {
    return einstellungen_.serverBasis + "/spielhof/wirbel/" + datei;
}

std::string Form3::imOrdner(const std::string& relativ) const {
    return platform::joinPath(einstellungen_.programmordner, relativ);
}

std::string Form3::HolINIString(const std::string& Dateiname, const std::string& DieSektion,
                                const std::optional<std::string>& DerEintrag) {
    std::ifstream datei(platform::nativePath(platform::resolvePath(Dateiname)), std::ios::binary);
    if (!datei) return "";
    const std::string inhalt{std::istreambuf_iterator<char>(datei), std::istreambuf_iterator<char>()};
    return iniWert(inhalt, DieSektion, DerEintrag);
}

void Form3::Updatetest() {
    Load();
    if (!altesSkriptLöschen() || einstellungen_.serverBasis.empty()) return;
    // Start-up waits for the server: meanwhile the player sees the update window, not nothing.
    ui->Label2.Caption = "";
    ui->Shape2.Width = 0;
    Show();
    zeichnen();
    if (!neuereVersion() || !Updateladen()) Hide();
    // The session is ending: the program ends too, with nothing of the update left behind.
    if (abbruch_ == forms::BusyRequest::Quit) forms::End();
}

// A script left over from an update that did not finish. One that cannot be deleted (a
// read-only program folder) must not keep the player from the game; the check waits for a
// later start instead, as a new script would only be appended behind the old lines.
bool Form3::altesSkriptLöschen() {
    const std::string skript = imOrdner("\\update.cmd");
    if (!platform::fileExists(skript)) return true;
    try {
        platform::deleteFile(skript);
        return true;
    } catch (const forms::RuntimeError&) {
        return false;
    }
}

bool Form3::neuereVersion() {
    if (laden(adresse("version.txt"), imOrdner("Version.txt"), einstellungen_.kleineDatei) != 0) return false;
    Versionlesen(imOrdner("\\version.txt"));
    platform::deleteFile(imOrdner("\\version.txt"));
    const std::optional<float> neu = updater::versionsnummer(neueVersion_);
    const std::optional<float> jetzt = updater::versionsnummer(einstellungen_.eigeneVersion);
    return neu && jetzt && *neu > *jetzt;
}

void Form3::Versionlesen(const std::string& pfad) {
    std::ifstream datei(platform::nativePath(platform::resolvePath(pfad)), std::ios::binary);
    if (!datei) throw forms::RuntimeError("Die Datei '" + pfad + "' konnte nicht gelesen werden.");
    const std::string inhalt{std::istreambuf_iterator<char>(datei), std::istreambuf_iterator<char>()};
    neueVersion_ = updater::versionstext(inhalt);
}

void Form3::Timer2_Timer() {
    forms::Label& l = ui->Label1;
    l.Caption = platform::sameIgnoringCase(l.Caption, schlusstext_) ? "" : schlusstext_;
}

// Closed in the seconds after a finished update: the script starts at once, rather than the
// program staying on with its only window gone.
void Form3::Form_Unload() {
    if (ui->Timer1.Enabled()) Timer1_Timer();
}

void Form3::Timer1_Timer() {
    einstellungen_.skriptStarten(einstellungen_.programmordner, "update.cmd");
    forms::End();
}

}  // namespace game
