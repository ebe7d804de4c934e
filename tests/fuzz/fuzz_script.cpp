// The update script's translation over any script text: what the Linux launcher hands to sh is
// one known command per script line (per wait block), and every name in it is a plain file of the program folder,
// quoted so that sh takes it literally.
#include <algorithm>
#include <optional>

#include "Check.h"
#include "platform/Script.h"

// The names sh sees in `line` when it is each of `words` followed by one '…'-quoted name (a
// name may be cut by '\'' to hold a quote); nothing when the line is anything else.
static std::optional<std::vector<std::string>> namesIn(std::string_view line, const std::vector<std::string_view>& words) {
    std::vector<std::string> names;
    for (const std::string_view word : words) {
        if (!line.starts_with(word)) return std::nullopt;
        line.remove_prefix(word.size());
        std::string& name = names.emplace_back();
        for (;;) {
            const size_t close = line.starts_with('\'') ? line.find('\'', 1) : std::string_view::npos;
            if (close == std::string_view::npos) return std::nullopt;
            name.append(line.substr(1, close - 1));
            line.remove_prefix(close + 1);
            if (!line.starts_with("\\''")) break;
            name += '\'';
            line.remove_prefix(2);
        }
    }
    if (!line.empty()) return std::nullopt;
    return names;
}

static bool plainFileOfFolder(const std::string& quoted) {
    const std::string name = quoted.substr(std::min<size_t>(2, quoted.size()));
    return quoted.starts_with("./") && !name.empty() && name != "." && name != ".." &&
           std::ranges::none_of(name, [](unsigned char c) { return c < 0x20 || c == 0x7F || c == '/'; });
}

FUZZ_TARGET(text) {
    const std::optional<std::string> commands = platform::shellCommandsFor(std::string(text));
    if (!commands) return;
    FUZZ_CHECK(!commands->empty() && commands->back() == '\n');
    const std::vector<std::string> lines = fuzz::pieces(*commands, '\n');
    const auto scriptLines = std::ranges::count_if(fuzz::pieces(text, '\n'), [](const std::string& l) { return !l.empty() && l != "\r"; });
    // The five lines of a wait become one command that gives up when the file stays.
    const auto waits = std::ranges::count_if(lines, [](const std::string& l) { return l.ends_with(" || exit 1"); });
    FUZZ_CHECK(lines.size() == size_t(scriptLines - 4 * waits));
    for (std::string line : lines) {
        if (line.ends_with(" || exit 1") && line.starts_with("rm ")) line.resize(line.size() - 10);
        std::optional<std::vector<std::string>> names = namesIn(line, {"rm -f -- "});
        if (!names) {
            names = namesIn(line, {"mv -f -- ", " ", " && chmod +x -- "});
            if (names) FUZZ_CHECK((*names)[1] == (*names)[2]);
        }
        if (!names) names = namesIn(line, {"exec "});
        FUZZ_CHECK(names.has_value());
        for (const std::string& name : *names) FUZZ_CHECK(plainFileOfFolder(name));
    }
}
