// Holds a file open as a program still ending does: Windows then refuses to delete it.
//   hold_file NAME SECONDS (prints "held" once it holds the file)
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    const HANDLE file = CreateFileA(argv[1], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    std::puts("held");
    std::fflush(stdout);
    Sleep(DWORD(std::atoi(argv[2])) * 1000);
    CloseHandle(file);
    return 0;
}
