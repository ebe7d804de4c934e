#pragma once
// The program folder and its files. Paths handed in may use backslashes ("\gegner1.gif");
// names are found without regard to case, since the pictures may be spelt either way.
#include <string>

namespace platform {

// The folder of the running program file, without a trailing separator.
std::string programFolder();
// The running program file's name without folder and without ".exe".
std::string programBaseName();

// folder + relative, every backslash turned into the native separator, no doubled separator.
std::string joinPath(const std::string& folder, const std::string& relative);
// The existing file or folder whose name matches `path` without regard to case (each component
// after the first existing one is looked up in its folder); `path` itself when none matches.
std::string resolvePath(const std::string& path);

bool fileExists(const std::string& path);    // a plain file, hidden or not
bool folderExists(const std::string& path);
// These raise a forms::RuntimeError naming the path when the operation fails.
void deleteFile(const std::string& path);
void makeFolder(const std::string& path);
void copyFile(const std::string& from, const std::string& to);  // replaces an existing target

}  // namespace platform
