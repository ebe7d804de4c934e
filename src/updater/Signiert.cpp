// Signed updates: with keys compiled in, an update is taken only through the manifest its maker
// signed, and every file only as the manifest describes it. Never falls back to unsigned files.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "platform/Files.h"
#include "platform/Signature.h"
#include "updater/Form3.h"
#include "updater/Manifest.h"

namespace game {


bool Form3::Manifestpruefen() {
    manifest_.clear();
    const std::string& schluessel = einstellungen_.updateSchluessel;
    if (schluessel.empty()) return true;
    // A small file from the server, read and deleted again; nothing when it did not come.
    auto klein = [this](const std::string& name) -> std::optional<std::string> {
        const std::string datei = imOrdner(name);
        if (laden(adresse(name), datei, einstellungen_.kleineDatei) != 0) return std::nullopt;
        std::string inhalt;
        {  // closed before it is deleted: Windows keeps an open file
            std::ifstream in(platform::nativePath(platform::resolvePath(datei)), std::ios::binary);
            inhalt.assign(std::istreambuf_iterator<char>(in), {});
        }
        platform::deleteFile(datei);
        return inhalt;
    };
    const std::optional<std::string> manifest = klein("update.manifest");
    const std::optional<std::string> signatur = manifest ? klein("update.manifest.minisig") : std::nullopt;
    if (!manifest || !signatur || !platform::minisignVerified(*manifest, *signatur, schluessel) ||
        !updater::manifestGilt(*manifest, {einstellungen_.eigeneVersion, neueVersion_, updater::heuteUtc()}))
        return false;
    manifest_ = *manifest;
    return true;
}

// Like laden, but with keys the file comes only when the manifest has its line, no
// larger than it says, and is put in place only when size and SHA-256 match; a file without a
// line counts as not on the server.
int Form3::geprüftLaden(const std::string& url, const std::string& datei, platform::DownloadLimits grenzen, const std::string& name) {
    if (einstellungen_.updateSchluessel.empty()) return laden(url, datei, grenzen);
    const std::optional<updater::Dateiangabe> angabe = updater::dateiangabe(manifest_, name);
    if (!angabe) return platform::kDownloadNotFound;
    // A size of 0 still caps (maxBytes 0 would mean no cap); one byte more fails the check.
    std::uint64_t deckel = std::max<std::uint64_t>(angabe->groesse, 1);
    if (grenzen.maxBytes != 0) deckel = std::min<std::uint64_t>(deckel, grenzen.maxBytes);
    grenzen.maxBytes = size_t(deckel);
    const std::string pruefling = datei + ".pruefen";
    int rc = laden(url, pruefling, grenzen);
    if (rc == 0 && !updater::dateiPasst(pruefling, *angabe)) rc = -1;
    std::error_code ec;
    if (rc == 0) {
        std::filesystem::rename(platform::nativePath(platform::resolvePath(pruefling)),
                                platform::nativePath(platform::resolvePath(datei)), ec);
        if (ec) rc = -1;
    }
    std::filesystem::remove(platform::nativePath(platform::resolvePath(pruefling)), ec);  // what failed
    return rc;
}

}  // namespace game
