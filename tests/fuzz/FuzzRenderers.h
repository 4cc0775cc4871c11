#pragma once
// One fuzz input through a renderer ("" or a text ending in CR LF and the indent): shared by the
// libFuzzer targets and the unit test that replays the kept crash inputs.
#include "core/MethodRevision.h"
#include "documents/KFMethodRenderer.h"
#include "documents/MethodRecord.h"
#include "documents/MethodRenderer.h"
#include "documents/RenderDocument.h"
#include "documents/SequenceRenderer.h"

#include <cstddef>
#include <cstdint>
#include <string>

enum class FuzzRenderer { Method = 1, KFMethod = 2, Sequence = 3 };

// For methods the first two bytes choose the titrator (firmware, series, device
// type and kind); the rest is the file's text.
inline std::string fuzzRender(FuzzRenderer which, const std::uint8_t* data, std::size_t size) {
    static constexpr int kDeviceTypes[] = {1, 2, 3, 4, 31, 32, 33, 34};
    std::string text(reinterpret_cast<const char*>(data), size);
    switch (which) {
    case FuzzRenderer::Method: {
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
        return renderMethod(text, 54, 2, t, kind);
    }
    case FuzzRenderer::KFMethod:
        return renderKFMethod(text, 54, 2) + renderKFMethod2(text, 54, 2);
    case FuzzRenderer::Sequence:
        cleanReportText(text);
        return renderSequence(text, 54, 2);
    }
    return {};
}
