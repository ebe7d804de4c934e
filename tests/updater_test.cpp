// The update window against a loopback update server: the version check, the question, the
// downloads with their progress, the list's folders, the script, and what the server may not do;
// the reading of the update list.
#include <gtest/gtest.h>
#include <sodium.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <ranges>
#include <regex>
#include <set>

#include "forms/Application.h"
#include "forms/Label.h"
#include "forms/headless/HeadlessBackend.h"
#include "platform/Files.h"
#include "platform/Script.h"
#include "support/Aufbau.h"
#include "support/Schreibschutz.h"
#include "support/TempFolder.h"
#include "support/UpdateServer.h"
#include "updater/Form3.h"
#include "updater/IniDatei.h"
#include "updater/Manifest.h"

namespace fs = std::filesystem;
using Paths = std::set<std::string>;
using Texts = std::vector<std::string>;
using S = UpdateServer;

namespace {

const std::string kVersion = "/spielhof/wirbel/version.txt", kProgramm = "/spielhof/wirbel/Kreiselsturm.txt",
                  kListe = "/spielhof/wirbel/updatedata.txt";
const std::string kFrage = "Update|Eine neuere Version von Kreiselsturm ist verfügbar, wollen sie updaten?|YesNo|None";
// A program file as the server sends it: it starts as a program of this system does.
const std::string kNeu = platform::executableSuffix().empty() ? "#!/bin/sh\necho neu\n" : "MZ program neu\r\n";

// The script that swaps the program `name` for the new one the update saved beside it.
std::string skript(const std::string& name) {
    const std::string x = name + platform::executableSuffix();
    return platform::waitUntilDeletable(x) + "del \".\\" + x + "\"\r\nren \".\\" + name + ".dxe\" " + x + "\r\nstart .\\" + x + "\r\n";
}

std::string base64(const std::string& bytes) {
    std::string text(sodium_base64_ENCODED_LEN(bytes.size(), sodium_base64_VARIANT_ORIGINAL), '\0');
    sodium_bin2base64(text.data(), text.size(), (const unsigned char*)bytes.data(), bytes.size(), sodium_base64_VARIANT_ORIGINAL);
    return text.substr(0, text.size() - 1);
}
std::string sha256(const std::string& text) {
    unsigned char h[32];
    char hex[65];
    crypto_hash_sha256(h, (const unsigned char*)text.data(), text.size());
    return sodium_bin2hex(hex, sizeof hex, h, sizeof h);
}
std::string datum(std::time_t t) {
    char text[16];
    std::strftime(text, sizeof text, "%Y-%m-%d", std::gmtime(&t));
    return text;
}

// A minisign key pair of our own and signatures in minisign's format (the real tool's signatures:
// tests/e2e/update_e2e.sh).
struct Schluessel {
    std::string id = std::string(8, '\0'), pk = std::string(32, '\0'), sk = std::string(64, '\0');
    Schluessel() {
        if (sodium_init() < 0) throw std::runtime_error("sodium_init");
        crypto_sign_keypair((unsigned char*)pk.data(), (unsigned char*)sk.data());
        randombytes_buf(id.data(), id.size());
    }
    std::string pub() const { return base64("Ed" + id + pk); }
    std::string signiert(const std::string& text) const {
        std::string sig(64, '\0');
        crypto_sign_detached((unsigned char*)sig.data(), nullptr, (const unsigned char*)text.data(), text.size(), (const unsigned char*)sk.data());
        return sig;
    }
    // "ED" signs the BLAKE2b-512 hash of the text, the legacy "Ed" the text itself; `aendern` may
    // change the signature line's bytes, the trusted comment or the global signature once made.
    using Aenderung = std::function<void(std::string& zeile, std::string& kommentar, std::string& global)>;
    std::string signatur(const std::string& text, const std::string& art = "ED", const Aenderung& aendern = nullptr) const {
        std::string hash(64, '\0');
        crypto_generichash((unsigned char*)hash.data(), 64, (const unsigned char*)text.data(), text.size(), nullptr, 0);
        const std::string sig = signiert(art == "Ed" ? text : hash);
        std::string zeile = art + id + sig, kommentar = "timestamp:1700000000", global = signiert(sig + kommentar);
        if (aendern) aendern(zeile, kommentar, global);
        return "untrusted comment: test\n" + base64(zeile) + "\ntrusted comment: " + kommentar + "\n" + base64(global) + "\n";
    }
};

Paths tree(const std::string& folder) {
    Paths names;
    for (const auto& e : fs::recursive_directory_iterator(folder)) names.insert(fs::relative(e.path(), folder).generic_string());
    return names;
}

// An update window as the game makes it at start-up, and a loopback update server.
class UpdaterTest : public ::testing::Test {
protected:
    UpdaterTest() { fs::create_directory(ordner); }

