#include "game/Zahltext.h"

#include <charconv>
#include <cmath>

#include "forms/Errors.h"

namespace game {

std::string zahltext(double wert) {
    if (wert == std::floor(wert) && std::fabs(wert) < 1e15) return std::to_string(static_cast<long long>(wert));
    char buffer[64];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, wert);
    (void)ec;
    return std::string(buffer, end);
}

double zahlwert(const std::string& text) {
    size_t start = text.find_first_not_of(' ');
    if (start == std::string::npos) throw forms::RuntimeError("Typen unverträglich: '" + text + "' ist keine Zahl.");
    double wert = 0;
    const char* first = text.data() + start;
    const char* last = text.data() + text.size();
    while (last > first && last[-1] == ' ') --last;
    auto [end, ec] = std::from_chars(first, last, wert);
    if (ec != std::errc() || end != last) throw forms::RuntimeError("Typen unverträglich: '" + text + "' ist keine Zahl.");
    return wert;
}

}  // namespace game
