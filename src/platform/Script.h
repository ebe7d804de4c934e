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

// The sh commands the launcher runs for the text of an update script, or nothing when a line
// is not one of the three forms the updater writes (del ".\X", ren ".\X.dxe" X, start .\X)
// or names anything but a plain file of the working folder.
std::optional<std::string> shellCommandsFor(const std::string& scriptText);

}  // namespace platform
