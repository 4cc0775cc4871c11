#include "app/PaneLine.h"

#include "core/Dates.h"
#include "core/Numbers.h"
#include "core/Text.h"
#include "files/TitratorFiles.h"

#include <algorithm>
#include <numeric>

std::int64_t dateSortKey(const DateTime& t) {
    const std::int64_t days = (std::int64_t(t.year) * 12 + (t.month - 1)) * 31 + (t.day - 1);
    return ((days * 24 + t.hour) * 60 + t.minute) * 60 + t.second;
}

PaneLine titratorPaneLine(std::string line) {
    PaneLine out;
    out.name = devfiles::entryName(line);
    std::string rest = text::trim(line.substr(std::min(line.size(), out.name.size())));
    out.text = std::move(line);
    std::string after = rest;
    const std::string sizeText = takeToken(after, " ");
    const auto size = text::isNumeric(sizeText) ? num::parseInteger(sizeText) : std::nullopt;
    if (!size) {
        out.description = rest;
        return out;
    }
    out.size = *size;
    after = text::trim(after);
    if (const auto date = parseDateText(after)) {
        out.date = formatDateTime(*date);
        out.dateKey = dateSortKey(*date);
    } else {
        out.description = after;
    }
    return out;
}

std::vector<int> sortedOrder(const std::vector<PaneLine>& lines, int column, bool descending) {
    std::vector<int> order(lines.size());
    std::iota(order.begin(), order.end(), 0);
    auto sortBy = [&](const auto& key) {
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            return descending ? key(b) < key(a) : key(a) < key(b);
        });
    };
    // Texts without regard to case: the keys once, not at every comparison.
    auto byText = [&](std::string PaneLine::*field) {
        std::vector<std::string> upper;
        upper.reserve(lines.size());
        for (const PaneLine& l : lines)
            upper.push_back(text::upper(l.*field));
        sortBy([&](int i) -> const std::string& { return upper[std::size_t(i)]; });
    };
    switch (column) {
    case kNameColumn:
        byText(&PaneLine::name);
        break;
    case kSizeColumn:
        sortBy([&](int i) { return lines[std::size_t(i)].size; });
        break;
    case kDateColumn:
        sortBy([&](int i) { return lines[std::size_t(i)].dateKey; });
        break;
    case kDescriptionColumn:
        byText(&PaneLine::description);
        break;
    default:
        break;
    }
    return order;
}
