#pragma once
// The highscore file "data.hsc": records of 128 bytes. Record n (from 1) starts at byte
// (n - 1) * 128 with the text's length as a 16-bit little-endian number, then the text, then
// zero bytes up to the record's end. With filler a text is stored between four random digits on
// either side, which say nothing and are cut off again when it is read.
//
// Reading takes only the bytes of the records asked for, however long the file is.
//
// Saving: the new records go to a temporary file "<name>.<process number>.tmp" in the same
// folder, which gets the old file's mode and owner, is flushed to the disk and renamed over the
// old one, so a crash at any moment leaves either the old or the new file whole. The records
// are written over the old ones in place instead, and flushed to the disk, when
// - the file holds further records: they stay as they are, and copying them to a new file
//   would mean rewriting a file of any size;
// - the file has further names (hard links), which a new file would leave with the old records;
// - the folder takes no new file (no permission, disk full) while the file itself may be
//   written, or the new file could not be given the old one's owner.
// A symbolic link is followed: its target is saved and the link stays. A file without write
// permission is never written, nor anything but a plain file (a link to a pipe or a device).
// Temporary files left by copies of the game that died while saving are removed at start-up and
// by the next save.
//
// Several copies of the game may share the file: whoever reads, merges and saves holds a
// Sperre from the first read to the last write.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "forms/Errors.h"
#include "forms/Int16.h"
#include "platform/Files.h"
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

// The steps of a save, each on its own so a test can make any of them fail. A failing step
// throws std::system_error; the save turns that into a forms::RuntimeError naming the file.
class Ablage {
public:
    virtual ~Ablage() = default;
    // Makes the new file `pfad`, which must not exist yet, holding exactly `inhalt`.
    virtual void schreiben(const std::string& pfad, std::string_view inhalt);
    // Makes sure the content of `pfad` is on the disk, not just in the system's buffers.
    virtual void festschreiben(const std::string& pfad);
    // Renames `von` to `nach`, replacing `nach` in one step.
    virtual void umbenennen(const std::string& von, const std::string& nach);
    // Writes `inhalt` over the first bytes of the existing file `pfad` and flushes it to the disk.
    virtual void überschreiben(const std::string& pfad, std::string_view inhalt);
};

// The storage every save goes through; tests swap in their own (nullptr: back to the disk).
Ablage& ablage();
void ablageErsetzen(Ablage* andere);

// Keeps every other copy of the game that asks for it out of the file `datei` until the object
// goes: the lock is held on the folder of the file (on Windows on "<name>.lock" beside it, or
// where that cannot be made on the file itself). A copy that holds it longer than the wait
// (see platform::FileLock) leaves `fehler` telling so, and nothing may be saved; without
// anything to lock there is nothing to protect.
class Sperre {
public:
    explicit Sperre(const std::string& datei);
    std::string fehler;  // empty unless another copy kept the lock throughout the wait

private:
    std::optional<platform::FileLock> schloss;
};

// Removes the temporary files beside `datei` left by copies of the game that died while saving
// (the game does this at start-up). Never fails.
void Verwaisteentfernen(const std::string& datei);

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
