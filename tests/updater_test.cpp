// The update window against a loopback update server: the version check, the question, the
// downloads with their progress, the list's folders, the script, and what the server may not do.
#include <gtest/gtest.h>
#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <ranges>
#include <set>
#include <thread>

#include "forms/Application.h"
#include "forms/Label.h"
#include "forms/headless/HeadlessBackend.h"
#include "platform/Script.h"
#include "support/Aufbau.h"
#include "support/Schreibschutz.h"
#include "support/TempFolder.h"
#include "support/UpdateServer.h"
#include "updater/Form3.h"

namespace fs = std::filesystem;
using Paths = std::set<std::string>;
using Texts = std::vector<std::string>;

namespace {

const std::string kVersion = "/spielhof/wirbel/version.txt", kProgramm = "/spielhof/wirbel/Kreiselsturm.txt",
                  kListe = "/spielhof/wirbel/updatedata.txt";
const std::string kFrage = "Update|Eine neuere Version von Kreiselsturm ist verfügbar, wollen sie updaten?|YesNo|None";
// A program file as the server sends it: it starts as a program of this system does.
#ifdef _WIN32
const std::string kNeu = "MZ program neu\r\n";
#else
const std::string kNeu = "#!/bin/sh\necho neu\n";
#endif
const std::string kProgrammdatei = "Kreiselsturm" + platform::executableSuffix();
const std::string kSkript = "del \".\\" + kProgrammdatei + "\"\r\nren \".\\Kreiselsturm.dxe\" " + kProgrammdatei + "\r\nstart .\\" + kProgrammdatei + "\r\n";

std::string fehler(const std::string& text) { return "Error|" + text + "|Ok|Error"; }

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

Paths tree(const std::string& folder) {
    Paths names;
    for (const auto& e : fs::recursive_directory_iterator(folder)) names.insert(fs::relative(e.path(), folder).generic_string());
    return names;
}

using Antwort = std::function<void(httplib::Response&)>;

// Answers a broken or hostile server gives.
Antwort status(int code) { return [=](httplib::Response& res) { res.status = code; }; }
Antwort inhalt(const std::string& body) { return [=](httplib::Response& res) { res.set_content(body, "text/plain"); }; }
// 1000 bytes announced, the connection closes after the first line.
const Antwort abgeschnitten = [](httplib::Response& res) {
    res.set_content_provider(1000, "text/plain", [](size_t, size_t, auto& sink) { return sink.write(kNeu.data(), 10), false; });
};
// A program file over the cap the tests set, its length not announced.
const Antwort zuGross = [](httplib::Response& res) {
    res.set_chunked_content_provider("text/plain", [](size_t offset, auto& sink) {
        return offset < 100 * 1024 ? sink.write(kNeu.data(), kNeu.size()) : (sink.done(), true);
    });
};
// A whole program file, one byte every 100 ms: slower than the floor the tests set.
const Antwort tröpfelnd = [](httplib::Response& res) {
    res.set_chunked_content_provider("text/plain", [](size_t offset, auto& sink) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        return offset < kNeu.size() ? sink.write(kNeu.data() + offset, 1) : (sink.done(), true);
    });
};

// An update window as the game makes it at start-up, and a loopback update server: `antworten`,
// `files` or 404, each request recorded; `onRequest` runs while the update window waits for the answer.
class UpdaterTest : public ::testing::Test {
protected:
    UpdaterTest() { fs::create_directory(ordner); }