    void check(const std::string& serverBasis, const std::string& programmname = "Kreiselsturm") {
        game::Form3::Einstellungen e{ordner, serverBasis, programmname,
            [this](const std::string& o, const std::string& s) { started.push_back(o + "|" + s); }};
        // Short limits, so the tests need not wait for the real ones.
        e.kleineDatei = {.connectTimeoutMs = 1000, .totalTimeoutMs = 1000, .maxBytes = 64 * 1024};
        e.grosseDatei = {.connectTimeoutMs = 1000, .totalTimeoutMs = 60000, .maxBytes = 64 * 1024, .slowBytesPerSecond = 1000, .slowWindowSeconds = 1};
        e.updateSchluessel = schluessel;
        form = std::make_unique<game::Form3>(app, e);
        seit = backend.shownBoxes().size();
        app.dispatch([this] { form->Updatetest(); });
    }
    // A newer version and the program file on the server, unless set otherwise, and the question answered Yes.
    void agree(const std::string& programmname = "Kreiselsturm") {
        server.antworten.try_emplace(kVersion, S::datei("Version: 9,000\r\n"));
        server.antworten.try_emplace(kProgramm, S::datei(kNeu));
        backend.answerNext(forms::MsgResult::Yes);
        check(base, programmname);
    }
    forms::Control& control(const std::string& name) { return **std::ranges::find_if(form->controls(), [&](auto* c) { return c->Name == name; }); }
    std::string caption(const std::string& label) { return static_cast<forms::Label&>(control(label)).Caption; }
    // Label2, the bar and whether the window shows: the progress as the player sees it.
    std::string stand() {
        return caption("Label2") + "|" + std::to_string(int(control("Shape2").Width)) + (form->Visible() ? "|shown" : "|hidden");
    }
    // The message boxes of the last check as "title|text|buttons|icon".
    Texts boxes() const {
        Texts shown;
        for (const auto& [b, answer] : backend.shownBoxes() | std::views::drop(seit))
            shown.push_back(b.title + "|" + b.text + (b.buttons == forms::MsgButtons::Ok ? "|Ok" : "|YesNo") +
                            (b.icon == forms::MsgIcon::Error ? "|Error" : b.icon == forms::MsgIcon::None ? "|None" : "|Info"));
        return shown;
    }

