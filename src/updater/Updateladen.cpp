// The update itself: the question, the downloads with their progress display, the script.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <optional>
#include <vector>

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

fs::path normal(const std::string& pfad) {
    fs::path p = platform::nativePath(pfad).lexically_normal();
    if (!p.has_filename() && p.has_relative_path()) p = p.parent_path();
    return p;
}

bool innerhalb(const std::string& ordner, const std::string& pfad) {
    const fs::path relativ = normal(pfad).lexically_relative(normal(ordner));
    return !relativ.empty() && relativ != "." && *relativ.begin() != "..";
}

// Whether `pfad` is one of `namen` in `ordner`, or lies below a folder of such a name (which the
// update would have to make, leaving the file no room), as the file system matches names:
// without regard to case and to the trailing dots and blanks Windows drops; a short name
// ("UPDATE~1.TXT") may stand for any of them.
bool einerVon(const std::string& ordner, const std::string& pfad, const std::vector<std::string>& namen) {
    const fs::path relativ = normal(pfad).lexically_relative(normal(ordner));
    if (relativ.empty()) return false;
    std::string name = relativ.begin()->string();
    while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
    const size_t tilde = name.find('~');
    if (tilde != std::string::npos && tilde + 1 < name.size() && std::isdigit((unsigned char)name[tilde + 1])) return true;
    return std::ranges::any_of(namen, [&](const std::string& n) { return platform::sameIgnoringCase(name, n); });
}

}  // namespace

std::optional<updater::Ablage> updater::ablageFuer(const std::string& ordner, const std::string& name,
                                                   const std::string& pfad, const std::vector<std::string>& geschützt) {
    if (!schlichterName(name) || !harmloserPfad(pfad)) return std::nullopt;
    Ablage a;
    a.geladen = platform::joinPath(ordner, "\\" + name);
    a.ziel = platform::joinPath(ordner, pfad + name);
    // The folder that holds the target: a Pfad without a closing separator only lengthens the
    // name, and must not make a folder of its own (a folder "data.hsc" leaves the scores no room).
    a.zielordner = platform::utf8Path(platform::nativePath(a.ziel).parent_path());
    for (const std::string& p : {a.geladen, a.ziel})
        if (!innerhalb(ordner, p) || einerVon(ordner, p, geschützt)) return std::nullopt;
    // A Pfad that names the program folder itself ("\") must not delete the file it copied.
    a.verschieben = !pfad.empty() && normal(a.ziel) != normal(a.geladen);
    return a;
}

bool Form3::Updateladen() {
    const forms::MessageBoxRequest frage{"Eine neuere Version von Kreiselsturm ist verfügbar, wollen sie updaten?",
                                         "Update", forms::MsgButtons::YesNo, forms::MsgIcon::None};
    if (app().MsgBox(frage, this) != forms::MsgResult::Yes) return false;

    const std::string& x = einstellungen_.programmname;
    const std::string programm = x + platform::executableSuffix();
    const std::string neu = imOrdner(x + ".dxe");
    ui->Label2.Caption = "Datei: " + programm + " 0/1";
    zeichnen();
    // An error page or an empty file in place of the program would leave the player with a
    // game that does not start.
    const bool geladen = Manifestpruefen() &&
                         geprüftLaden(adresse("Kreiselsturm.txt"), neu, einstellungen_.grosseDatei, "Kreiselsturm.txt") == 0;
    if (abbruch_ != forms::BusyRequest::None) {
        aufräumen();
        return false;
    }
    if (!geladen || !platform::looksLikeProgram(neu)) {
        if (geladen) platform::deleteFile(neu);
        app().MsgBox({"Update fehlgeschlagen", "Error", forms::MsgButtons::Ok, forms::MsgIcon::Error}, this);
        return false;
    }
    ui->Label2.Caption = "Datei: " + programm + " 1/1";
    ui->Shape2.Width = ui->Shape1.Width;
    zeichnen();
    makeupdatecmd();

    // Without the list (404) only the program file is updated; a list that the server failed
    // to deliver leaves the listed files out, which is no success.
    const int liste = geprüftLaden(adresse("updatedata.txt"), imOrdner("updatedata.txt"), einstellungen_.kleineDatei, "updatedata.txt");
    if (liste == 0) {
        Dateilisteladen(imOrdner("\\updatedata.txt"));
        platform::deleteFile(imOrdner("\\updatedata.txt"));
    } else if (liste != platform::kDownloadNotFound) {
        schlusstext_ = "Update unvollständig!";
    }
    if (abbruch_ != forms::BusyRequest::None) {
        aufräumen();
        return false;
    }

    ui->Timer1.Enabled(true);
    ui->Timer2.Enabled(true);
    ui->Label1.Caption = schlusstext_;
    Show();
    return true;
}

