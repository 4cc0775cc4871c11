#include "sim/Models.h"

#include "core/Numbers.h"

#include <algorithm>

namespace sim {
namespace {

// The build date sits after the number only where the application cuts the number out;
// for the other models it reads to the end, and a date there would change the value.
constexpr std::string_view kBuildDate = " 2026-01-15";
constexpr std::string_view kSerialSuffix = " S/N 0412 VELTRAN-SIM";

constexpr std::size_t kVersionWidth = 4; // characters 2..5 of the answer
constexpr std::size_t kMaxIntegerDigits = 6;

// Digits, optionally a point and more digits: what the firmware number may look like.
bool isVersionNumber(std::string_view text) {
    const std::size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction = point == text.npos ? "" : text.substr(point + 1);
    auto digits = [](std::string_view s) {
        return s.find_first_not_of("0123456789") == std::string_view::npos;
    };
    return !whole.empty() && whole.size() <= kMaxIntegerDigits && digits(whole) && digits(fraction);
}

} // namespace

Firmware parseFirmware(std::string_view text) {
    const std::string raw(text);
    if (!isVersionNumber(raw))
        return Firmware{raw, std::nullopt};
    const std::string normalised = num::fixed(num::leadingNumber(raw), 2);
    return Firmware{normalised, num::leadingNumber(normalised)};
}

DeviceFolders deviceFolders(const Model& model, const Firmware& firmware) {
    DeviceFolders device;
    applyFolders(model, static_cast<float>(firmware.number.value_or(0.0)), device);
    return device;
}

std::vector<std::string> modelFolders(const Model& model, const Firmware& firmware) {
    const DeviceFolders device = deviceFolders(model, firmware);
    std::vector<std::string> folders;
    for (const std::string* path : {&device.methodsPath, &device.reportsPath, &device.sequencePath,
                                    &device.trayReportsPath}) {
        if (path->size() < 2)
            continue;
        std::string folder = path->substr(1, path->size() - 2); // without the outer backslashes
        std::replace(folder.begin(), folder.end(), '\\', '/');
        folders.push_back(folder);
    }
    return folders;
}

std::string identificationAnswer(const Model& model) {
    return std::string(model.idText) + std::string(kSerialSuffix);
}

std::string versionAnswer(const Model& model, const Firmware& firmware) {
    std::string answer = "V" + firmware.text;
    if (model.shortVersion) {
        // A short text must not let the date slide into the characters read as the version.
        answer.resize(std::max(answer.size(), 1 + kVersionWidth), ' ');
        answer += kBuildDate;
    }
    return answer;
}

} // namespace sim