    TempFolder root;  // the program folder lies inside, so a write beside it would show
    const std::string ordner = root.path() + "/Kreiselsturm";
    forms::ManualClock clock;
    struct : forms::HeadlessBackend {
        std::function<void()> beimZeichnen;
        forms::BusyRequest wunsch = forms::BusyRequest::None;  // what the player does while files load
        void draw(forms::Application&) override {
            if (beimZeichnen) beimZeichnen();
        }
        forms::BusyRequest keepAnswering(forms::Application&) override { return wunsch; }
    } backend;
    forms::Application app{clock, backend};
    std::unique_ptr<game::Form3> form;
    size_t seit = 0;  // the boxes shown before the last check
    Texts started;
    std::string schluessel;  // the minisign public keys compiled in
    UpdateServer server;
    const std::string base = server.base();
};

// Unasked, the question is answered No; without a usable version file nothing is asked.
TEST_F(UpdaterTest, AsksOnlyForANewerVersionAndOtherwiseTheGameStarts) {
    // file: none when not on the server; serverBasis: none for the test server.
    const struct { std::optional<std::string> file; bool newer; std::optional<std::string> serverBasis = std::nullopt; } cases[] = {
        {"Version: 1,260", false}, {"Version: 1,261", true}, {"Version: 1,259\r\n", false}, {"Version: 1,3x", false},
        {"#########1,3", true}, {"Version:51", false}, {"Version:12", true},  // a nine-character label
        {"Version: 9,000\r\nVersion: 1,000\r\n", false},  // only the last line counts
        {"Version: 1,000\nVersion: 9,000", true}, {"Version: 1,000\rVersion: 9,000", true},
        {"Version: 1,261\r\n", true}, {"Version: \t1,261 \t", true},
        {"Version: 1.300", false}, {"", false}, {std::nullopt, false}, {std::string(70 * 1024, 'x') + "\r\nVersion: 9,000", false},
        {"Version: 9,000", false, ""}, {std::nullopt, false, "http://127.0.0.1:1"},  // no server, nobody listening
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file.value_or("(none)").substr(0, 40) + " from " + c.serverBasis.value_or("test server"));
        server.pfade.clear();
        server.antworten.clear();
        if (c.file) server.antworten[kVersion] = S::datei(*c.file);
        check(c.serverBasis.value_or(base + "/"));  // a closing separator is one too many
        EXPECT_EQ(boxes(), c.newer ? Texts{kFrage} : Texts{});
        EXPECT_FALSE(form->Visible());
        EXPECT_EQ(server.pfade, c.serverBasis ? Texts{} : Texts{kVersion});
        EXPECT_TRUE(tree(ordner).empty());  // the version file is gone, nothing else written
    }
}

// What a broken or hostile server sends for the program file or the list (how each download
// fails: tests/download_test.cpp). Only a whole program file of this platform is installed; a
// list that is not there leaves a success, one that failed to arrive does not. A window closed
// while a file trickles in cancels the update: no error, and nothing of it is left.
TEST_F(UpdaterTest, OnlyAWholeProgramFileIsInstalledAndAListThatFailedIsNoSuccess) {
    const S::Antwort abgeschnitten = S::abgeschnitten(kNeu.substr(0, 10)), langsam = S::stückweise(kNeu, 1, 150);
    const struct { std::string datei; S::Antwort antwort; std::string ende; bool schliessen = false; } cases[] = {  // ende "": refused
        {kProgramm, S::status(404), ""}, {kProgramm, S::datei(""), ""}, {kProgramm, S::datei("<html>Wartung</html>"), ""},
        {kProgramm, abgeschnitten, ""}, {kListe, S::status(404), "Update erfolgreich!"}, {kListe, S::status(500), "Update unvollständig!"},
        {kListe, S::datei(std::string(65 * 1024, 'x')), "Update unvollständig!"}, {kListe, abgeschnitten, "Update unvollständig!"},
        {kProgramm, langsam, "", true}, {kListe, langsam, "", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.datei + ", case " + std::to_string(&c - cases));
        fs::remove_all(ordner);
        fs::create_directory(ordner);
        server.pfade.clear();
        server.antworten = {{c.datei, c.antwort}};
        backend.wunsch = c.schliessen ? forms::BusyRequest::CloseWindow : forms::BusyRequest::None;
        agree();
        const bool installiert = !c.ende.empty();
        EXPECT_EQ(boxes(), (installiert || c.schliessen ? Texts{kFrage} : Texts{kFrage, "Error|Update fehlgeschlagen|Ok|Error"}));
        EXPECT_EQ(form->Visible(), installiert);
        EXPECT_EQ(tree(ordner), (installiert ? Paths{"Kreiselsturm.dxe", "update.cmd"} : Paths{}));  // no half file
        EXPECT_EQ(caption("Label1"), installiert ? c.ende : "Update...");
        EXPECT_EQ(server.pfade.size(), installiert || c.datei == kListe ? 3u : 2u);
    }
    backend.wunsch = forms::BusyRequest::None;
}

