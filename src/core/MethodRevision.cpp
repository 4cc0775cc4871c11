#include "core/MethodRevision.h"

#include "core/NumberFormat.h"
#include "core/Numbers.h"

#include <cfloat>
#include <cmath>

namespace {
constexpr const char* kRevKey = "Rev";
constexpr int kRevisionDecimals = 1;
} // namespace

std::string methodRevision(const std::string& text) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = text.substr(start, end - start);
        if (line.empty())
            return {};
        const std::size_t blank = line.find(' ');
        if (line.substr(0, blank) == kRevKey) {
            const auto value = num::parseDouble(
                blank == std::string::npos ? std::string() : line.substr(blank + 1));
            // The revision is a single-precision field of the method record,
            // shown as the viewer shows it.
            if (!value || !std::isfinite(*value) || std::fabs(*value) > FLT_MAX)
                return {};
            return formatFixed(static_cast<float>(*value), kRevisionDecimals);
        }
        start = end + 2;
    }
    return {};
}
