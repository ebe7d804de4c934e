#include "game/Zahltext.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "forms/Errors.h"

namespace game {

namespace {

#ifdef __cpp_lib_to_chars
char* kürzesterText(char* first, char* last, double wert) { return std::to_chars(first, last, wert).ptr; }
bool lesen(const char* first, const char* last, double& wert) {
    auto [end, ec] = std::from_chars(first, last, wert);
    return ec == std::errc() && end == last;
}
#else
// A standard library without the floating-point to_chars and from_chars (emscripten's libc++ 14):
// the fewest digits that read back as the same value, and the C library's reading held to what
// from_chars accepts (no sign "+", no blanks, no hexadecimal).
char* kürzesterText(char* first, char* last, double wert) {
    int n = 0;
    for (int stellen = 1; stellen <= 17; ++stellen) {
        n = std::snprintf(first, size_t(last - first), "%.*g", stellen, wert);
        if (std::strtod(first, nullptr) == wert) break;
    }
    return first + n;
}
bool lesen(const char* first, const char* last, double& wert) {
    const std::string text(first, last);
    if (text.empty() || text.find_first_of("+xX \t\n\v\f\r") != std::string::npos) return false;
    char* end = nullptr;
    wert = std::strtod(text.c_str(), &end);
    return end == text.c_str() + text.size();
}
#endif

}  // namespace

std::string zahltext(double wert) {
    if (wert == std::floor(wert) && std::fabs(wert) < 1e15) return std::to_string(static_cast<long long>(wert));
    char buffer[64];
    return std::string(buffer, kürzesterText(buffer, buffer + sizeof buffer, wert));
}

double zahlwert(const std::string& text) {
    size_t start = text.find_first_not_of(' ');
    if (start == std::string::npos) throw forms::RuntimeError("Typen unverträglich: '" + text + "' ist keine Zahl.");
    double wert = 0;
    const char* first = text.data() + start;
    const char* last = text.data() + text.size();
    while (last > first && last[-1] == ' ') --last;
    if (!lesen(first, last, wert)) throw forms::RuntimeError("Typen unverträglich: '" + text + "' ist keine Zahl.");
    return wert;
}

}  // namespace game
