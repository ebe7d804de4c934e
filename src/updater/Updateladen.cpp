// The update itself: the question, the downloads with their progress display, the script.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>

#include "forms/Application.h"
#include "forms/Errors.h"
#include "platform/Download.h"
#include "platform/Files.h"
#include "platform/Script.h"
#include "updater/Form3.h"
#include "updater/Form3Intern.h"

namespace game {

namespace {

namespace fs = std::filesystem;

// What the server names must stay inside the program folder: a listed name is a plain file
// name, and a target folder has no ".." step and no drive.
bool schlichterName(const std::string& name) {
    if (name.empty() || name == "." || name == "..") return false;
    return name.find_first_of("/\\:") == std::string::npos;
}

bool harmloserPfad(const std::string& pfad) {
    if (pfad.find(':') != std::string::npos) return false;
    size_t anfang = 0;
    while (anfang <= pfad.size()) {
        size_t ende = pfad.find_first_of("/\\", anfang);
        if (ende == std::string::npos) ende = pfad.size();
        if (pfad.compare(anfang, ende - anfang, "..") == 0) return false;
        anfang = ende + 1;
    }
    return true;
}

// The updater's own working files; a listed file must not replace them halfway.
bool arbeitsdatei(const std::string& name) {
    return platform::sameIgnoringCase(name, "updatedata.txt") || platform::sameIgnoringCase(name, "update.cmd");
}

fs::path normal(const std::string& pfad) {
    fs::path p = fs::path(pfad).lexically_normal();
    if (!p.has_filename() && p.has_relative_path()) p = p.parent_path();
    return p;
}

bool innerhalb(const std::string& ordner, const std::string& pfad) {
    const fs::path relativ = normal(pfad).lexically_relative(normal(ordner));
    return !relativ.empty() && relativ != "." && *relativ.begin() != "..";
}

}  // namespace

std::optional<updater::Ablage> updater::ablageFuer(const std::string& ordner, const std::string& name, const std::string& pfad) {
    if (!schlichterName(name) || arbeitsdatei(name) || !harmloserPfad(pfad)) return std::nullopt;
    Ablage a;
    a.geladen = platform::joinPath(ordner, "\\" + name);
    a.ziel = platform::joinPath(ordner, pfad + name);
    a.zielordner = platform::joinPath(ordner, pfad);
    if (!innerhalb(ordner, a.geladen) || !innerhalb(ordner, a.ziel)) return std::nullopt;
    // A Pfad that names the program folder itself ("\") must not delete the file it copied.
    a.verschieben = !pfad.empty() && normal(a.ziel) != normal(a.geladen);
    return a;
}

void Form3::Updateladen() {
    const forms::MessageBoxRequest frage{"Eine neuere Version von Kreiselsturm ist verfügbar, wollen sie updaten?",
                                         "Update", forms::MsgButtons::YesNo, forms::MsgIcon::None};
    if (app().MsgBox(frage, this) != forms::MsgResult::Yes) return;

    const std::string& x = einstellungen_.programmname;
    if (platform::download(adresse("Kreiselsturm.txt"), imOrdner(x + ".dxe"), updater::grosseDatei) != 0) {
        app().MsgBox({"Update fehlgeschlagen", "Error", forms::MsgButtons::Ok, forms::MsgIcon::Error}, this);
        return;
    }
    ui->Label2.Caption = "Datei: " + x + platform::executableSuffix() + " 1/1";
    makeupdatecmd();

    // Without the list only the program file is updated.
    if (platform::download(adresse("updatedata.txt"), imOrdner("updatedata.txt"), updater::kleineDatei) == 0) {
        Dateilisteladen(imOrdner("\\updatedata.txt"));
        platform::deleteFile(imOrdner("\\updatedata.txt"));
    }

    ui->Timer1.Enabled(true);
    ui->Timer2.Enabled(true);
    ui->Label1.Caption = schlusstext_;
    Show();
}

void Form3::Dateilisteladen(const std::string& liste) {
    const std::string& ordner = einstellungen_.programmordner;
    const std::string namen = HolINIString(liste, "Namen");
    const int n = int(std::count(namen.begin(), namen.end(), '\0'));
    int k = 0;
    ui->Shape2.Width = 0;
    Show();
    ui->Label2.Caption = "Datei: 0/" + std::to_string(n);
    zeichnen();

    std::string url = "test";
    for (int i = 1; !url.empty(); ++i) {
        const std::string schluessel = "Datei" + std::to_string(i);
        const std::string name = HolINIString(liste, "Namen", schluessel);
        url = HolINIString(liste, "URL", schluessel);
        const std::string pfad = HolINIString(liste, "Pfad", schluessel);
        if (name.empty()) continue;
        const std::optional<updater::Ablage> ablage = updater::ablageFuer(ordner, name, pfad);
        if (!ablage || platform::download(url, ablage->geladen, updater::grosseDatei) != 0) {
            schlusstext_ = "Update unvollständig!";
            app().MsgBox({"Updatefehler bei Datei '" + name + "'", "Error", forms::MsgButtons::Ok, forms::MsgIcon::Error},
                         this);
            continue;
        }
        // n > 0: the name came from the section whose keys were counted.
        ui->Shape2.Width = ui->Shape2.Width + 100.0f / float(n);
        ++k;
        ui->Label2.Caption = "Datei: " + std::to_string(k) + "/" + std::to_string(n) + " '" + name + "'";
        zeichnen();
        if (ablage->verschieben) {
            if (!platform::folderExists(ablage->zielordner)) platform::makeFolder(ablage->zielordner);
            platform::copyFile(ablage->geladen, ablage->ziel);
            platform::deleteFile(ablage->geladen);
        }
    }
}

// The downloads hold the thread; the progress is drawn at once so the window does not sit
// there blank until the end.
void Form3::zeichnen() { app().backend().draw(app()); }

void Form3::makeupdatecmd() {
    const std::string x = einstellungen_.programmname;
    const std::string programm = x + platform::executableSuffix();
    const std::string pfad = platform::resolvePath(imOrdner("\\update.cmd"));
    std::ofstream skript(pfad, std::ios::binary | std::ios::app);
    skript << "del \".\\" << programm << "\"\r\n"
           << "ren \".\\" << x << ".dxe\" " << programm << "\r\n"
           << "start .\\" << programm << "\r\n";
    skript.close();
    if (!skript) throw forms::RuntimeError("Die Datei '" + pfad + "' konnte nicht geschrieben werden.");
}

}  // namespace game
