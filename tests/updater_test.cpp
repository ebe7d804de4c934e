// The update window against a loopback update server: the version check, the question, the
// downloads with their progress, the list's folders, the script, and what the server may not do.
#include <gtest/gtest.h>
#include <httplib.h>

#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <sstream>
#include <thread>

#include "forms/Application.h"
#include "forms/Clock.h"
#include "forms/Label.h"
#include "forms/Shape.h"
#include "forms/headless/HeadlessBackend.h"
#include "platform/Script.h"
#include "support/TempFolder.h"
#include "updater/Form3.h"

namespace fs = std::filesystem;
using forms::MsgButtons;
using forms::MsgIcon;
using forms::MsgResult;

namespace {

const std::string kVersion = "/spielhof/wirbel/version.txt";
const std::string kProgramm = "/spielhof/wirbel/Kreiselsturm.txt";
const std::string kListe = "/spielhof/wirbel/updatedata.txt";
const std::string kFrage = "Eine neuere Version von Kreiselsturm ist verfügbar, wollen sie updaten?";
const std::string kSkript =
    "del \".\\Kreiselsturm\"\r\n"
    "ren \".\\Kreiselsturm.dxe\" Kreiselsturm\r\n"
    "start .\\Kreiselsturm\r\n";

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Every file and folder below `folder`, as relative paths with '/'.
std::set<std::string> tree(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& e : fs::recursive_directory_iterator(folder))
        names.insert(fs::relative(e.path(), folder).generic_string());
    return names;
}

