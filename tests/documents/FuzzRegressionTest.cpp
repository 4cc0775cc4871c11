// Inputs the fuzzer once found faults with, replayed through every renderer
// (UBSan and ASan run them in the fuzz build; here they must simply render).
#include "../fuzz/FuzzRenderers.h"
#include "EnglishTexts.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

TEST(FuzzRegression, KeptInputsRenderWithoutFault) {
    useEnglishTexts();
    const std::filesystem::path corpus = VT_SOURCE_DIR "/tests/fuzz/corpus";
    int replayed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        if (!entry.is_regular_file() || entry.path().filename() == "README.md")
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        const std::string bytes = s.str();
        const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
        for (FuzzRenderer r :
             {FuzzRenderer::Method, FuzzRenderer::KFMethod, FuzzRenderer::Sequence}) {
            const std::string text = fuzzRender(r, data, bytes.size());
            EXPECT_TRUE(text.empty() || text.ends_with("\r\n  ")) << entry.path();
        }
        ++replayed;
    }
    EXPECT_GT(replayed, 0);
}
