// libFuzzer target for one renderer, chosen at build time (VT_FUZZ_RENDERER 1..3).
#include "FuzzRenderers.h"
#include "core/Ini.h"
#include "core/Language.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setLanguageTable(readLanguageTable(IniFile::load(VT_SOURCE_DIR "/data/lang/english.lng")));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzRender(static_cast<FuzzRenderer>(VT_FUZZ_RENDERER), data, size);
    return 0;
}
