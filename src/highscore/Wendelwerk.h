#pragma once
// The highscore file "data.hsc": records of 128 bytes. Record n (from 1) starts at byte
// (n - 1) * 128 with the text's length as a 16-bit little-endian number, then the text, then
// zero bytes up to the record's end. With filler a text is stored between four random digits on
// either side, which say nothing and are cut off again when it is read.
//
// A file is never changed in place: its new content goes to a temporary file in the same
// folder, is flushed to the disk and renamed over the old one, so a crash at any moment leaves
// either the old or the new file whole.
#include <string>
#include <string_view>
#include <vector>

#include "forms/Errors.h"
#include "forms/Int16.h"
#include "platform/Random.h"

namespace game::Wendelwerk {

constexpr int Satzlänge = 128;
constexpr int Textlänge = Satzlänge - 2;  // room for the text of one record
constexpr int Füllziffern = 4;            // on either side

// A record that cannot be read back whole: it ends beyond the end of the file, its length
// field is over 126, or its text is too short to hold its own filler.
class BeschädigterDatensatz : public forms::RuntimeError {
public:
    using forms::RuntimeError::RuntimeError;
};

// The three steps of a save, each on its own so a test can make any of them fail. A failing
// step throws (std::system_error from the disk); the save turns that into a forms::RuntimeError
// naming the file.
class Ablage {
public:
    virtual ~Ablage() = default;
    // Makes `pfad` a new file holding exactly `inhalt`.
    virtual void schreiben(const std::string& pfad, std::string_view inhalt);
    // Makes sure the content of `pfad` is on the disk, not just in the system's buffers.
    virtual void festschreiben(const std::string& pfad);
    // Renames `von` to `nach`, replacing `nach` in one step.
    virtual void umbenennen(const std::string& von, const std::string& nach);
};

// The storage every save goes through; tests swap in their own (nullptr: back to the disk).
Ablage& ablage();
void ablageErsetzen(Ablage* andere);

// Writes `text` into record `nummer` of `datei`; other records stay as they are. A missing
// file is created, a short one extended with zero bytes. The filler digits are drawn from
// `zufall` without re-seeding it.
void Datensatzschreiben(const std::string& datei, const std::string& text, forms::Int16 nummer, bool füllziffern,
                        platform::RandomSource& zufall = platform::processRandom());

// Writes texte[0] into record 1, texte[1] into record 2, and so on, in one save.
void Datensätzeschreiben(const std::string& datei, const std::vector<std::string>& texte, bool füllziffern,
                         platform::RandomSource& zufall = platform::processRandom());

// The text of record `nummer`. A record wholly beyond the end of the file, or a missing file,
// gives the empty text; a damaged record raises BeschädigterDatensatz.
std::string Datensatzlesen(const std::string& datei, forms::Int16 nummer, bool füllziffern);

}  // namespace game::Wendelwerk
