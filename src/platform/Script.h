#pragma once
#include <optional>
#include <string>

namespace platform {

// Starts the command script `scriptName` of `folder` with `folder` as its working directory.
// On Windows through cmd.exe, minimised; elsewhere a detached launcher runs the same lines
// (del, ren, start) through /bin/sh once this process has ended. Does not wait.
void startUpdateScript(const std::string& folder, const std::string& scriptName);

// The executable suffix of program files here: ".exe" on Windows, "" elsewhere.
std::string executableSuffix();

// Whether the file starts like a program file of this platform ("MZ" on Windows, an ELF
// header or "#!" elsewhere); an empty or missing file does not.
bool looksLikeProgram(const std::string& path);

// The lines an update script starts with: they wait until the program file `program` of the
// working folder can be deleted (Windows refuses while the ending program still maps it),
// trying about once a second for half a minute, and end the script if it never could, so the
// old program stays as it was.
std::string waitUntilDeletable(const std::string& program);

// The sh commands the launcher runs for the text of an update script, or nothing when a line
// is not one of the forms the updater writes (the wait above, del ".\X", ren ".\X.dxe" X,
// start .\X) or names anything but a plain file of the working folder.
std::optional<std::string> shellCommandsFor(const std::string& scriptText);

}  // namespace platform
