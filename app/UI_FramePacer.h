#pragma once

// How long the frame loop waits before the next frame, in milliseconds.
//
// In front, frames run back to back with no cap. Behind the login dialog the scene is only
// decoration, while the embedded browser shares this thread's event loop (its page, its input
// and its network answers all pass through it) and the machine's cores with the software
// rasteriser; frames drawn flat out there leave the login page blank for half a minute on a busy
// two-core machine, and lose what the user types into it. So behind the dialog the loop runs at
// most 20 frames a second and never spends more than half its time drawing. A window that is
// minimised or hidden draws nothing and only looks in now and then. A still view (one whose
// next frame would repeat the last) draws nothing either: input wakes it by itself, and the loop
// only looks in every StillIntervalMs for the frame's own chores (a login to retry, the status
// bar), or sooner when the scene's next timed event is due.
class UI_FramePacer
{
public:
    enum class Mode
    {
        Foreground,
        BehindDialog,
        Hidden,
    };

    static constexpr int BehindDialogIntervalMs = 50;
    static constexpr int HiddenIntervalMs = 50;

    static constexpr int StillIntervalMs = 500;

    // `lastFrameSeconds`: the time the previous frame took to draw.
    static int IntervalMs(Mode mode, double lastFrameSeconds);
    // The wait of a still view whose next timed event is `eventMs` away (negative: none).
    static int StillMs(int eventMs);
};