// With a key compiled in, an update comes only through the manifest that key signed, for this
// program and the version offered, and each file only as the manifest describes it. Whatever else
// fails leaves nothing behind: the manifest, its signature or the program file refuse the update,
// a listed file only itself; a list that fails its check leaves the listed files out.
TEST_F(UpdaterTest, WithAKeyOnlyWhatTheManifestSignsIsInstalled) {
    const Schluessel a, b;
    Schluessel c = b;  // another key that carries a's key id
    c.id = a.id;
    const std::string kManifest = "/spielhof/wirbel/update.manifest", kSignatur = kManifest + ".minisig";
    const std::string liste = "[Namen]\nDatei1=a.gif\n[URL]\nDatei1=" + base + "/a.gif\n";
    const auto zeile = [](const std::string& name, const std::string& inhalt) { return name + "=" + std::to_string(inhalt.size()) + " " + sha256(inhalt) + "\n"; };
    const std::string heute = datum(std::time(nullptr)), gut = "[Update]\nProdukt=Kreiselsturm\nPlattform=" + game::updater::diesePlattform() +
        "\nVersion=9,000\nAblauf=" + heute + "\n[Dateien]\n" + zeile("kreiselsturm.TXT", kNeu) + zeile("updatedata.txt", liste) + zeile("A.GIF", "AAA");
    const auto ersetzt = [&](const std::string& was, const std::string& durch) { std::string m = gut; return m.replace(m.find(was), was.size(), durch); };
    const auto von_a = [&](Schluessel::Aenderung aendern) { return [&a, aendern](const std::string& m) { return a.signatur(m, "ED", aendern); }; };
    auto gesendet = std::make_shared<size_t>(0);  // how much of a long program file the server got out
    const S::Antwort lang = [=](httplib::Response& r) { r.set_chunked_content_provider("x", [=](size_t offset, httplib::DataSink& sink) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        return (*gesendet = offset) < 60000 ? sink.is_writable() && sink.write(kNeu.data(), kNeu.size()) : (sink.done(), true); }); };
    enum Ende { Installiert, Abgelehnt, OhneDatei, OhneListe };
    const struct Fall {
        std::string was;
        Ende ende = Abgelehnt;
        std::string manifest = "";                                           // what is signed; "": gut
        std::function<std::string(const std::string&)> signieren = nullptr;  // nullptr: signed by a
        std::map<std::string, std::optional<S::Antwort>> server = {};       // what the server sends instead; nothing: 404
        std::string schluessel = "";                                         // "": a's
    } faelle[] = {
        {"signed by a", Installiert},
        {"two keys while the key changes", Installiert, "", nullptr, {}, b.pub() + ", " + a.pub()},
        {"CR LF line ends", Installiert, "", [&](const std::string& m) { return std::regex_replace(a.signatur(m), std::regex("\n"), "\r\n"); }},
        {"no manifest", Abgelehnt, "", nullptr, {{kManifest, std::nullopt}}},
        {"no signature", Abgelehnt, "", nullptr, {{kSignatur, std::nullopt}}},
        {"another key", Abgelehnt, "", [&](const std::string& m) { return b.signatur(m); }},
        {"another key with a's key id", Abgelehnt, "", [&](const std::string& m) { return c.signatur(m); }},
        {"a bit of the manifest", Abgelehnt, "", nullptr, {{kManifest, S::datei(gut.substr(0, gut.size() - 1) + char(gut.back() ^ 1))}}},
        {"a bit of the key id", Abgelehnt, "", von_a([](auto& z, auto&, auto&) { z[9] ^= 1; })},
        {"a bit of the signature", Abgelehnt, "", von_a([](auto& z, auto&, auto&) { z[40] ^= 1; })},
        {"a bit of the global signature", Abgelehnt, "", von_a([](auto&, auto&, auto& g) { g[63] ^= 1; })},
        {"a bit of the trusted comment", Abgelehnt, "", von_a([](auto&, auto& k, auto&) { k[3] ^= 1; })},
        {"the legacy form", Abgelehnt, "", [&](const std::string& m) { return a.signatur(m, "Ed"); }},
        {"the legacy label on a hashed signature", Abgelehnt, "", von_a([](auto& z, auto&, auto&) { z[1] = 'd'; })},
        {"an unknown algorithm", Abgelehnt, "", von_a([](auto& z, auto&, auto&) { z[0] = 'X'; })},
        {"bad base64", Abgelehnt, "", [&](const std::string& m) { std::string s = a.signatur(m); return s.replace(s.find("\n") + 5, 1, "!"); }},
        {"a short signature line", Abgelehnt, "", von_a([](auto& z, auto&, auto&) { z.pop_back(); })},
        {"a long global signature", Abgelehnt, "", von_a([](auto&, auto&, auto& g) { g += 'x'; })},
        {"no trusted comment", Abgelehnt, "", [&](const std::string& m) { std::string s = a.signatur(m); return s.replace(s.find("\ntrusted") + 1, 1, "T"); }},
        {"an old manifest replayed", Abgelehnt, ersetzt("9,000", "1,260")},
        {"another version than offered", Abgelehnt, ersetzt("9,000", "9,001")},
        {"expired yesterday", Abgelehnt, ersetzt(heute, datum(std::time(nullptr) - 86400))},
        {"an expiry that is no date", Abgelehnt, ersetzt(heute, "31.12.2099")},
        {"another product", Abgelehnt, ersetzt("Kreiselsturm\n", "Wirbelsturm\n")},
        {"another platform", Abgelehnt, ersetzt(game::updater::diesePlattform(), "windows-arm64")},
        {"a size that is no number", Abgelehnt, ersetzt(" " + sha256(kNeu), "x " + sha256(kNeu))},
        {"a program file with another hash", Abgelehnt, "", nullptr, {{kProgramm, S::datei(kNeu.substr(0, kNeu.size() - 1) + "!")}}},
        {"a short program file", Abgelehnt, "", nullptr, {{kProgramm, S::datei(kNeu.substr(0, kNeu.size() - 1))}}},
        {"a long program file", Abgelehnt, "", nullptr, {{kProgramm, S::datei(kNeu + "!")}}},
        {"a program file of size 0: capped, not uncapped", Abgelehnt, ersetzt(zeile("kreiselsturm.TXT", kNeu), zeile("kreiselsturm.TXT", "")), nullptr, {{kProgramm, lang}}},
        {"a listed file with another hash", OhneDatei, "", nullptr, {{"/a.gif", S::datei("AAB")}}},
        {"a listed file without a line", OhneDatei, ersetzt(zeile("A.GIF", "AAA"), "")},
        {"a list with another hash", OhneListe, "", nullptr, {{kListe, S::datei(liste + "\n")}}},
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.was);
        fs::remove_all(ordner), fs::create_directory(ordner);
        const std::string manifest = f.manifest.empty() ? gut : f.manifest;
        server.antworten = {{kManifest, S::datei(manifest)}, {kSignatur, S::datei(f.signieren ? f.signieren(manifest) : a.signatur(manifest))},
                            {kListe, S::datei(liste)}, {"/a.gif", S::datei("AAA")}};
        for (const auto& [pfad, antwort] : f.server)
            antwort ? void(server.antworten[pfad] = *antwort) : void(server.antworten.erase(pfad));
        schluessel = f.schluessel.empty() ? a.pub() : f.schluessel;
        agree();
        EXPECT_EQ(boxes(), (f.ende == Abgelehnt ? Texts{kFrage, "Error|Update fehlgeschlagen|Ok|Error"}
                            : f.ende == OhneDatei ? Texts{kFrage, "Error|Updatefehler bei Datei 'a.gif'|Ok|Error"} : Texts{kFrage}));
        EXPECT_EQ(tree(ordner), (f.ende == Abgelehnt ? Paths{} : f.ende == Installiert ? Paths{"Kreiselsturm.dxe", "update.cmd", "a.gif"}
                                                                                       : Paths{"Kreiselsturm.dxe", "update.cmd"}));
        if (f.ende != Abgelehnt) {
            EXPECT_EQ(dateiInhalt(ordner + "/Kreiselsturm.dxe"), kNeu);
            EXPECT_EQ(caption("Label1"), f.ende == Installiert ? "Update erfolgreich!" : "Update unvollständig!");
        }
    }
    EXPECT_LT(*gesendet, 30000u) << "the transfer of a program file of size 0 goes on";
}

