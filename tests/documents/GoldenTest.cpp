// Every sample method, Karl Fischer method and sequence rendered as the viewer
// shows it, compared with the reviewed texts in golden/ (UTF-8, LF line ends).
// VT_UPDATE_GOLDEN=1 rewrites them; review the diff before committing.
#include "EnglishTexts.h"
#include "core/Encoding.h"
#include "core/FileTypes.h"
#include "core/Text.h"
#include "documents/RenderDocument.h"

#include <QString>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <vector>

namespace {

const std::filesystem::path kSamples = VT_SOURCE_DIR "/data/samples";
const std::filesystem::path kGolden = VT_SOURCE_DIR "/tests/documents/golden";

struct Sample {
    std::string path; // relative to data/samples
    std::string model;
};

std::string readFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<Sample> manifest() {
    std::vector<Sample> out;
    std::istringstream in(readFile(kSamples / "methods.tsv"));
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        const std::size_t tab1 = line.find('\t');
        const std::size_t tab2 = line.find('\t', tab1 + 1);
        out.push_back({line.substr(0, tab1), line.substr(tab1 + 1, tab2 - tab1 - 1)});
    }
    return out;
}

// The titrator a sample belongs to; the plain methods folder is that of firmware 1.50.
TitratorInfo titratorFor(const Sample& s, int& kind) {
    const std::string model = s.model.rfind("QX", 0) == 0 ? s.model : "QX502";
    const int number = std::atoi(model.c_str() + 2);
    const int position = number % 10;
    kind = position == 3 ? 2 : position == 4 ? 3 : 0;
    const float firmware = s.path.rfind("titrator/methods/", 0) == 0 ? 1.50f : 3.00f;
    return {firmware, number >= 530 ? Series::QX53x : Series::QX50x, number - 500};
}

std::string goldenName(std::string path) {
    for (char& c : path)
        if (c == '/')
            c = '_';
    return path.substr(0, path.rfind('.')) + ".txt";
}

std::string readable(const std::string& rendered) {
    std::string out;
    for (std::size_t i = 0; i < rendered.size(); ++i)
        if (!(rendered[i] == '\r' && i + 1 < rendered.size() && rendered[i + 1] == '\n'))
            out += rendered[i];
    return toQt(out).toUtf8().toStdString();
}

} // namespace

TEST(Golden, EverySampleRendersAsReviewed) {
    useEnglishTexts();
    const bool update = std::getenv("VT_UPDATE_GOLDEN") != nullptr;
    const std::vector<Sample> samples = manifest();
    ASSERT_GT(samples.size(), 40u);
    for (const Sample& s : samples) {
        int kind = 0;
        const TitratorInfo titrator = titratorFor(s, kind);
        const std::string name = std::filesystem::path(s.path).filename().string();
        const std::string rendered = renderDocument(textFromFileLines(readFile(kSamples / s.path)),
                                                    selectedFileType(name), kind, titrator);
        EXPECT_EQ(rendered.find('\n'), rendered.find("\r\n") + 1) << s.path;
        // A label the language file lacks would leave a bare colon.
        EXPECT_EQ(rendered.find("\n  :"), std::string::npos) << s.path;
        EXPECT_EQ(rendered.find("\n     :"), std::string::npos) << s.path;
        const std::filesystem::path golden = kGolden / goldenName(s.path);
        if (update) {
            std::ofstream(golden, std::ios::binary) << readable(rendered);
            continue;
        }
        EXPECT_EQ(readable(rendered), readFile(golden)) << s.path << " vs " << golden;
    }
}
