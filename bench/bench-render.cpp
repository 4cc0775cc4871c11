// Rendering speed of ordinary methods: 1,000 sample methods in both layouts and
// with both kinds of reagent additions. Prints methods per second; never fails.
#include "core/Ini.h"
#include "core/Language.h"
#include "documents/MethodRenderer.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace {

constexpr int kRenderings = 1000;
constexpr int kRounds = 5;
constexpr double kTarget = 2000.0; // methods per second

const TitratorInfo kTitrators[] = {{1.50f, Series::QX50x, 1},
                                   {3.00f, Series::QX50x, 2},
                                   {1.00f, Series::QX53x, 31},
                                   {3.00f, Series::QX53x, 32}};

std::vector<std::string> sampleMethods() {
    std::vector<std::string> out;
    const std::filesystem::path root = VT_SOURCE_DIR "/data/samples/titrator";
    for (const char* folder :
         {"methods", "QX501/methods", "QX502/methods", "QX531/methods", "QX532/methods"}) {
        for (const auto& e : std::filesystem::directory_iterator(root / folder)) {
            std::ifstream in(e.path(), std::ios::binary);
            std::ostringstream s;
            s << in.rdbuf();
            out.push_back(s.str());
        }
    }
    return out;
}

} // namespace

int main() {
    setLanguageTable(readLanguageTable(IniFile::load(VT_SOURCE_DIR "/data/lang/english.lng")));
    const std::vector<std::string> methods = sampleMethods();
    if (methods.empty()) {
        std::printf("no sample methods found\n");
        return 1;
    }
    std::size_t bytes = 0;
    double best = 0;
    for (int round = 0; round < kRounds; ++round) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kRenderings; ++i) {
            const std::string& text = methods[static_cast<std::size_t>(i) % methods.size()];
            bytes += renderMethod(text, 54, 2, kTitrators[i % 4]).size();
        }
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::max(best, kRenderings / took.count());
    }
    std::printf("render: %d methods (%zu samples, 4 titrators), best of %d rounds: %.0f methods/s "
                "(target %.0f, %.1fx); %zu bytes rendered\n",
                kRenderings, methods.size(), kRounds, best, kTarget, best / kTarget, bytes);
    return 0;
}