// A script left over from an earlier update that cannot be deleted (a read-only program folder)
// does not stop the game; the check waits for a later start. (One that can: the start-up tests.)
TEST_F(UpdaterTest, ALeftoverScriptThatStaysPutsTheCheckOff) {
    const std::string alt = ordner + "/Update.CMD";
    std::ofstream(alt) << "del x\r\n";
    {
        Schreibschutz schutz({ordner, alt});
        ASSERT_TRUE(schutz.wirkt());
        check(base);
    }
    EXPECT_TRUE(fs::exists(alt));
    EXPECT_EQ(server.pfade, Texts{});
    EXPECT_TRUE(!app.ended() && boxes().empty() && !form->Visible());
}

TEST_F(UpdaterTest, FetchesTheListWithProgressAndHandsOverToTheScript) {
    const std::string lang = "/dateien/" + std::string(300, 'l') + "/a.gif";
    server.antworten.insert({{lang, S::datei("AAA")}, {"/dateien/b.gif", S::datei("BBB")}});
    server.antworten[kListe] = S::datei("[Namen]\r\nDatei1=a.gif\r\nDatei2=b.gif\r\n[URL]\r\nDatei1=" + base + lang +
                                        "\r\nDatei2=" + base + "/dateien/b.gif\r\n[Pfad]\r\nDatei1=\r\nDatei2=\\grafik\\\r\n");
    std::map<std::string, std::string> seen;  // the progress last drawn as each file is asked for
    std::string gezeichnet = "nothing drawn";
    backend.beimZeichnen = [&] { gezeichnet = stand(); };
    server.beiAnfrage = [&](const std::string& path) { seen[path] = gezeichnet; };
    agree();

    // The update window shows from the start of the check, so start-up never sits there blank.
    const std::string programm = "Datei: Kreiselsturm" + platform::executableSuffix();
    EXPECT_EQ(seen, (std::map<std::string, std::string>{{kVersion, "|0|shown"}, {kProgramm, programm + " 0/1|0|shown"},
                                                        {kListe, programm + " 1/1|6514|shown"}, {lang, "Datei: 0/2 'a.gif'|0|shown"},
                                                        {"/dateien/b.gif", "Datei: 1/2 'b.gif'|50|shown"}}));
    EXPECT_EQ(stand(), "Datei: 2/2 'b.gif'|100|shown");
    EXPECT_EQ(tree(ordner), (Paths{"Kreiselsturm.dxe", "update.cmd", "a.gif", "grafik", "grafik/b.gif"}));
    EXPECT_EQ(dateiInhalt(ordner + "/Kreiselsturm.dxe") + dateiInhalt(ordner + "/a.gif") + dateiInhalt(ordner + "/grafik/b.gif"),
              kNeu + "AAABBB");
    // The success text blinks; five seconds on the script starts and the program ends.
    EXPECT_EQ(caption("Label1"), "Update erfolgreich!");
    app.advance(500);
    EXPECT_EQ(caption("Label1"), "");
    EXPECT_TRUE(started.empty());
    app.advance(4500);
    EXPECT_TRUE(app.ended());
    EXPECT_EQ(started, Texts{ordner + "|update.cmd"});
}

