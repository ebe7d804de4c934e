#pragma once
// The update window: asks the update server for a newer version at start-up and, if the user
// agrees, fetches the new program file and the listed files, writes the script that swaps the
// program file, and ends the program five seconds later so the script can run.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "forms/Backend.h"
#include "forms/Form.h"
#include "Programmversion.h"
#include "platform/Download.h"

namespace game {

class Form3 : public forms::Form {
public:
    struct Einstellungen {
        std::string programmordner;  // the program folder, without trailing separator
        std::string serverBasis;     // base address of the update server; empty: no check
        std::string programmname;    // the running program file's base name
        // Starts the update script; the real one launches it once the program has ended.
        std::function<void(const std::string& ordner, const std::string& skript)> skriptStarten;
        // The program's own version, as the caption of Form1's `version` label holds it.
        std::string eigeneVersion = Programmversion;
        // The version file and the list are small: the server cannot hold start-up for long.
        platform::DownloadLimits kleineDatei{.connectTimeoutMs = 3000, .totalTimeoutMs = 5000, .maxBytes = 64 * 1024};
        // The program file and the listed files: capped, and a transfer that crawls is given up.
        platform::DownloadLimits grosseDatei{.connectTimeoutMs = 3000, .totalTimeoutMs = 600000,
                                             .maxBytes = 256 * 1024 * 1024, .slowBytesPerSecond = 1024,
                                             .slowWindowSeconds = 20};
        // The minisign public keys updates must be signed with (base64 lines of .pub files,
        // separated by commas); empty: updates are not checked.
        std::string updateSchluessel = "";
    };

    Form3(forms::Application& app, Einstellungen einstellungen);
    ~Form3() override;

    // Called once at start-up by the game window: deletes a leftover update script, then asks
    // the server, the update window showing meanwhile. Afterwards Visible() tells whether an
    // update has taken over.
    void Updatetest();

    // The value of a key of an INI-style file, or without a key the section's key names, each
    // followed by a NUL character; "" when the file, section or key is missing.
    static std::string HolINIString(const std::string& Dateiname, const std::string& DieSektion,
                                    const std::optional<std::string>& DerEintrag = std::nullopt);

    // The version text read from the server's version file.
    const std::string& neueVersion() const { return neueVersion_; }

protected:
    void createControls() override;
    void destroyControls() override;
    void Form_Unload() override;

private:
    bool altesSkriptLöschen();
    bool neuereVersion();
    void Versionlesen(const std::string& pfad);
    // True when the update has taken over: the files are there and the script is written.
    bool Updateladen();
    void makeupdatecmd();
    void Dateilisteladen(const std::string& liste);
    void zeichnen();
    // A download while the window keeps answering; closing it stops the download (abbruch_).
    int laden(const std::string& url, const std::string& datei, const platform::DownloadLimits& grenzen);
    // After a stop: what this update has put into the program folder is removed again.
    void aufräumen();
    void Timer1_Timer();
    void Timer2_Timer();
    // Signed updates (Signiert.cpp): the manifest fetched and checked, and each file fetched
    // against its line there. Without keys both do what the plain update does.
    bool Manifestpruefen();
    int geprüftLaden(const std::string& url, const std::string& datei, platform::DownloadLimits grenzen, const std::string& name);

    std::string adresse(const std::string& datei) const;
    std::string imOrdner(const std::string& relativ) const;

    struct Steuerelemente;
    std::shared_ptr<Steuerelemente> ui;
    Einstellungen einstellungen_;
    std::string neueVersion_;
    std::string manifest_;  // the checked manifest's text
    // The blinking text at the end: it says whether every listed file arrived.
    std::string schlusstext_ = "Update erfolgreich!";
    // Set when the player closed the window (or the session ended) while files loaded.
    forms::BusyRequest abbruch_ = forms::BusyRequest::None;
    // The listed files this update has added to the program folder so far.
    std::vector<std::string> neueDateien_;
};

}  // namespace game
