#include "core/frame/Placement.h"
#include "core/base/TextCut.h"

#include <algorithm>
#include <limits>

namespace Placement {

Frame placeOnScreen(const Edges& stored, const Edges& screen)
{
    // 64-bit so that extreme stored values cannot overflow the differences.
    struct {
        long long left, top, right, bottom;
    } r{stored.left, stored.top, stored.right, stored.bottom};
    const auto usable = [](long long extent) {
        return extent > 0 && extent <= std::numeric_limits<int>::max();
    };
    if (!usable(r.right - r.left) || !usable(r.bottom - r.top)) {
        r.right = r.left + (DefaultRight - DefaultLeft);
        r.bottom = r.top + (DefaultBottom - DefaultTop);
    }
    const auto place = [](long long low, long long high, long long near, long long far) {
        if (far < low)
            return far - (high - low);
        if (low < near)
            return near;
        return low;
    };
    const auto clampInt = [](long long v) {
        return int(
            std::clamp<long long>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
    };
    return {clampInt(place(r.left, r.right, screen.left, screen.right)),
            clampInt(place(r.top, r.bottom, screen.top, screen.bottom)), int(r.right - r.left),
            int(r.bottom - r.top)};
}

int alphaOf(int transparencyPercent)
{
    const int percent = std::clamp(transparencyPercent, 0, 100);
    return (100 - percent) * 255 / 100;
}

QString tooltipOfName(const QString& name)
{
    return fitToRoom(name, TooltipMaxLength).toString();
}

} // namespace Placement