// Without a list only the program file is updated, saved as X.dxe after the running program X;
// the script renames it. A leftover script is gone first, so no old lines run before the new ones.
TEST_F(UpdaterTest, WithoutTheListOnlyTheProgramFileIsUpdated) {
    std::ofstream(ordner + "/update.cmd", std::ios::binary) << "rem vorher\r\n";
    agree("kreisel-2");
    EXPECT_EQ(aufbau(*form), "Form3 'Update...' 6735x2130 border 3 centred no-taskbar\n"
                             "Timer2(-1) 0,0 0x0 every 500 on\n"
                             "Timer1(-1) 0,0 0x0 every 5000 on\n"
                             "Label2(-1) 0,1800 6735x255 'Datei: kreisel-2" + platform::executableSuffix() + " 1/1' 8.25 80000012/8000000f opaque centred\n"
                             "Shape1(-1) 120,1200 6514x495 ffc0c0\n"
                             "Shape2(-1) 120,1200 6514x495 ff8080\n"  // the full bar
                             "Label1(-1) 0,0 6735x975 'Update erfolgreich!' 36b 80000012/8000000f opaque centred\n");
    EXPECT_EQ(tree(ordner), (Paths{"kreisel-2.dxe", "update.cmd"}));
    EXPECT_EQ(dateiInhalt(ordner + "/update.cmd"), skript("kreisel-2"));
    app.closeRequested(*form);  // the player need not wait the five seconds
    EXPECT_TRUE(app.ended() && started == Texts{ordner + "|update.cmd"});
}

