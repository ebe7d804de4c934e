#pragma once
// What proves that a downloaded file is the one its maker signed: minisign signatures and
// SHA-256 checksums (libsodium).
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Whether `signatureFile` (the text of a .minisig file) is a valid minisign signature of
// `message` by one of `publicKeys`: the base64 lines of minisign .pub files, separated by commas.
// Only the prehashed form ("ED", minisign's default) counts, and its trusted comment must be
// signed too; the legacy form, unknown algorithms and anything malformed are refused.
bool minisignVerified(std::string_view message, std::string_view signatureFile, std::string_view publicKeys);

// The SHA-256 of the file at `path` as 64 lower-case hex digits; nothing when it cannot be read.
std::optional<std::string> sha256OfFile(const std::string& path);

}  // namespace platform
