#include "files/CopyProgress.h"

#include <algorithm>
#include <cmath>

TransferPace transferPace(std::int64_t done, std::int64_t total, std::int64_t elapsedMs) {
    TransferPace pace;
    if (done <= 0 || elapsedMs <= 0)
        return pace;
    pace.bytesPerSecond = double(done) * 1000.0 / double(elapsedMs);
    if (total >= 0)
        pace.secondsLeft = static_cast<std::int64_t>(
            std::ceil(double(std::max<std::int64_t>(total - done, 0)) / pace.bytesPerSecond));
    return pace;
}