// Serves the files put into it, 404 for anything else, and records every request. `onRequest`
// runs before the answer goes out, while the update window waits for it.
class UpdateServer {
public:
    UpdateServer() {
        http.Get(".*", [this](const httplib::Request& req, httplib::Response& res) {
            std::function<void(const std::string&)> hook;
            {
                std::lock_guard lock(mutex_);
                requests_.push_back(req.path);
                hook = onRequest;
                const auto it = files_.find(req.path);
                if (it == files_.end()) res.status = 404;
                else res.set_content(it->second, "application/octet-stream");
            }
            if (hook) hook(req.path);
        });
        port_ = http.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { http.listen_after_bind(); });
        for (int i = 0; i < 500 && !http.is_running(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ~UpdateServer() {
        http.stop();
        thread_.join();
    }
    std::string base() const { return "http://127.0.0.1:" + std::to_string(port_); }
    void put(const std::string& path, const std::string& body) {
        std::lock_guard lock(mutex_);
        files_[path] = body;
    }
    std::vector<std::string> requests() {
        std::lock_guard lock(mutex_);
        return requests_;
    }
    void forget() {
        std::lock_guard lock(mutex_);
        requests_.clear();
        files_.clear();
    }

    std::function<void(const std::string&)> onRequest;
    httplib::Server http;

private:
    std::mutex mutex_;
    std::map<std::string, std::string> files_;
    std::vector<std::string> requests_;
    int port_ = 0;
    std::thread thread_;
};

class UpdaterTest : public ::testing::Test {
protected:
    UpdaterTest() { fs::create_directory(ordner); }

    // A fresh update window, as the game makes it at start-up, and its update check.
    void check(const std::string& base, const std::string& programmname = "Kreiselsturm") {
        form.reset();
        form = std::make_unique<game::Form3>(
            app, game::Form3::Einstellungen{ordner, base, programmname, [this](const std::string& o, const std::string& s) {
                                                 started.push_back(o + "|" + s);
                                             }});
        app.dispatch([this] { form->Updatetest(); });
    }
    void check() { check(server.base()); }

    template <class T>
    T& control(const std::string& name) {
        for (forms::Control* c : form->controls())
            if (c->Name == name) return static_cast<T&>(*c);
        throw std::runtime_error("no control " + name);
    }
    std::string caption(const std::string& label) { return control<forms::Label>(label).Caption; }
    float bar() { return control<forms::Shape>("Shape2").Width; }

    // The message box shown as number `i`, with the fields the player sees.
    std::string box(size_t i) const {
        if (i >= backend.shownBoxes().size()) return "(none)";
        const auto& b = backend.shownBoxes()[i].box;
        return b.title + "|" + b.text + "|" + (b.buttons == MsgButtons::Ok ? "Ok" : "YesNo") + "|" +
               (b.icon == MsgIcon::Error ? "Error" : b.icon == MsgIcon::None ? "None" : "Information");
    }
    std::vector<std::string> boxes() const {
        std::vector<std::string> texts;
        for (const auto& b : backend.shownBoxes()) texts.push_back(b.box.text);
        return texts;
    }

    void offerNewVersion() { server.put(kVersion, "Version: 9,000\r\n"); }

    void emptyFolder() {
        for (const auto& e : fs::directory_iterator(ordner)) fs::remove_all(e.path());
    }

    TempFolder root;  // the program folder lies inside, so a write beside it would show
    const std::string ordner = root.path() + "/Kreiselsturm";
    forms::ManualClock clock;
    forms::HeadlessBackend backend;
    forms::Application app{clock, backend};
    UpdateServer server;
    std::vector<std::string> started;
    std::unique_ptr<game::Form3> form;
};

TEST_F(UpdaterTest, AsksOnlyForANewerVersion) {
    const struct {
        std::string file;
        bool newer;
    } cases[] = {
        {"Version: 1,260", false},
        {"Version: 1,261", true},
        {"Version: 1,259\r\n", false},
        {"123456789"
         "1,3",
         true},
        {"Version: 9,000\r\nVersion: 1,000\r\n", false},  // only the last line counts
        {"Version:1", false},   // nine characters, no version
        {"Version:12", true},   // ten are enough
        {"Version: 1,3x", false},
        {"Version: 1.300", false},  // a decimal point is not the notation
        {"", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        server.forget();
        server.put(kVersion, c.file);
        const size_t before = backend.shownBoxes().size();
        check();  // the question is answered No
        ASSERT_EQ(backend.shownBoxes().size() - before, c.newer ? 1u : 0u);
        if (c.newer) EXPECT_EQ(box(before), "Update|" + kFrage + "|YesNo|None");
        EXPECT_FALSE(form->Visible());
        EXPECT_EQ(server.requests(), std::vector<std::string>{kVersion});
        EXPECT_TRUE(tree(ordner).empty());  // the version file is gone, nothing else written
    }
}

TEST_F(UpdaterTest, WithoutAUsableVersionFileTheGameStartsSilently) {
    const std::string unreachable = [] {
        UpdateServer gone;
        return gone.base();
    }();
    std::string oversized(70 * 1024, 'x');
    oversized += "\r\nVersion: 9,000\r\n";
    const struct {
        const char* what;
        std::string base;
        std::string versionFile;  // empty: none on the server
    } cases[] = {
        {"no server configured", "", "Version: 9,000"},
        {"no version file", server.base(), ""},
        {"version file too large", server.base(), oversized},
        {"server down", unreachable, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        server.forget();
        if (!c.versionFile.empty()) server.put(kVersion, c.versionFile);
        check(c.base);
        EXPECT_TRUE(boxes().empty());
        EXPECT_FALSE(form->Visible());
        EXPECT_TRUE(tree(ordner).empty());
        EXPECT_EQ(server.requests().size(), c.base == server.base() ? 1u : 0u);
    }
}

TEST_F(UpdaterTest, FailedProgramFileEndsTheUpdate) {
    offerNewVersion();
    backend.answerNext(MsgResult::Yes);
    check();
    EXPECT_EQ(backend.shownBoxes().size(), 2u);
    EXPECT_EQ(box(1), "Error|Update fehlgeschlagen|Ok|Error");
    EXPECT_FALSE(form->Visible());
    EXPECT_TRUE(tree(ordner).empty());  // no script, no half program file
    EXPECT_EQ(server.requests(), (std::vector<std::string>{kVersion, kProgramm}));
}

TEST_F(UpdaterTest, FetchesTheListWithProgressAndHandsOverToTheScript) {
    const std::string lang = "/dateien/" + std::string(300, 'l') + "/a.gif";
    offerNewVersion();
    server.put(kProgramm, "new program");
    server.put(lang, "AAA");
    server.put("/dateien/b.gif", "BBB");
    server.put(kListe, "[Namen]\r\nDatei1=a.gif\r\nDatei2=b.gif\r\n"
                       "[URL]\r\nDatei1=" + server.base() + lang + "\r\nDatei2=" + server.base() + "/dateien/b.gif\r\n"
                       "[Pfad]\r\nDatei1=\r\nDatei2=\\grafik\\\r\n");
    struct Stand {
        std::string label2;
        float bar;
        bool visible;
        bool operator==(const Stand&) const = default;
    };
    std::map<std::string, Stand> seen;
    server.onRequest = [&](const std::string& path) { seen[path] = {caption("Label2"), bar(), form->Visible()}; };

    backend.answerNext(MsgResult::Yes);
    check();

    EXPECT_EQ(boxes(), std::vector<std::string>{kFrage});
    EXPECT_EQ(seen[kListe], (Stand{"Datei: Kreiselsturm 1/1", 6514, false}));
    EXPECT_EQ(seen[lang], (Stand{"Datei: 0/2", 0, true}));
    EXPECT_EQ(seen["/dateien/b.gif"], (Stand{"Datei: 1/2 'a.gif'", 50, true}));
    EXPECT_EQ(caption("Label2"), "Datei: 2/2 'b.gif'");
    EXPECT_FLOAT_EQ(bar(), 100);
    EXPECT_EQ(tree(ordner), (std::set<std::string>{"Kreiselsturm.dxe", "update.cmd", "a.gif", "grafik", "grafik/b.gif"}));
    EXPECT_EQ(readAll(ordner + "/Kreiselsturm.dxe"), "new program");
    EXPECT_EQ(readAll(ordner + "/a.gif"), "AAA");
    EXPECT_EQ(readAll(ordner + "/grafik/b.gif"), "BBB");
    EXPECT_EQ(readAll(ordner + "/update.cmd"), kSkript);

    // The success text blinks, beginning with empty; after five seconds the script starts
    // and the program ends.
    EXPECT_TRUE(form->Visible());
    EXPECT_EQ(caption("Label1"), "Update erfolgreich!");
    app.advance(500);
    EXPECT_EQ(caption("Label1"), "");
    app.advance(500);
    EXPECT_EQ(caption("Label1"), "Update erfolgreich!");
    app.advance(3999);
    EXPECT_FALSE(app.ended());
    EXPECT_TRUE(started.empty());
    app.advance(1);
    EXPECT_TRUE(app.ended());
    EXPECT_EQ(app.exitCode(), 0);
    EXPECT_EQ(started, std::vector<std::string>{ordner + "|update.cmd"});
}

TEST_F(UpdaterTest, AFailedFileIsReportedNotMovedAndTheRestStillFetched) {
    offerNewVersion();
    server.put(kProgramm, "new program");
    server.put("/eins.txt", "1");
    server.put("/drei.txt", "3");
    const std::string b = server.base();
    server.put(kListe, "[Namen]\nDatei1=eins.txt\nDatei2=zwei.txt\nDatei3=drei.txt\n"
                       "[URL]\nDatei1=" + b + "/eins.txt\nDatei2=" + b + "/zwei.txt\nDatei3=" + b + "/drei.txt\n"
                       "[Pfad]\nDatei2=\\sub\\\nDatei3=\\\n");  // "\": the program folder itself
    backend.answerNext(MsgResult::Yes);
    check();

    EXPECT_EQ(backend.shownBoxes().size(), 2u);
    EXPECT_EQ(box(1), "Error|Updatefehler bei Datei 'zwei.txt'|Ok|Error");
    EXPECT_EQ(caption("Label2"), "Datei: 2/3 'drei.txt'");
    EXPECT_NEAR(bar(), 200.0f / 3, 0.01);
    EXPECT_EQ(tree(ordner), (std::set<std::string>{"Kreiselsturm.dxe", "update.cmd", "eins.txt", "drei.txt"}));

    // Not reported as a success; the program file itself arrived, so the script still runs.
    EXPECT_EQ(caption("Label1"), "Update unvollständig!");
    app.advance(1000);
    EXPECT_EQ(caption("Label1"), "Update unvollständig!");
    app.advance(4000);
    EXPECT_TRUE(app.ended());
    EXPECT_EQ(started.size(), 1u);
}

TEST_F(UpdaterTest, WithoutTheListOnlyTheProgramFileIsUpdated) {
    for (const bool oversized : {false, true}) {
        SCOPED_TRACE(oversized ? "list too large" : "no list");
        server.forget();
        emptyFolder();
        offerNewVersion();
        server.put(kProgramm, "new program");
        if (oversized) server.put(kListe, "[Namen]\nDatei1=a\n[URL]\nDatei1=" + server.base() + "/a\n" + std::string(70 * 1024, ';'));
        std::ofstream(ordner + "/update.cmd", std::ios::binary) << "rem vorher\r\n";
        backend.answerNext(MsgResult::Yes);
        check();
        EXPECT_TRUE(form->Visible());
        EXPECT_EQ(caption("Label2"), "Datei: Kreiselsturm 1/1");
        EXPECT_FLOAT_EQ(bar(), 6514);
        EXPECT_EQ(caption("Label1"), "Update erfolgreich!");
        EXPECT_EQ(readAll(ordner + "/update.cmd"), "rem vorher\r\n" + kSkript);  // appended
        EXPECT_EQ(tree(ordner), (std::set<std::string>{"Kreiselsturm.dxe", "update.cmd"}));
        EXPECT_EQ(server.requests(), (std::vector<std::string>{kVersion, kProgramm, kListe}));
    }
}

// The script renames X.dxe to X, so the new program file must be saved under that name too.
TEST_F(UpdaterTest, TheNewProgramFileIsNamedAfterTheRunningOne) {
    offerNewVersion();
    server.put(kProgramm, "new program");
    backend.answerNext(MsgResult::Yes);
    check(server.base(), "kreisel-2");
    EXPECT_EQ(caption("Label2"), "Datei: kreisel-2 1/1");
    EXPECT_EQ(tree(ordner), (std::set<std::string>{"kreisel-2.dxe", "update.cmd"}));
    EXPECT_EQ(readAll(ordner + "/update.cmd"),
              "del \".\\kreisel-2\"\r\nren \".\\kreisel-2.dxe\" kreisel-2\r\nstart .\\kreisel-2\r\n");
}

TEST_F(UpdaterTest, TheListCannotReachOutsideTheProgramFolder) {
    const struct {
        std::string name, pfad;
    } refused[] = {
        {"..\\..\\x", ""},
        {root.path() + "/x", ""},
        {"C:\\x", ""},
        {"a/../../x", ""},
        {"..", ""},
        {"update.cmd", ""},  // would replace the script the updater just wrote
        {"x1", "\\..\\..\\"},
        {"x2", "\\a\\..\\..\\"},
        {"x3", "C:\\"},
        {"x4", "/../"},
    };
    std::string namen = "[Namen]\n", urls = "[URL]\n", pfade = "[Pfad]\n";
    int i = 0;
    const auto eintrag = [&](const std::string& name, const std::string& pfad) {
        const std::string key = "Datei" + std::to_string(++i);
        namen += key + "=" + name + "\n";
        urls += key + "=" + server.base() + "/boese/" + std::to_string(i) + "\n";
        pfade += key + "=" + pfad + "\n";
        server.put("/boese/" + std::to_string(i), "boese");
    };
    for (const auto& r : refused) eintrag(r.name, r.pfad);
    eintrag("gut.txt", "\\neu\\");
    offerNewVersion();
    server.put(kProgramm, "new program");
    server.put(kListe, namen + urls + pfade);
    backend.answerNext(MsgResult::Yes);
    check();

    std::vector<std::string> expectedBoxes{kFrage};
    for (const auto& r : refused) expectedBoxes.push_back("Updatefehler bei Datei '" + r.name + "'");
    EXPECT_EQ(boxes(), expectedBoxes);
    EXPECT_EQ(caption("Label2"), "Datei: 1/11 'gut.txt'");
    // Nothing was even fetched for the refused entries; only the last one arrived.
    const auto requests = server.requests();
    EXPECT_EQ(std::count_if(requests.begin(), requests.end(), [](const std::string& p) { return p.rfind("/boese/", 0) == 0; }), 1);
    EXPECT_EQ(tree(root.path()), (std::set<std::string>{"Kreiselsturm", "Kreiselsturm/Kreiselsturm.dxe", "Kreiselsturm/update.cmd",
                                                        "Kreiselsturm/neu", "Kreiselsturm/neu/gut.txt"}));
    EXPECT_EQ(readAll(ordner + "/update.cmd"), kSkript);
}

// The launcher hands the script's lines to /bin/sh; here they run directly, without the wait
// for the program's end, in a folder that stands in for the program folder.
void runInFolder(const std::string& folder, const std::string& commands) {
    const std::string file = folder + "/../" + fs::path(folder).filename().string() + ".sh";
    std::ofstream(file, std::ios::binary) << commands;
    const std::string line = "cd '" + folder + "' && /bin/sh '" + file + "'";
    EXPECT_EQ(std::system(line.c_str()), 0);
    fs::remove(file);
}

TEST(UpdateSkript, SwapsAndStartsTheProgramThroughSh) {
    for (const std::string& x : {std::string("Kreiselsturm"), std::string("it's; touch pwned #")}) {
        SCOPED_TRACE(x);
        TempFolder folder;
        folder.write(x, "old program");
        folder.write(x + ".dxe", "#!/bin/sh\necho ran > started.txt\n");
        const std::string script = "del \".\\" + x + "\"\r\nren \".\\" + x + ".dxe\" " + x + "\r\nstart .\\" + x + "\r\n";
        if (x == "Kreiselsturm") {
            EXPECT_EQ(script, kSkript);
        }
        const std::optional<std::string> commands = platform::shellCommandsFor(script);
        ASSERT_TRUE(commands.has_value());
        runInFolder(folder.path(), *commands);

        EXPECT_EQ(tree(folder.path()), (std::set<std::string>{x, "started.txt"}));
        EXPECT_EQ(readAll(folder.file("started.txt")), "ran\n");
        struct stat info {};
        ASSERT_EQ(stat(folder.file(x).c_str(), &info), 0);
        EXPECT_TRUE(info.st_mode & S_IXUSR);
    }
}

TEST(UpdateSkript, RefusesLinesItDoesNotKnow) {
    for (const std::string& script : {
             std::string(""),
             std::string("echo hallo\r\n"),
             std::string("del \".\\..\\x\"\r\n"),
             std::string("del \"C:\\x\"\r\n"),
             std::string("del \".\\x\" & calc\r\n"),
             std::string("ren \".\\a.dxe\" ..\\b\r\n"),
             std::string("ren \".\\a.dxe\" sub/b\r\n"),
             std::string("start .\\sub\\x\r\n"),
             std::string("start ..\\x\r\n"),
             kSkript + "del \".\\x\"\r\nformat c:\r\n",
         }) {
        SCOPED_TRACE(script);
        EXPECT_FALSE(platform::shellCommandsFor(script).has_value());
    }
}

}  // namespace
