// Reading the update list: values, key lists, names without regard to case, odd input.
#include <gtest/gtest.h>

#include <random>

#include "support/TempFolder.h"
#include "updater/Form3.h"
#include "updater/IniDatei.h"

using namespace game;

namespace {

TEST(HolINIString, ReadsValuesAndKeyListsFromAFile) {
    TempFolder ordner;
    const std::string lang = "http://127.0.0.1/" + std::string(300, 'a');
    const std::string datei = ordner.write("updatedata.txt", "[Namen]\r\nDatei1=kreisel.gif\r\nDatei2=hilfe.txt\r\n\r\n[URL]\r\n"
                                                             "Datei1=" + lang + "\r\n[Pfad]\r\nDatei1=\\grafik\\\r\nDatei2=\r\n");
    EXPECT_EQ(Form3::HolINIString(datei, "Namen"), std::string("Datei1\0Datei2\0", 14));
    EXPECT_EQ(Form3::HolINIString(datei, "URL", "Datei1"), lang);  // long values come back whole
    EXPECT_EQ(Form3::HolINIString(datei, "Pfad", "Datei1"), "\\grafik\\");
    EXPECT_EQ(Form3::HolINIString(datei, "URL", "Datei2"), "");   // missing key
    EXPECT_EQ(Form3::HolINIString(datei, "Pfad", "Datei2"), "");  // empty value
    EXPECT_EQ(Form3::HolINIString(datei, "Fehlt"), "");           // missing section: no keys
    EXPECT_EQ(Form3::HolINIString(ordner.file("gibtsnicht.txt"), "Namen", "Datei1"), "");
    EXPECT_EQ(Form3::HolINIString(ordner.file("UPDATEDATA.TXT"), "namen", "DATEI1"), "kreisel.gif");  // names in any case
    // Any line end, blanks around names and values, comments, lines that are no pair; the first section counts.
    const std::string locker = "; [URL]\rx\n[ url ]\rkein Paar\n; alt=1\n  DATEI1 = a b \r\n[URL]\nDatei1=zweite Sektion\n";
    EXPECT_EQ(iniWert(locker, "URL", "Datei1"), "a b");
    EXPECT_EQ(iniWert(locker, "URL", std::nullopt), std::string("DATEI1\0", 7));
    EXPECT_EQ(iniWert(std::string_view("[a]\nk=v!", 7), "a", "k"), "v") << "nothing read past the end";
    EXPECT_EQ(iniWert("\xEF\xBB\xBF[a]\nk=v", "a", "k"), "v") << "a byte-order mark before the first section";
    EXPECT_EQ(iniWert("[a]\nk=\"v w\"\nq='x'\nr='y\"", "a", "k") + iniWert("[a]\nq='x'", "a", "q") + iniWert("[a]\nr='y\"", "a", "r") +
                  iniWert("[a]\ne=\"\"", "a", "e") + iniWert("[a]\nz='", "a", "z"),
              "v wx'y\"'") << "quotes around a value go, unmatched ones stay";
}

// Arbitrary bytes: no crash, and what comes back keeps to the format.
TEST(HolINIString, SurvivesRandomBytes) {
    std::mt19937 zufall(7);
    const std::string haeufig("[]=;\r\n\0 \t\"'aAnN", 15);  // the bytes INI text is made of, NUL included
    for (int runde = 0; runde < 3000; ++runde) {
        std::string text(zufall() % 300, '\0');
        for (char& c : text) c = zufall() % 3 ? haeufig[zufall() % haeufig.size()] : char(zufall() % 256);
        for (const char* sektion : {"a", "A", "n", "", "]"}) {
            const std::string liste = iniWert(text, sektion, std::nullopt);
            EXPECT_TRUE(liste.empty() || liste.back() == '\0');
            for (size_t anfang = 0, ende; (ende = liste.find('\0', anfang)) != std::string::npos; anfang = ende + 1) {
                const std::string key = liste.substr(anfang, ende - anfang);
                EXPECT_TRUE(!key.empty() && key.find_first_of("=\r\n") == std::string::npos) << key;
                EXPECT_EQ(iniWert(text, sektion, key).find_first_of(std::string("\r\n\0", 3)), std::string::npos);
            }
        }
    }
}

}  // namespace