void Form3::Dateilisteladen(const std::string& liste) {
    const std::string& ordner = einstellungen_.programmordner;
    const std::string& x = einstellungen_.programmname;
    const std::vector<std::string> geschützt{"update.cmd", "updatedata.txt", x + platform::executableSuffix(),
                                             x + ".dxe", "data.hsc"};
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
        const std::optional<updater::Ablage> ablage = updater::ablageFuer(ordner, name, pfad, geschützt);
        const bool hinzu = ablage && !platform::fileExists(ablage->ziel);
        if (ablage) {
            ui->Label2.Caption = "Datei: " + std::to_string(k) + "/" + std::to_string(n) + " '" + name + "'";
            zeichnen();
        }
        if (!ablage || geprüftLaden(url, ablage->geladen, einstellungen_.grosseDatei, name) != 0) {
            if (abbruch_ != forms::BusyRequest::None) return;
            schlusstext_ = "Update unvollständig!";
            app().MsgBox({"Updatefehler bei Datei '" + name + "'", "Error", forms::MsgButtons::Ok, forms::MsgIcon::Error},
                         this);
            continue;
        }
        if (hinzu) neueDateien_.push_back(ablage->ziel);
        // n > 0: the name came from the section whose keys were counted.
        ui->Shape2.Width = ui->Shape2.Width + 100.0f / float(n);
        ++k;
        ui->Label2.Caption = "Datei: " + std::to_string(k) + "/" + std::to_string(n) + " '" + name + "'";
        zeichnen();
        if (ablage->verschieben) {
            platform::makeFolder(ablage->zielordner);  // nothing to do when it is there
            platform::copyFile(ablage->geladen, ablage->ziel);
            platform::deleteFile(ablage->geladen);
        }
    }
}

// The downloads hold the thread; the progress is drawn at once so the window does not sit
// there blank until the end.
void Form3::zeichnen() { app().backend().draw(app()); }

int Form3::laden(const std::string& url, const std::string& datei, const platform::DownloadLimits& grenzen) {
    const std::string text = ui->Label2.Caption;
    size_t kb = 0;
    const int rc = platform::download(url, datei, grenzen, [&](size_t bytes) {
        if (bytes / 1024 != kb) {
            kb = bytes / 1024;
            ui->Label2.Caption = text + " (" + std::to_string(kb) + " KB)";
            zeichnen();
        }
        abbruch_ = app().backend().keepAnswering(app());
        return abbruch_ == forms::BusyRequest::None;
    });
    ui->Label2.Caption = text;
    return rc;
}

// Files the player may have had before stay: a listed file that replaced one keeps its new text.
void Form3::aufräumen() {
    const std::string& x = einstellungen_.programmname;
    neueDateien_.insert(neueDateien_.end(), {imOrdner(x + ".dxe"), imOrdner("\\update.cmd"), imOrdner("\\updatedata.txt")});
    for (const std::string& datei : neueDateien_)
        if (platform::fileExists(datei)) platform::deleteFile(datei);
    neueDateien_.clear();
}

void Form3::makeupdatecmd() {
    const std::string x = einstellungen_.programmname;
    const std::string programm = x + platform::executableSuffix();
    const std::string pfad = platform::resolvePath(imOrdner("\\update.cmd"));
    std::ofstream skript(platform::nativePath(pfad), std::ios::binary | std::ios::app);
    skript << platform::waitUntilDeletable(programm) << "del \".\\" << programm << "\"\r\n"
           << "ren \".\\" << x << ".dxe\" " << programm << "\r\n"
           << "start .\\" << programm << "\r\n";
    skript.close();
    if (!skript) throw forms::RuntimeError("Die Datei '" + pfad + "' konnte nicht geschrieben werden.");
}

}  // namespace game