// Something takes the script's name while the program file downloads (here a folder): the
// script cannot be written, which ends the program with that error rather than a success.
TEST_F(UpdaterTest, AScriptThatCannotBeWrittenIsAnError) {
    server.beiAnfrage = [&](const std::string& path) {
        if (path == kProgramm) fs::create_directory(ordner + "/update.cmd");
    };
    agree();
    const std::string ziel = platform::joinPath(ordner, "update.cmd");
    EXPECT_EQ(boxes(), (Texts{kFrage, "Kreiselsturm|Die Datei '" + ziel + "' konnte nicht geschrieben werden.|Ok|Error"}));
    EXPECT_EQ(app.exitCode(), 1);
    EXPECT_TRUE(app.ended() && started.empty());
}

// Entries that would reach outside the program folder (or replace the script) are refused
// unfetched, a failed one is reported; either way the later entries are still fetched.
TEST_F(UpdaterTest, BadEntriesAreReportedAndTheRestStillFetched) {
    const std::pair<std::string, std::string> eintraege[] = {  // name, Pfad
        {"..\\..\\x", ""}, {root.path() + "/x", ""}, {"C:\\x", ""}, {"a/../../x", ""}, {"..", ""}, {"update.cmd", ""},
        {"x1", "\\..\\..\\"}, {"x2", "\\a\\..\\..\\"}, {"x3", "C:\\"}, {"x4", "/../"},
        // The updater's own files, the program file, the new one and the scores, however spelt.
        {"cmd", "\\update."}, {"Data.HSC", ""}, {"hsc", "\\.\\data."}, {"kreiselsturm" + platform::executableSuffix(), "\\"},
        {"Kreiselsturm.DXE", ""}, {"UpdateData.txt.", ""}, {"UPDATE~1", ""},
        // A folder of such a name: made for the file, it would leave the scores no room.
        {"x5", "\\Data.hsc\\"}, {"x6", "..\\Kreiselsturm\\"}, {"x7", "\\a\\..\\"},  // no ".." step, even one that comes back
        {"fehlt.txt", "\\sub\\"}, {"drei.txt", "\\"}, {"gut.txt", "\\neu\\"},  // "\": the folder itself
        {"x", "\\data.hsc"}};  // without a closing separator the Pfad only lengthens the name: no folder "data.hsc"
    std::string namen = "[Namen]\n", urls = "[URL]\n", pfade = "[Pfad]\n";
    Texts expected{kFrage};
    for (int i = 1; const auto& [name, pfad] : eintraege) {
        const std::string key = "Datei" + std::to_string(i) + "=", url = "/boese/" + std::to_string(i);
        namen += key + name + "\n";
        urls += key + base + url + "\n";
        pfade += key + pfad + "\n";
        if (name != "fehlt.txt") server.antworten[url] = S::datei(name);
        if (i++ <= 21) expected.push_back("Error|Updatefehler bei Datei '" + name + "'|Ok|Error");  // all but the last three
    }
    server.antworten[kListe] = S::datei(namen + urls + pfade);
    agree();

    EXPECT_EQ(boxes(), expected);
    EXPECT_EQ(stand(), "Datei: 3/24 'x'|12|shown");  // 3 of 24 files
    EXPECT_EQ(std::ranges::count_if(server.pfade, [](const std::string& p) { return p.starts_with("/boese/"); }), 4);
    EXPECT_EQ(tree(root.path()), (Paths{"Kreiselsturm", "Kreiselsturm/Kreiselsturm.dxe", "Kreiselsturm/update.cmd", "Kreiselsturm/drei.txt",
                                        "Kreiselsturm/neu", "Kreiselsturm/neu/gut.txt", "Kreiselsturm/data.hscx"}));
    EXPECT_EQ(dateiInhalt(ordner + "/update.cmd") + dateiInhalt(ordner + "/drei.txt"), skript("Kreiselsturm") + "drei.txt");
    EXPECT_EQ(caption("Label1"), "Update unvollständig!");  // no success
}

