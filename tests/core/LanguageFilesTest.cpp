// The shipped language, help and About files against the English reference.
#include "RecordingHost.h"
#include "TempDir.h"
#include "core/AppPaths.h"
#include "core/Encoding.h"
#include "core/Ini.h"
#include "core/Language.h"
#include "core/Settings.h"

#include <QString>
#include <QStringDecoder>
#include <QTranslator>
#include <algorithm>
#include <clocale>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <regex>
#include <set>
#include <sstream>

namespace {

const std::filesystem::path kData = VT_SOURCE_DIR "/data";
const std::string kBom = "\xEF\xBB\xBF";

std::string readAll(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

struct Shipped {
    int number;
    std::string lng, help, about;
    LanguageTable texts;
};

// The languages config.ini registers, in menu order (English, number 1, first).
const std::vector<Shipped>& shipped() {
    static const std::vector<Shipped> all = [] {
        const IniFile config = IniFile::load(kData / "config.ini");
        std::vector<Shipped> v;
        for (int i = 1; i <= kLanguageSlots; ++i) {
            const std::string key = std::to_string(i);
            const std::string lng = config.value("LanguageFiles", key);
            if (!lng.empty())
                v.push_back({i, lng, config.value("HelpFiles", key),
                             config.value("AboutFiles", key), loadLanguageTable(kData / lng)});
        }
        return v;
    }();
    return all;
}

const LanguageTable& english() {
    return shipped().front().texts;
}

std::size_t count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

// The lower-cased letter after a single "&"; nothing for a caption without one.
QChar accelerator(const std::string& caption) {
    const QString t = toQt(caption);
    for (qsizetype i = 0; i + 1 < t.size(); ++i) {
        if (t[i] != '&')
            continue;
        if (t[i + 1] != '&')
            return t[i + 1].toLower();
        ++i;
    }
    return {};
}

// Which captions (language texts) share a menu or a dialog, as the windows place them.
const std::vector<std::pair<const char*, std::vector<int>>> kCaptionGroups = {
    {"menu bar", {131, 132, 40, 232, 11, 30}},
    {"File menu", {215, 214, 226, 213, 216, 217, 218, 68, 81, 1177, 12}},
    {"Communication menu", {133, 25}},
    {"Help menu", {31, 32}},
    {"pop-up menu", {215, 214, 226, 216, 217, 218}},
    {"main window", {256, 257, 258, 259, 135, 136, 411, 434, 982, 215, 214, 226, 216, 217, 218}},
    {"settings dialog", {439, 440, 148, 149, 150, 204, 224}},
    {"replace window", {220, 221, 222, 224}},
    {"viewer", {206, 226, 228, 1141, 230}},
    {"upgrade window", {156, 157, 11, 208}},
    {"audit window", {98, 99, 100, 84, 85, 102, 103}},
    {"transfer log window", {1182, 1183, 1184}},
    {"network port dialog", {43, 44, 45, 46, 47, 204, 224}},
};

// Texts that may read as in English: names, units, the instrument's own labels
// (the tray report's), and words the language shares with English.
const std::set<int> kSameInEveryLanguage = {5,   89,   500,  613,  814,  821,  870,  894,  895,
                                            972, 1086, 1093, 1094, 1096, 1099, 1100, 1117, 1118};
const std::map<std::string, std::set<int>> kSameAsEnglish = {
    {"lang/english.lng", {}},
    {"lang/deutsch.lng", {6,   47,  61,  95,  97,  204, 230,  501,  623,  806,
                          889, 905, 918, 969, 970, 997, 1006, 1007, 1038, 1154}},
    {"lang/francais.lng", {6,   47,  63,  64,  86,  94,  132, 204, 211,  725, 730,
                           732, 753, 900, 920, 927, 931, 949, 997, 1007, 1115}},
    {"lang/espanol.lng", {97, 211, 871, 946, 1004, 1087, 1172}},
    {"lang/portugues.lng", {97, 204, 211, 806, 871, 931, 946, 1087, 1115, 1172}},
};

} // namespace

TEST(ShippedLanguages, EveryLanguageFileIsRegisteredWithItsHelpAndAbout) {
    std::set<std::string> registered;
    for (const Shipped& l : shipped()) {
        registered.insert(l.lng);
        EXPECT_TRUE(std::filesystem::is_regular_file(kData / l.help)) << l.lng << ": " << l.help;
        EXPECT_TRUE(std::filesystem::is_regular_file(kData / l.about)) << l.lng << ": " << l.about;
        // Help, Contents opens the file text 973 names.
        EXPECT_EQ(l.texts[973], l.help) << l.lng;
    }
    std::set<std::string> present;
    for (const auto& e : std::filesystem::directory_iterator(kData / "lang"))
        present.insert("lang/" + e.path().filename().string());
    EXPECT_EQ(registered, present);
    ASSERT_EQ(shipped().front().lng, "lang/english.lng");
}

TEST(ShippedLanguages, HoldEnglishTextsWithTheirPlaceholdersBreaksAndAccelerators) {
    for (const Shipped& l : shipped()) {
        for (int i = 0; i < kLanguageTextCount; ++i) {
            const std::string &en = english()[i], &t = l.texts[i];
            EXPECT_EQ(en.empty(), t.empty()) << l.lng << " text " << i;
            EXPECT_EQ(count(t, "%v"), count(en, "%v")) << l.lng << " text " << i;
            EXPECT_EQ(count(t, "\\n"), count(en, "\\n")) << l.lng << " text " << i;
            EXPECT_EQ(accelerator(t).isNull(), accelerator(en).isNull()) << l.lng << " text " << i;
        }
    }
}

TEST(ShippedLanguages, AcceleratorsAreUniqueWithinEachMenuAndDialog) {
    for (const Shipped& l : shipped()) {
        for (const auto& [group, captions] : kCaptionGroups) {
            std::map<QChar, std::string> used;
            for (const int text : captions) {
                const std::string& caption = l.texts[text];
                const QChar key = accelerator(caption);
                if (key.isNull())
                    continue;
                const auto [it, fresh] = used.emplace(key, caption);
                EXPECT_TRUE(fresh) << l.lng << ", " << group << ": \"" << caption << "\" and \""
                                   << it->second << "\"";
            }
        }
    }
}

TEST(ShippedLanguages, OnlyNamesUnitsAndSharedWordsReadAsInEnglish) {
    for (const Shipped& l : shipped()) {
        if (l.number == 1)
            continue;
        ASSERT_TRUE(kSameAsEnglish.count(l.lng)) << l.lng << " has no list of shared words";
        const std::set<int>& shared = kSameAsEnglish.at(l.lng);
        for (int i = 0; i < kLanguageTextCount; ++i) {
            if (english()[i].empty())
                continue;
            const bool allowed = kSameInEveryLanguage.count(i) || shared.count(i);
            EXPECT_EQ(l.texts[i] == english()[i], allowed)
                << l.lng << " text " << i << ": \"" << l.texts[i] << "\"";
        }
    }
}

// A file without a byte-order mark is read as Windows-1252, so one that reads as
// UTF-8 has lost its mark; a file with the mark holds only what Windows-1252 can.
TEST(ShippedLanguages, FilesAreWindows1252OrUtf8WithByteOrderMark) {
    for (const Shipped& l : shipped()) {
        for (const std::string& name : {l.lng, l.about, l.help}) {
            const std::string content = readAll(kData / name);
            if (content.compare(0, kBom.size(), kBom) != 0) {
                const bool ascii = std::all_of(content.begin(), content.end(),
                                               [](char c) { return (c & 0x80) == 0; });
                QStringDecoder utf8(QStringDecoder::Utf8);
                const QString asUtf8 = utf8(QByteArray::fromStdString(content));
                EXPECT_TRUE(ascii || utf8.hasError())
                    << name << " is UTF-8 without a byte-order mark: it would read as Windows-1252";
                continue;
            }
            const QString utf8 = QString::fromUtf8(content.substr(kBom.size()));
            EXPECT_EQ(toQt(decodeTextFile(content)), utf8) << name;
            if (name == l.help) {
                EXPECT_NE(content.find("charset=utf-8"), std::string::npos) << name;
            }
        }
    }
}

TEST(ShippedLanguages, HelpPagesKeepEveryAnchorOfEnglish) {
    const std::regex anchor("<a name=\"([^\"]+)\"");
    auto anchors = [&](const std::string& file) {
        const std::string html = readAll(kData / file);
        std::set<std::string> names;
        for (auto it = std::sregex_iterator(html.begin(), html.end(), anchor);
             it != std::sregex_iterator(); ++it)
            names.insert((*it)[1]);
        return names;
    };
    const std::set<std::string> reference = anchors(shipped().front().help);
    ASSERT_GT(reference.size(), 10u);
    for (const Shipped& l : shipped())
        EXPECT_EQ(anchors(l.help), reference) << l.help;
}

// Loads a language the way the program does (config.ini, then the language file)
// under a German and a C locale, and compares texts with accents byte for byte.
struct AccentCase {
    int number;
    std::string qtCancel; // Qt's own Cancel button in that language
    std::vector<std::pair<int, std::string>> texts;
};

class LanguageLoad : public ::testing::TestWithParam<AccentCase> {};

TEST_P(LanguageLoad, AccentedTextsArriveAsWindows1252) {
    const AccentCase& c = GetParam();
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    for (const char* locale : {"de_DE.UTF-8", "C"}) {
        ASSERT_NE(std::setlocale(LC_ALL, locale), nullptr) << "scripts/setup makes " << locale;
        TempDir home;
        home.write("config.ini", readAll(kData / "config.ini"));
        AppPaths paths;
        paths.programDir = paths.resourceDir = kData;
        paths.dataDir = home.path();
        ASSERT_TRUE(
            writeIniString(paths.configPath(), "Options", "Language", std::to_string(c.number)));
        RecordingHost host;
        Settings settings;
        ASSERT_TRUE(loadSettings(paths, host, settings));
        EXPECT_TRUE(host.messages.empty()) << locale;
        EXPECT_EQ(settings.languageMenu[c.number].caption, c.texts.front().second) << locale;
        for (const auto& [index, bytes] : c.texts)
            EXPECT_EQ(langText(index), bytes) << locale << ", text " << index;
        const auto qt = qtTranslator(langText(kTextQtLocale));
        ASSERT_TRUE(qt) << locale;
        EXPECT_EQ(qt->translate("QPlatformTheme", "Cancel").toStdString(), c.qtCancel);
    }
    std::setlocale(LC_ALL, saved.c_str());
}

// Windows-1252 bytes: a hex escape ends where a string literal is split.
const AccentCase kAccentCases[] = {
    {5,
     "Abbrechen",
     {{1, "Deutsch"},
      {206, "Schlie\xDF"
            "en"},
      {344, "M\xF6"
            "chten Sie die ausgew\xE4hlten Dateien wirklich l\xF6schen?"}}},
    {4,
     "Annuler",
     {{1, "Fran\xE7"
          "ais"},
      {217, "D\xE9placer"},
      {308, "\xC9"
            "chec de la demande de liste des fichiers au titreur.\\n"
            "Veuillez v\xE9rifier la connexion."}}},
    {3,
     "Cancelar",
     {{1, "Espa\xF1ol"},
      {1043, "M\xE9todo"},
      {340, "\xBF"
            "Desea realmente salir de VELTRAN?"}}},
    {2,
     "Cancelar",
     {{1, "Portugu\xEAs (Brasil)"},
      {1043, "M\xE9todo"},
      {259, "Relat\xF3rios"},
      {303, "O novo idioma ser\xE1 usado na pr\xF3xima vez que o VELTRAN for iniciado."}}},
};

INSTANTIATE_TEST_SUITE_P(Shipped, LanguageLoad, ::testing::ValuesIn(kAccentCases),
                         [](const auto& info) { return std::to_string(info.param.number); });
