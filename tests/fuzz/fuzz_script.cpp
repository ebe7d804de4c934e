// The update script's translation over any script text: what the Linux launcher hands to sh is
// one known command per script line, and every name in it is a plain file of the program folder,
// quoted so that sh takes it literally.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Check.h"
#include "platform/Script.h"

namespace {

// The names sh sees in `line` when it is each of `words` followed by one '…'-quoted name (a
// name may be cut by '\'' to hold a quote); nothing when the line is anything else.
std::optional<std::vector<std::string>> namesIn(std::string_view line, const std::vector<std::string_view>& words) {
    std::vector<std::string> names;
    size_t i = 0;
    for (const std::string_view word : words) {
        if (line.substr(i, word.size()) != word || line.substr(i + word.size(), 1) != "'") return std::nullopt;
        i += word.size();
        std::string name;
        for (;;) {
            const size_t close = line.find('\'', i + 1);
            if (close == std::string_view::npos) return std::nullopt;
            name.append(line.substr(i + 1, close - i - 1));
            i = close + 1;
            if (line.substr(i, 3) != "\\''") break;
            name.push_back('\'');
            i += 2;
        }
        names.push_back(name);
    }
    if (i != line.size()) return std::nullopt;
    return names;
}

bool plainFileOfFolder(const std::string& quoted) {
    if (quoted.rfind("./", 0) != 0) return false;
    const std::string name = quoted.substr(2);
    if (name.empty() || name == "." || name == "..") return false;
    for (unsigned char c : name)
        if (c < 0x20 || c == 0x7F || c == '/') return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::optional<std::string> commands = platform::shellCommandsFor(text);
    if (!commands) return 0;

    size_t scriptLines = 0, start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        if (end > start && !(end == start + 1 && text[start] == '\r')) ++scriptLines;
        start = end + 1;
    }

    size_t commandLines = 0;
    start = 0;
    while (start < commands->size()) {
        const size_t end = commands->find('\n', start);
        FUZZ_CHECK(end != std::string::npos);
        const std::string_view line = std::string_view(*commands).substr(start, end - start);
        start = end + 1;
        ++commandLines;
        std::optional<std::vector<std::string>> names = namesIn(line, {"rm -f -- "});
        if (!names) {
            names = namesIn(line, {"mv -f -- ", " ", " && chmod +x -- "});
            if (names) FUZZ_CHECK((*names)[1] == (*names)[2]);
        }
        if (!names) names = namesIn(line, {"exec "});
        FUZZ_CHECK(names.has_value());
        for (const std::string& name : *names) FUZZ_CHECK(plainFileOfFolder(name));
    }
    FUZZ_CHECK(commandLines > 0 && commandLines == scriptLines);
    return 0;
}
