#include "platform/Signature.h"

#include <sodium.h>

#include <array>
#include <algorithm>
#include <fstream>
#include <vector>

#include "platform/Files.h"

namespace platform {

namespace {

using Bytes = std::vector<unsigned char>;

// Exactly `length` bytes of standard base64 with padding, nothing before or after.
std::optional<Bytes> fromBase64(std::string_view text, size_t length) {
    Bytes bytes(length);
    size_t decoded = 0;
    const char* end = nullptr;
    if (sodium_base642bin(bytes.data(), bytes.size(), text.data(), text.size(), nullptr, &decoded, &end,
                          sodium_base64_VARIANT_ORIGINAL) != 0 ||
        decoded != length || end != text.data() + text.size())
        return std::nullopt;
    return bytes;
}

// The next line of `rest` without its line end (LF or CR LF); `rest` then starts after it.
std::string_view nextLine(std::string_view& rest) {
    const size_t end = std::min(rest.find('\n'), rest.size());
    std::string_view line = rest.substr(0, end);
    rest.remove_prefix(std::min(end + 1, rest.size()));
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

bool ready() {
    static const bool ok = sodium_init() >= 0;
    return ok;
}

// A .minisig file: signature line "ED" + key id (8) + Ed25519 signature (64); the trusted
// comment and the global signature over signature + comment.
struct Signature {
    Bytes line;  // 74 bytes
    std::string_view comment;
    Bytes global;  // 64 bytes
};

std::optional<Signature> parseSignature(std::string_view file) {
    constexpr std::string_view kUntrusted = "untrusted comment:", kTrusted = "trusted comment: ";
    if (!nextLine(file).starts_with(kUntrusted)) return std::nullopt;
    std::optional<Bytes> line = fromBase64(nextLine(file), 74);
    std::string_view comment = nextLine(file);
    std::optional<Bytes> global = fromBase64(nextLine(file), 64);
    if (!line || !global || !comment.starts_with(kTrusted)) return std::nullopt;
    while (!file.empty())
        if (!nextLine(file).empty()) return std::nullopt;
    comment.remove_prefix(kTrusted.size());
    return Signature{std::move(*line), comment, std::move(*global)};
}

}  // namespace

bool minisignVerified(std::string_view message, std::string_view signatureFile, std::string_view publicKeys) {
    if (!ready()) return false;
    const std::optional<Signature> sig = parseSignature(signatureFile);
    if (!sig || sig->line[0] != 'E' || sig->line[1] != 'D') return false;
    const unsigned char* const keyId = sig->line.data() + 2;
    const unsigned char* const signature = keyId + 8;

    std::array<unsigned char, crypto_generichash_BYTES_MAX> hash;
    crypto_generichash(hash.data(), hash.size(), reinterpret_cast<const unsigned char*>(message.data()), message.size(),
                       nullptr, 0);
    Bytes signedComment(signature, signature + 64);
    signedComment.insert(signedComment.end(), sig->comment.begin(), sig->comment.end());

    while (!publicKeys.empty()) {
        const size_t comma = std::min(publicKeys.find(','), publicKeys.size());
        const std::optional<Bytes> key = fromBase64(trimmed(publicKeys.substr(0, comma)), 42);
        publicKeys.remove_prefix(std::min(comma + 1, publicKeys.size()));
        // Public key: "Ed", key id (8), Ed25519 key (32). Only the key the signature names is tried.
        if (!key || (*key)[0] != 'E' || (*key)[1] != 'd' || !std::equal(keyId, keyId + 8, key->data() + 2)) continue;
        const unsigned char* const pk = key->data() + 10;
        return crypto_sign_verify_detached(signature, hash.data(), hash.size(), pk) == 0 &&
               crypto_sign_verify_detached(sig->global.data(), signedComment.data(), signedComment.size(), pk) == 0;
    }
    return false;
}

std::optional<std::string> sha256OfFile(const std::string& path) {
    if (!ready()) return std::nullopt;
    std::ifstream file(nativePath(resolvePath(path)), std::ios::binary);
    if (!file) return std::nullopt;
    crypto_hash_sha256_state state;
    crypto_hash_sha256_init(&state);
    std::array<char, 65536> buffer;
    while (file.read(buffer.data(), buffer.size()) || file.gcount() > 0)
        crypto_hash_sha256_update(&state, reinterpret_cast<const unsigned char*>(buffer.data()), size_t(file.gcount()));
    if (file.bad()) return std::nullopt;
    std::array<unsigned char, crypto_hash_sha256_BYTES> digest;
    crypto_hash_sha256_final(&state, digest.data());
    std::array<char, 2 * crypto_hash_sha256_BYTES + 1> hex;
    sodium_bin2hex(hex.data(), hex.size(), digest.data(), digest.size());
    return std::string(hex.data());
}

}  // namespace platform