// Reading the update list: a file named in any case, or none; odd text. (A whole list: above.)
TEST(HolINIString, ReadsAFileNamedInAnyCaseAndOddText) {
    using game::Form3, game::iniWert, std::string_literals::operator""s;
    TempFolder ordner;
    ordner.write("updatedata.txt", "[Namen]\r\nDatei1=kreisel.gif\r\nDatei2=hilfe.txt\r\n");
    EXPECT_EQ(Form3::HolINIString(ordner.file("UPDATEDATA.TXT"), "namen", "DATEI1"), "kreisel.gif");
    EXPECT_EQ(Form3::HolINIString(ordner.file("UPDATEDATA.TXT"), "Namen"), std::string("Datei1\0Datei2\0", 14));
    EXPECT_EQ(Form3::HolINIString(ordner.file("updatedata.txt"), "Fehlt") + Form3::HolINIString(ordner.file("fehlt.txt"), "Namen", "Datei1"), "");
    // Any line end (NUL too), blanks around names and values, comments, lines that are no pair; the first section counts.
    const std::string locker = "; [URL]\rx\n[ url ]\rkein Paar\n; alt=1\n  DATEI1 = a b \0x=y\r\n[URL]\nDatei1=zweite Sektion\n"s;
    EXPECT_EQ(iniWert(locker, "URL", "Datei1"), "a b");
    EXPECT_EQ(iniWert(locker, "URL", std::nullopt), std::string("DATEI1\0x\0", 9));
    EXPECT_EQ(iniWert(std::string_view("[a]\nk=v!", 7), "a", "k"), "v") << "nothing read past the end";
    EXPECT_EQ(iniWert("\xEF\xBB\xBF[a]\nk=v", "a", "k"), "v") << "a byte-order mark before the first section";
    EXPECT_EQ(iniWert("[a]\nk=\"v w\"", "a", "k") + iniWert("[a]\nq='x'", "a", "q") + iniWert("[a]\nr='y\"", "a", "r") +
                  iniWert("[a]\ne=\"\"", "a", "e") + iniWert("[a]\nz='", "a", "z"),
              "v wx'y\"'") << "quotes around a value go, unmatched ones stay";
}

}  // namespace
