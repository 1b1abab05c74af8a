// Keeping the strip findable: the off-screen rescue and bringing it to the front.
#include "strip/Strip.h"

#include "strip/StripInternal.h"

#include <algorithm>

namespace strip {

namespace {

// The place nearest to `place` at which a window of its size lies inside
// `area`; a window taller or wider than the area keeps its top-left inside.
POINT NearestPlaceInside(const RECT& place, const RECT& area) {
    const LONG width = place.right - place.left;
    const LONG height = place.bottom - place.top;
    POINT corner{place.left, place.top};
    corner.x = (std::max)(area.left, (std::min)(corner.x, area.right - width));
    corner.y = (std::max)(area.top, (std::min)(corner.y, area.bottom - height));
    return corner;
}

}  // namespace

bool RescueOffScreenStrip(StripState& strip) {
    RECT place{};
    if (!strip.StripHwnd || !GetWindowRect(strip.StripHwnd, &place)) {
        return false;
    }
    // Only the band with the buttons matters: a strip partly off the screen
    // can still be dragged back by it.
    RECT band = place;
    band.bottom = (std::min)(place.bottom, place.top + kTopBandHeight);
    if (MonitorFromRect(&band, MONITOR_DEFAULTTONULL)) {
        return false;
    }
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoA(MonitorFromRect(&band, MONITOR_DEFAULTTONEAREST), &monitor)) {
        return false;
    }
    POINT corner = NearestPlaceInside(place, monitor.rcWork);
    SetWindowPos(strip.StripHwnd, nullptr, corner.x, corner.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // Any later move is saved by the window's own move handler.
    if (strip.Building) {
        SavePosition(strip);
    }
    return true;
}

void BringStripToFront(StripState& strip) {
    if (!strip.StripHwnd) {
        return;
    }
    RescueOffScreenStrip(strip);
    // Topmost for a moment lifts it above every window; not topmost again
    // so it does not cover the user's work for good.
    const UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW;
    SetWindowPos(strip.StripHwnd, HWND_TOPMOST, 0, 0, 0, 0, flags);
    SetWindowPos(strip.StripHwnd, HWND_NOTOPMOST, 0, 0, 0, 0, flags);
}

}  // namespace strip
