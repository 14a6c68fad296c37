#include "app/UI_FramePacer.h"

#include <algorithm>
#include <cmath>

int UI_FramePacer::IntervalMs(Mode mode, double lastFrameSeconds)
{
    switch (mode)
    {
    case Mode::Foreground:
        return 0;
    case Mode::Hidden:
        return HiddenIntervalMs;
    case Mode::BehindDialog:
        break;
    }
    // As long again as the frame took: the browser gets at least half of the thread. A bogus
    // measurement (negative, not a number, absurdly long) falls back to the plain rate.
    const double frameMs = lastFrameSeconds * 1000.0;
    if (!(frameMs > 0.0) || frameMs > 10000.0)
        return BehindDialogIntervalMs;
    return std::max(BehindDialogIntervalMs, static_cast<int>(std::ceil(frameMs)));
}

int UI_FramePacer::StillMs(int eventMs)
{
    return eventMs < 0 ? StillIntervalMs : std::min(eventMs, StillIntervalMs);
}
