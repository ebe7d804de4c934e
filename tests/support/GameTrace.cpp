#include "GameTrace.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "Aufbau.h"

namespace {

constexpr int64_t LookMs = 10, PlacesMs = 500;

// In lower case: Windows keeps the case a picture was asked for in, other systems the file's own.
std::string bildname(const forms::PictureRef& p) {
    std::string name = p ? " " + std::filesystem::path(p->path).filename().string() : "";
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name;
}

// A record of data.hsc: printable bytes as they are, others as \xNN, the zeros at its end counted.
std::string satz(const std::string& bytes) {
    const size_t ende = bytes.find_last_not_of('\0') + 1;  // 0 when all are zero
    std::string out;
    for (unsigned char c : bytes.substr(0, ende))
        out += c > ' ' && c < 127 && c != '\\' ? std::string(1, char(c)) : "\\x" + std::string{"0123456789abcdef"[c / 16], "0123456789abcdef"[c % 16]};
    return out + " +" + std::to_string(bytes.size() - ende) + "x\\0";
}

}  // namespace

std::string GameTrace::play(const std::string& script) {
    h_.start();
    h_.ui().version.Caption = "v";  // the build's own number
    look();
    std::istringstream words(script);
    for (std::string w; words >> w; look(), writePlaces()) {
        const size_t taste = std::string(" lurdes").find(w.back());
        if (std::isdigit(static_cast<unsigned char>(w[0]))) {
            playUntil(h_.clock.nowMs() + std::stoll(w));
            continue;
        }
        if (w == "item") {  // only while the game runs: it sends items then
            int art, top;
            if (words >> art >> top && h_.ui().Highscore.Visible) continue;
            w += " " + std::to_string(art) + " " + std::to_string(top);
            h_.random.pushResult(1, 12, art);
            h_.random.pushResult(1, h_.form1->ScaleHeight() - 40, top);
            h_.app.dispatch([&] { h_.form1->Powerspawn(); });
        }
        float breite, höhe;
        if (w == "resize" && words >> breite >> höhe) w += " " + std::to_string(int(breite)) + "x" + std::to_string(int(höhe));
        write("> " + w);
        if (w == "<" || w == ">" || w == "start") h_.click(h_.ui().Command1[w == "<" ? 0 : w == ">" ? 1 : 2]);
        if (w == "restart") h_.click(h_.ui().Command2), h_.ui().version.Caption = "v";
        if (w.rfind("resize", 0) == 0) h_.app.resized(*h_.form1, breite, höhe);
        if (w == "close") h_.app.closeRequested(*h_.form1);
        if (w.size() == 2 && taste != std::string::npos) {
            const int16_t key = std::vector<int16_t>{0, forms::Key::Left, forms::Key::Up, forms::Key::Right, forms::Key::Down, forms::Key::Escape, 16}[taste];
            w[0] == '+' ? h_.press(key) : h_.release(key);
        }
        for (const int64_t bis = h_.clock.nowMs() + 600000; w == "over" && !h_.ui().Highscore.Visible && h_.clock.nowMs() < bis;)
            playUntil(h_.clock.nowMs() + LookMs);
        if (w == "over") playUntil(h_.clock.nowMs() + 3000);
    }
    return text_;
}

void GameTrace::playUntil(int64_t ms) {
    while (h_.clock.nowMs() < ms && !h_.app.ended()) {
        h_.advance(std::min(LookMs - h_.clock.nowMs() % LookMs, ms - h_.clock.nowMs()));
        look();
        if (h_.clock.nowMs() % PlacesMs == 0) writePlaces();
    }
}

void GameTrace::writePlaces() {
    std::string moved;
    for (const auto& [key, place] : places_)
        if (std::exchange(writtenPlace_[key], place) != place) moved += " " + key + " " + place;
    if (!moved.empty()) write("@" + moved);
}

void GameTrace::look() {
    game::Form1& f = *h_.form1;
    const auto z = [](forms::Int16 n) { return " " + std::to_string(n.value()); };
    std::istringstream design(aufbau(f));
    std::string line;
    std::getline(design, line);
    std::vector<std::pair<std::string, std::string>> now{{"Form1", line.substr(6) + (f.Visible() ? "" : " hidden") +
        (h_.app.ended() ? " ended" + z(h_.app.exitCode()) : "") + " level" + z(f.Level) + " lives" + z(f.Leben) + " score" +
        z(f.gegnerbesiegt) + " speed" + z(f.Geschwindigkeit) + z(f.Gegnergeschwindigkeit)}};
    places_.clear();
    for (const forms::Control* c : f.controls()) {
        std::getline(design, line);
        const size_t a = line.find(' '), b = line.find(' ', a + 1);
        places_.emplace_back(line.substr(0, a), line.substr(a + 1, b - a - 1));
        std::string s = line.substr(b + 1) + (c->Tag.empty() ? "" : " tag " + c->Tag);
        if (auto* i = dynamic_cast<const forms::Image*>(c)) s += bildname(i->picture);
        if (auto* p = dynamic_cast<const forms::PictureBox*>(c)) s += bildname(p->picture) + bildname(p->background);
        now.emplace_back(line.substr(0, a), s);
    }
    const size_t zeilen = text_.size();
    std::map<std::string, std::string> seen;
    for (size_t i = 0; i < now.size(); ++i) {
        auto& [key, s] = now[i];
        const auto alt = state_.find(key);
        if (alt == state_.end() || alt->second != s)
            write(key + (i ? " " + (writtenPlace_[key] = places_[i - 1].second) : "") + " " + s);
        if (alt != state_.end()) state_.erase(alt);  // what stays in state_ is gone
        seen.emplace(std::move(key), std::move(s));
    }
    for (const auto& gone : state_) write(gone.first + " gone"), writtenPlace_.erase(gone.first);
    state_ = std::move(seen);
    for (const auto& shown = h_.backend.shownBoxes(); boxes_ < shown.size(); ++boxes_) write("MsgBox " + shown[boxes_].box.text);
    if (text_.size() == zeilen) return;  // the file changes only along with the window
    std::ifstream in(h_.file("data.hsc"), std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    if (std::exchange(hsc_, bytes) == bytes) return;
    for (size_t n = 0; n * 128 < bytes.size(); ++n) write("data.hsc " + std::to_string(n + 1) + " " + satz(bytes.substr(n * 128, 128)));
}

void GameTrace::write(const std::string& line) {
    const std::string zeit = std::to_string(h_.clock.nowMs());
    text_ += std::string(zeit.size() < 6 ? 6 - zeit.size() : 0, ' ') + zeit + " " + line + "\n";
}
