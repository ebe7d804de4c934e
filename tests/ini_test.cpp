// Reading the update list: values, key lists, names without regard to case, odd input.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "support/TempFolder.h"
#include "updater/Form3.h"
#include "updater/IniDatei.h"

using game::Form3;
using game::iniWert;

namespace {

const std::string kListe =
    "[Namen]\r\n"
    "Datei1=kreisel.gif\r\n"
    "Datei2=hilfe.txt\r\n"
    "\r\n"
    "[URL]\r\n"
    "Datei1=http://127.0.0.1/kreisel.gif\r\n"
    "Datei2=http://127.0.0.1/hilfe.txt\r\n"
    "[Pfad]\r\n"
    "Datei1=\\grafik\\\r\n"
    "Datei2=\r\n";

TEST(HolINIString, ReadsValuesAndKeyListsFromAFile) {
    TempFolder ordner;
    const std::string datei = ordner.write("updatedata.txt", kListe);

    const std::string keys = Form3::HolINIString(datei, "Namen");
    EXPECT_EQ(keys, std::string("Datei1\0Datei2\0", 14));
    EXPECT_EQ(Form3::HolINIString(datei, "URL", "Datei2"), "http://127.0.0.1/hilfe.txt");
    EXPECT_EQ(Form3::HolINIString(datei, "Pfad", "Datei1"), "\\grafik\\");
    EXPECT_EQ(Form3::HolINIString(datei, "URL", "Datei3"), "");   // missing key
    EXPECT_EQ(Form3::HolINIString(datei, "Pfad", "Datei2"), "");  // empty value
    EXPECT_EQ(Form3::HolINIString(datei, "Fehlt"), "");           // missing section: no keys
    EXPECT_EQ(Form3::HolINIString(ordner.file("gibtsnicht.txt"), "Namen", "Datei1"), "");
    // Names are compared without regard to case, the file's too.
    EXPECT_EQ(Form3::HolINIString(ordner.file("UPDATEDATA.TXT"), "namen", "DATEI1"), "kreisel.gif");
    // Any line end, blanks around names and values, comments, lines that are no pair.
    const std::string locker = "; [URL]\rx\n[ url ]\rkein Paar\n  DATEI1 = a b \r\n[URL]\nDatei1=zweite Sektion\n";
    EXPECT_EQ(iniWert(locker, "URL", "Datei1"), "a b");
    EXPECT_EQ(iniWert(locker, "URL", std::nullopt), std::string("DATEI1\0", 7));
    // Long values come back whole.
    const std::string lang = "http://127.0.0.1/" + std::string(300, 'a');
    EXPECT_EQ(iniWert("[URL]\nDatei1=" + lang + "\n", "URL", "Datei1"), lang);
}

// Arbitrary bytes: no crash, and what comes back keeps to the format.
TEST(HolINIString, SurvivesRandomBytes) {
    std::mt19937 zufall(7);
    const std::string haeufig = "[]=;\r\n\0 \t\"'aAnN";
    for (int runde = 0; runde < 3000; ++runde) {
        std::string text(zufall() % 300, '\0');
        for (char& c : text)
            c = zufall() % 3 ? haeufig[zufall() % haeufig.size()] : char(zufall() % 256);
        for (const char* sektion : {"a", "A", "n", "", "]"}) {
            const std::string liste = iniWert(text, sektion, std::nullopt);
            if (!liste.empty()) {
                EXPECT_EQ(liste.back(), '\0');
            }
            size_t anfang = 0;
            for (size_t ende; (ende = liste.find('\0', anfang)) != std::string::npos; anfang = ende + 1) {
                const std::string key = liste.substr(anfang, ende - anfang);
                ASSERT_FALSE(key.empty());
                EXPECT_EQ(key.find_first_of("=\r\n"), std::string::npos);
                const std::string wert = iniWert(text, sektion, key);
                EXPECT_EQ(wert.find_first_of(std::string("\r\n\0", 3)), std::string::npos);
            }
        }
    }
}

}  // namespace
