// One renderer, chosen at build time (VT_FUZZ_RENDERER 1 method, 2 Karl Fischer
// method, 3 sequence). Its text is "" or ends in CR LF and the indent.
#include "FuzzCheck.h"
#include "core/Ini.h"
#include "core/Language.h"
#include "core/MethodRevision.h"
#include "documents/KFMethodRenderer.h"
#include "documents/MethodRecord.h"
#include "documents/MethodRenderer.h"
#include "documents/RenderDocument.h"
#include "documents/SequenceRenderer.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

constexpr int kWidth = 54;
constexpr int kIndent = 2;

// For methods the first two bytes choose the titrator (firmware, series, device
// type and kind); the rest is the file's text.
std::string renderMethodInput(std::string text) {
    static constexpr int kDeviceTypes[] = {1, 2, 3, 4, 31, 32, 33, 34};
    TitratorInfo t;
    int kind = 0;
    if (text.size() >= 2) {
        const auto a = static_cast<std::uint8_t>(text[0]);
        const auto b = static_cast<std::uint8_t>(text[1]);
        t.firmware = static_cast<float>(a) / 50.0f;
        t.series = static_cast<Series>(b % 3);
        t.deviceType = kDeviceTypes[(b / 3) % 8];
        kind = (b / 24) % 2;
        text.erase(0, 2);
    }
    methodRevision(text);
    return renderMethod(text, kWidth, kIndent, t, kind);
}

bool endsAsRendered(const std::string& text) {
    return text.empty() || text.ends_with("\r\n  ");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setLanguageTable(readLanguageTable(IniFile::load(VT_SOURCE_DIR "/data/lang/english.lng")));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    switch (VT_FUZZ_RENDERER) {
    case 1:
        fuzzCheck(endsAsRendered(renderMethodInput(text)), "method text ends as rendered");
        break;
    case 2:
        fuzzCheck(endsAsRendered(renderKFMethod(text, kWidth, kIndent)) &&
                      endsAsRendered(renderKFMethod2(text, kWidth, kIndent)),
                  "Karl Fischer method text ends as rendered");
        break;
    case 3:
        cleanReportText(text);
        fuzzCheck(endsAsRendered(renderSequence(text, kWidth, kIndent)),
                  "sequence text ends as rendered");
        break;
    }
    return 0;
}
