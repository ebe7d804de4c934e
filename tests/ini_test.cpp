// Reading the update list: values, key lists, names without regard to case, odd input.
#include <gtest/gtest.h>

#include <cctype>
#include <map>
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
}

TEST(HolINIString, ValuesAreNotCutShort) {
    const std::string lang = "http://127.0.0.1/" + std::string(300, 'a');
    EXPECT_EQ(iniWert("[URL]\nDatei1=" + lang + "\n", "URL", "Datei1"), lang);
    std::string vieleSchluessel = "[Namen]\n", erwartet;
    for (int i = 1; i <= 60; ++i) {
        vieleSchluessel += "Datei" + std::to_string(i) + "=x\n";
        erwartet += "Datei" + std::to_string(i) + '\0';
    }
    EXPECT_EQ(iniWert(vieleSchluessel, "Namen", std::nullopt), erwartet);
}

TEST(HolINIString, ToleratesTheWaysSuchFilesAreWritten) {
    const std::string text =
        "\xEF\xBB\xBF"
        "; a comment\n"
        "[ Namen ]\r"
        "  Datei1 =  a b.gif  \r"
        "Datei2=\"in quotes\"\n"
        "no equals sign here\n"
        "=no name\n"
        "Datei3=x=y\n"
        "[Namen]\n"
        "Datei4=second section of the same name is not read\n";
    EXPECT_EQ(iniWert(text, "namen", "Datei1"), "a b.gif");
    EXPECT_EQ(iniWert(text, "Namen", "datei2"), "in quotes");
    EXPECT_EQ(iniWert(text, "Namen", "Datei3"), "x=y");
    EXPECT_EQ(iniWert(text, "Namen", "Datei4"), "");
    EXPECT_EQ(iniWert(text, "Namen", std::nullopt), std::string("Datei1\0Datei2\0Datei3\0", 21));
}

std::string klein(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return s;
}

// Random files built from sections, keys and junk, checked against a plain model of them.
TEST(HolINIString, AgreesWithAModelOnRandomFiles) {
    std::mt19937 zufall(20240611);
    const auto wahl = [&](int n) { return int(zufall() % unsigned(n)); };
    const std::string namen[] = {"Namen", "URL", "Pfad", "a", "B"};
    const std::string schluessel[] = {"Datei1", "Datei2", "x", "Y z"};
    const std::string enden[] = {"\n", "\r\n", "\r"};
    const auto schreibweise = [&](std::string s) {
        for (char& c : s)
            if (wahl(2)) c = char(std::toupper(static_cast<unsigned char>(c)));
        return s;
    };
    for (int runde = 0; runde < 500; ++runde) {
        std::string text;
        std::map<std::string, std::map<std::string, std::string>> modell;  // first section, first key
        std::map<std::string, std::string> listen;
        std::string sektion;
        bool ersteSektion = false;
        for (int zeile = wahl(30); zeile > 0; --zeile) {
            switch (wahl(5)) {
                case 0: {
                    const std::string name = namen[wahl(5)];
                    text += "[" + std::string(wahl(2), ' ') + schreibweise(name) + "]";
                    sektion = klein(name);
                    ersteSektion = !modell.count(sektion);
                    if (ersteSektion) modell[sektion];
                    break;
                }
                case 1: text += wahl(2) ? "; [Namen] Datei1=kommentar" : "ohne Gleichheitszeichen"; break;
                default: {
                    const std::string key = schluessel[wahl(4)];
                    const std::string wert = std::string(wahl(3), 'v') + std::to_string(wahl(100));
                    text += schreibweise(key) + std::string(wahl(2), ' ') + "=" + std::string(wahl(2), '\t') + wert;
                    if (!sektion.empty() && ersteSektion) {
                        modell[sektion].try_emplace(klein(key), wert);
                        listen[sektion] += key + '\0';
                    }
                }
            }
            text += enden[wahl(3)];
        }
        for (const std::string& name : namen) {
            const std::string s = klein(name);
            SCOPED_TRACE(text);
            EXPECT_EQ(klein(iniWert(text, schreibweise(name), std::nullopt)), klein(listen[s]));
            for (const std::string& key : schluessel) {
                const auto& werte = modell[s];
                const auto it = werte.find(klein(key));
                EXPECT_EQ(iniWert(text, name, schreibweise(key)), it == werte.end() ? "" : it->second);
            }
        }
    }
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
