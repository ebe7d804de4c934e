// The version check over any version file: the version text is read from its last line and
// is a number only when it is digits with at most one decimal comma.
#include <cmath>

#include "Check.h"
#include "updater/Form3Intern.h"

// Digits, optionally a comma and more digits, blanks around them.
static bool looksLikeVersion(std::string_view t) {
    while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
    while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.remove_suffix(1);
    size_t i = 0, ziffernVorn = 0, ziffernHinten = 0;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i, ++ziffernVorn;
    if (i == t.size()) return ziffernVorn > 0;
    if (t[i] != ',') return false;
    for (++i; i < t.size(); ++i, ++ziffernHinten)
        if (t[i] < '0' || t[i] > '9') return false;
    return ziffernVorn > 0 && ziffernHinten > 0;
}

FUZZ_TARGET(inhalt) {
    const std::string text = game::updater::versionstext(inhalt);
    FUZZ_CHECK(text.size() + 9 <= inhalt.size() || text.empty());
    FUZZ_CHECK(text.find_first_of("\r\n") == std::string::npos);

    const std::optional<float> neu = game::updater::versionsnummer(text);
    if (neu) FUZZ_CHECK(looksLikeVersion(text) && std::isfinite(*neu) && *neu >= 0);
    // Up to 30 digits always fit a float; longer ones may be out of its range.
    if (looksLikeVersion(text) && text.size() <= 30) FUZZ_CHECK(neu.has_value());
}