    void check(const std::string& serverBasis, const std::string& programmname = "Kreiselsturm") {
        game::Form3::Einstellungen e{ordner, serverBasis, programmname,
            [this](const std::string& o, const std::string& s) { started.push_back(o + "|" + s); }};
        e.kleineDatei = klein;
        e.grosseDatei = gross;
        form = std::make_unique<game::Form3>(app, e);
        seit = backend.shownBoxes().size();
        app.dispatch([this] { form->Updatetest(); });
    }
    // A newer version and the program file on the server, and the question answered Yes.
    void agree(const std::string& programmname = "Kreiselsturm", bool programFile = true) {
        files[kVersion] = "Version: 9,000\r\n";
        if (programFile) files[kProgramm] = kNeu;
        backend.answerNext(forms::MsgResult::Yes);
        check(base, programmname);
    }
    forms::Control& control(const std::string& name) {
        return **std::ranges::find_if(form->controls(), [&](forms::Control* c) { return c->Name == name; });
    }
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
        void draw(forms::Application&) override {
            if (beimZeichnen) beimZeichnen();
        }
    } backend;
    forms::Application app{clock, backend};
    std::unique_ptr<game::Form3> form;
    size_t seit = 0;
    Texts started, requests;
    std::map<std::string, std::string> files;
    std::map<std::string, Antwort> antworten;
    // Short limits, so the tests need not wait for the real ones.
    platform::DownloadLimits klein{.connectTimeoutMs = 1000, .totalTimeoutMs = 1000, .maxBytes = 64 * 1024};
    platform::DownloadLimits gross{.connectTimeoutMs = 1000, .totalTimeoutMs = 60000, .maxBytes = 64 * 1024,
                                   .slowBytesPerSecond = 1000, .slowWindowSeconds = 1};
    std::function<void(const std::string&)> onRequest;
    UpdateServer server{[this](const httplib::Request& req, httplib::Response& res) {
        requests.push_back(req.path);
        if (antworten.contains(req.path)) antworten[req.path](res);
        else if (!files.contains(req.path)) res.status = 404;
        else res.set_content(files[req.path], "application/octet-stream");
        if (onRequest) onRequest(req.path);
    }};
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
        requests.clear();
        if (c.file) files[kVersion] = *c.file;
        else files.clear();
        check(c.serverBasis.value_or(base));
        EXPECT_EQ(boxes(), c.newer ? Texts{kFrage} : Texts{});
        EXPECT_FALSE(form->Visible());
        EXPECT_EQ(requests, c.serverBasis ? Texts{} : Texts{kVersion});
        EXPECT_TRUE(tree(ordner).empty());  // the version file is gone, nothing else written
    }
}

// What a broken or hostile server sends for the program file or the list. Only a whole program
// file of this platform, within the cap and the speed floor, is installed; a list that is not
// there leaves a success, one that failed to arrive does not.
TEST_F(UpdaterTest, OnlyAWholeProgramFileIsInstalledAndAListThatFailedIsNoSuccess) {
    const struct { std::string datei; Antwort antwort; std::string ende; } cases[] = {  // ende "": refused
        {kProgramm, status(404), ""}, {kProgramm, inhalt(""), ""}, {kProgramm, inhalt("<html>Wartung</html>"), ""},
        {kProgramm, abgeschnitten, ""}, {kProgramm, zuGross, ""}, {kProgramm, tröpfelnd, ""},
        {kProgramm, inhalt(kNeu), "Update erfolgreich!"},
        {kListe, status(404), "Update erfolgreich!"}, {kListe, status(500), "Update unvollständig!"},
        {kListe, inhalt(std::string(65 * 1024, 'x')), "Update unvollständig!"},
        {kListe, abgeschnitten, "Update unvollständig!"}, {kListe, tröpfelnd, "Update unvollständig!"},  // past the time limit
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.datei + ", case " + std::to_string(&c - cases));
        fs::remove_all(ordner);
        fs::create_directory(ordner);
        requests.clear();
        antworten = {{c.datei, c.antwort}};
        agree();
        const bool installiert = !c.ende.empty();
        EXPECT_EQ(boxes(), (installiert ? Texts{kFrage} : Texts{kFrage, fehler("Update fehlgeschlagen")}));
        EXPECT_EQ(form->Visible(), installiert);
        EXPECT_EQ(tree(ordner), (installiert ? Paths{"Kreiselsturm.dxe", "update.cmd"} : Paths{}));  // no half file
        EXPECT_EQ(caption("Label1"), installiert ? c.ende : "Update...");
        EXPECT_EQ(requests.size(), installiert ? 3u : 2u);
    }
}

// A script left over from an earlier update is deleted before the check. One that cannot be
// deleted (a read-only program folder) does not stop the game; the check waits for a later start.
TEST_F(UpdaterTest, ALeftoverScriptIsDeletedOrTheCheckWaits) {
    files[kVersion] = "Version: 1,000";
    for (const bool schreibgeschützt : {false, true}) {
        SCOPED_TRACE(schreibgeschützt ? "read-only" : "writable");
        const std::string skript = ordner + "/Update.CMD";
        std::ofstream(skript) << "del x\r\n";
        requests.clear();
        {
            Schreibschutz schutz(schreibgeschützt ? Texts{ordner, skript} : Texts{});
            ASSERT_TRUE(schutz.wirkt());
            check(base);
        }
        EXPECT_EQ(fs::exists(skript), schreibgeschützt);
        EXPECT_EQ(requests, schreibgeschützt ? Texts{} : Texts{kVersion});
        EXPECT_FALSE(app.ended());
        EXPECT_TRUE(boxes().empty());
        EXPECT_FALSE(form->Visible());
    }
}

