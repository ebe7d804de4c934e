// Stands in for a downloaded new program file in the update test: notes the folder it was
// started in, so the test sees that the update script started it, and where.
#include <filesystem>
#include <fstream>

int main() {
    std::ofstream out("neu_gestartet.txt", std::ios::binary);
    out << "started in " << reinterpret_cast<const char*>(std::filesystem::current_path().u8string().c_str()) << "\n";
    return out.flush() ? 0 : 1;
}
