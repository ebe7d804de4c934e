#pragma once
// What every fuzz target shares: its body sees each input as text; a broken promise of the code
// under test ends the run like a crash, so libFuzzer keeps the input that shows it.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#define FUZZ_CHECK(condition) \
    do { if (!(condition)) std::fprintf(stderr, "%s:%d: broken: %s\n", __FILE__, __LINE__, #condition), std::abort(); } while (false)

#define FUZZ_TARGET(text)                                                                                  \
    static void fuzzOne(std::string_view text);                                                            \
    extern "C" int LLVMFuzzerTestOneInput(const uint8_t* d, size_t n) { return fuzzOne({reinterpret_cast<const char*>(d), n}), 0; } \
    static void fuzzOne(std::string_view text)

namespace fuzz {

// The pieces of `text` between the separators `sep`; a separator at the end adds no empty piece.
inline std::vector<std::string> pieces(std::string_view text, char sep) {
    std::vector<std::string> out;
    for (size_t start = 0, end; start < text.size(); start = end + 1) {
        end = std::min(text.find(sep, start), text.size());
        out.emplace_back(text.substr(start, end - start));
    }
    return out;
}

// ASCII letters in lower case, as names are matched without regard to case.
inline std::string lower(std::string s) {
    for (char& c : s) c = c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
    return s;
}

}  // namespace fuzz