TEST_F(UpdaterTest, FetchesTheListWithProgressAndHandsOverToTheScript) {
    const std::string lang = "/dateien/" + std::string(300, 'l') + "/a.gif";
    files.insert({{lang, "AAA"}, {"/dateien/b.gif", "BBB"}});
    files[kListe] = "[Namen]\r\nDatei1=a.gif\r\nDatei2=b.gif\r\n[URL]\r\nDatei1=" + base + lang + "\r\nDatei2=" + base +
                    "/dateien/b.gif\r\n[Pfad]\r\nDatei1=\r\nDatei2=\\grafik\\\r\n";
    std::map<std::string, std::string> seen;  // the progress last drawn as each file is asked for
    std::string gezeichnet = "nothing drawn";
    backend.beimZeichnen = [&] { gezeichnet = stand(); };
    onRequest = [&](const std::string& path) { seen[path] = gezeichnet; };
    agree();

    // The update window shows from the start of the check, so start-up never sits there blank.
    EXPECT_EQ(seen[kVersion], "|0|shown");
    EXPECT_EQ(seen[kProgramm], "Datei: " + kProgrammdatei + " 0/1|0|shown");
    EXPECT_EQ(seen[kListe], "Datei: " + kProgrammdatei + " 1/1|6514|shown");
    EXPECT_EQ(seen[lang], "Datei: 0/2|0|shown");
    EXPECT_EQ(seen["/dateien/b.gif"], "Datei: 1/2 'a.gif'|50|shown");
    EXPECT_EQ(stand(), "Datei: 2/2 'b.gif'|100|shown");
    EXPECT_EQ(tree(ordner), (Paths{"Kreiselsturm.dxe", "update.cmd", "a.gif", "grafik", "grafik/b.gif"}));
    EXPECT_EQ(readAll(ordner + "/Kreiselsturm.dxe") + readAll(ordner + "/a.gif") + readAll(ordner + "/grafik/b.gif"),
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

// A Pfad without a closing separator only lengthens the name: no folder of that name is made
// (a folder "data.hsc" would leave the scores no room).
TEST_F(UpdaterTest, PfadWithoutClosingSeparatorMakesNoFolder) {
    files["/x"] = "X";
    files[kListe] = "[Namen]\nDatei1=x\n[URL]\nDatei1=" + base + "/x\n[Pfad]\nDatei1=\\data.hsc\n";
    agree();
    EXPECT_EQ(tree(ordner), (Paths{"Kreiselsturm.dxe", "update.cmd", "data.hscx"}));
    EXPECT_EQ(caption("Label1"), "Update erfolgreich!");
}

// Without a list only the program file is updated, saved as X.dxe after the running program X;
// the script renames it. A leftover script is gone first, so no old lines run before the new ones.
TEST_F(UpdaterTest, WithoutTheListOnlyTheProgramFileIsUpdated) {
    std::ofstream(ordner + "/update.cmd", std::ios::binary) << "rem vorher\r\n";
    agree("kreisel-2");
    const std::string x = "kreisel-2" + platform::executableSuffix();
    EXPECT_EQ(aufbau(*form), "Form3 'Update...' 6735x2130 border 3 centred no-taskbar\n"
                             "Timer2(-1) 0,0 0x0 every 500 on\n"
                             "Timer1(-1) 0,0 0x0 every 5000 on\n"
                             "Label2(-1) 0,1800 6735x255 'Datei: " + x + " 1/1' 8.25 80000012/8000000f opaque centred\n"
                             "Shape1(-1) 120,1200 6514x495 ffc0c0\n"
                             "Shape2(-1) 120,1200 6514x495 ff8080\n"  // the full bar
                             "Label1(-1) 0,0 6735x975 'Update erfolgreich!' 36b 80000012/8000000f opaque centred\n");
    EXPECT_EQ(tree(ordner), (Paths{"kreisel-2.dxe", "update.cmd"}));
    EXPECT_EQ(readAll(ordner + "/update.cmd"),
              "del \".\\" + x + "\"\r\nren \".\\kreisel-2.dxe\" " + x + "\r\nstart .\\" + x + "\r\n");
}

// Something takes the script's name while the program file downloads (here a folder): the
// script cannot be written, which ends the program with that error rather than a success.
TEST_F(UpdaterTest, AScriptThatCannotBeWrittenIsAnError) {
    onRequest = [&](const std::string& path) {
        if (path == kProgramm) fs::create_directory(ordner + "/update.cmd");
    };
    agree();
    const Texts gezeigt = boxes();
    ASSERT_EQ(gezeigt.size(), 2u);
    EXPECT_EQ(gezeigt[0], kFrage);
    EXPECT_TRUE(gezeigt[1].starts_with("Kreiselsturm|Die Datei '") &&
                gezeigt[1].ends_with("update.cmd' konnte nicht geschrieben werden.|Ok|Error")) << gezeigt[1];
    EXPECT_TRUE(app.ended());
    EXPECT_EQ(app.exitCode(), 1);
    EXPECT_TRUE(started.empty());
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
        {"fehlt.txt", "\\sub\\"}, {"drei.txt", "\\"}, {"gut.txt", "\\neu\\"}};  // "\": the folder itself
    std::string namen = "[Namen]\n", urls = "[URL]\n", pfade = "[Pfad]\n";
    Texts expected{kFrage};
    for (int i = 1; const auto& [name, pfad] : eintraege) {
        const std::string key = "Datei" + std::to_string(i) + "=", url = "/boese/" + std::to_string(i);
        namen += key + name + "\n";
        urls += key + base + url + "\n";
        pfade += key + pfad + "\n";
        if (name != "fehlt.txt") files[url] = name;
        if (i++ <= 21) expected.push_back(fehler("Updatefehler bei Datei '" + name + "'"));  // all but the last two
    }
    files[kListe] = namen + urls + pfade;
    agree();

    EXPECT_EQ(boxes(), expected);
    EXPECT_EQ(stand(), "Datei: 2/23 'gut.txt'|8|shown");  // 2 of 23 files
    EXPECT_EQ(std::count_if(requests.begin(), requests.end(), [](const std::string& p) { return p.starts_with("/boese/"); }), 3);
    EXPECT_EQ(tree(root.path()), (Paths{"Kreiselsturm", "Kreiselsturm/Kreiselsturm.dxe", "Kreiselsturm/update.cmd",
                                        "Kreiselsturm/drei.txt", "Kreiselsturm/neu", "Kreiselsturm/neu/gut.txt"}));
    EXPECT_EQ(readAll(ordner + "/update.cmd") + readAll(ordner + "/drei.txt"), kSkript + "drei.txt");
    // Not reported as a success; the program file arrived, so the script still runs.
    EXPECT_EQ(caption("Label1"), "Update unvollständig!");
    app.advance(5000);
    EXPECT_EQ(started.size(), 1u);
}

#ifndef _WIN32  // Windows runs update.cmd through cmd.exe itself (tested under Wine in tests/e2e/wine/)
// The launcher hands the script's lines to /bin/sh (here at once, in a stand-in program folder),
// so a program name must stay one word to it. Lines of any other form are refused, one spoils all.
TEST(UpdateSkript, SwapsAndStartsTheProgramThroughShAndRefusesOtherLines) {
    const std::string x = "it's; touch pwned #";
    TempFolder folder, scripts;
    folder.write(x + ".dxe", "#!/bin/sh\necho ran > started.txt\n");
    const auto commands =
        platform::shellCommandsFor("del \".\\" + x + "\"\r\nren \".\\" + x + ".dxe\" " + x + "\r\nstart .\\" + x + "\r\n");
    ASSERT_TRUE(commands.has_value());
    ASSERT_EQ(std::system(("cd '" + folder.path() + "' && /bin/sh '" + scripts.write("run.sh", *commands) + "'").c_str()), 0);
    EXPECT_EQ(tree(folder.path()), (Paths{x, "started.txt"}));  // the new program ran

    const Texts refused = {"", "echo hallo\r\n", "del \".\\..\\x\"\r\n", "del \"C:\\x\"\r\n", "del \".\\x\" & calc\r\n",
                           "ren \".\\a.dxe\" ..\\b\r\n", "ren \".\\a.dxe\" sub/b\r\n", "start .\\sub\\x\r\n", "start ..\\x\r\n",
                           kSkript + "del \".\\x\"\r\nformat c:\r\n"};
    for (const std::string& script : refused) EXPECT_FALSE(platform::shellCommandsFor(script).has_value()) << script;
}
#endif

}  // namespace
