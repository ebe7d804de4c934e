#pragma once
#include <string>

namespace platform {

// Starts the command script `scriptName` of `folder` with `folder` as its working directory.
// On Windows through cmd.exe, minimised; elsewhere a detached launcher runs the same lines
// (del, ren, start) through /bin/sh once this process has ended. Does not wait.
void startUpdateScript(const std::string& folder, const std::string& scriptName);

// The executable suffix of program files here: ".exe" on Windows, "" elsewhere.
std::string executableSuffix();

}  // namespace platform
