#include "highscore/Bestenliste.h"

#include <charconv>

#include "highscore/Wendelwerk.h"

namespace game {

using forms::Int16;

namespace {

// A stored score; a record edited or damaged from outside counts as 0 rather than ending the
// game at its very last moment.
Int16 punktzahl(const std::string& datei, Int16 nummer) {
    std::string text;
    try {
        text = Wendelwerk::Datensatzlesen(datei, nummer, true);
    } catch (const Wendelwerk::BeschädigterDatensatz&) {
        return 0;
    }
    int16_t wert = 0;
    const char* ende = text.data() + text.size();
    auto [bis, fehler] = std::from_chars(text.data(), ende, wert);
    return fehler == std::errc() && bis == ende ? Int16(wert) : Int16(0);
}

}  // namespace

Bestenliste bestenlisteEintragen(const std::string& datei, Int16 erreicht, platform::RandomSource& zufall) {
    Bestenliste liste{{0, 0, 0, erreicht}, ""};
    const Wendelwerk::Sperre sperre(datei);
    liste.fehler = sperre.fehler;  // another copy hangs while saving: nothing is saved
    const auto speichern = [&](const Int16* werte) {
        if (!liste.fehler.empty()) return;
        try {
            Wendelwerk::Datensätzeschreiben(datei, {std::to_string(werte[0]), std::to_string(werte[1]), std::to_string(werte[2])}, true, zufall);
        } catch (const forms::RuntimeError& e) {
            liste.fehler = e.what();
        }
    };

    // A missing file holds three zeros, on the disk too; any plain file of that name, hidden
    // or not, is read.
    Int16 punkte[4] = {0, 0, 0, erreicht};
    if (!platform::fileExists(datei)) speichern(punkte);
    for (int k = 0; k < 3; ++k) punkte[k] = punktzahl(datei, Int16(k + 1));

    // The three best distinct scores; a place nobody reached is 0.
    Int16* platz = liste.platz;
    for (Int16 p : punkte)
        if (p > platz[0]) platz[0] = p;
    for (Int16 p : punkte)
        if (p > platz[1] && p < platz[0]) platz[1] = p;
    for (Int16 p : punkte)
        if (p > platz[2] && p < platz[1]) platz[2] = p;

    speichern(platz);
    return liste;
}

}  // namespace game
