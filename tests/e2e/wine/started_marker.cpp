// Stands in for a downloaded new Kreiselsturm.exe in the update test under Wine: notes the
// folder it was started in, so the test sees that update.cmd started it, and where.
#include <windows.h>

#include <cstdio>
#include <string>

int main() {
    wchar_t folder[MAX_PATH * 4];
    const DWORD n = GetCurrentDirectoryW(DWORD(std::size(folder)), folder);
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, folder, int(n), nullptr, 0, nullptr, nullptr);
    std::string text(size_t(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, folder, int(n), text.data(), bytes, nullptr, nullptr);
    std::FILE* f = _wfopen(L"neu_gestartet.txt", L"wb");
    if (!f) return 1;
    std::fprintf(f, "started in %s\n", text.c_str());
    return std::fclose(f) == 0 ? 0 : 1;
}
