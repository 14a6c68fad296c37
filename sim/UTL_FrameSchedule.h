#pragma once

#include <cstdint>

// Whether the next frame can differ from the one just drawn, and, when it cannot, how long until
// something is due that changes it by itself. A window whose frames would repeat draws none: it
// waits for an event (input, a picture or a friendship arriving, a change made from a menu) or
// for the next timed event of the scene (the idle clock starting an automatic motion, the tour's
// next stop), and then draws again for as long as something moves.
//
// A frame is told as three facts: the digest of everything its picture was drawn from (a label
// still sliding or a picture that arrived changes it), whether something goes on by itself from
// frame to frame (an automatic turn, a glide, a key held, a dock easing), and the seconds until
// the next timed event (negative: none). The next frame would repeat this one when nothing moves
// and the digest equals the frame before's: the frame then changed nothing that a further frame
// would change again. Plain bookkeeping, no GL; seconds are wall-clock seconds.
class UTL_FrameSchedule
{
public:
    static constexpr float NoEvent = -1.0f;

    // A frame was drawn.
    void Drew(uint64_t digest, bool moving, float secondsToEvent);
    // Nothing known of the frame before any more: the next frame is compared afresh.
    void Forget();

    // Whether the next frame would draw what the last one drew.
    bool IsStill() const { return still; }
    // Seconds from the last frame to the next timed event; NoEvent when none is due.
    float GetSecondsToEvent() const { return secondsToEvent; }
    // Frames told so far.
    long long CountFrames() const { return frames; }

private:
    bool haveDigest = false;
    uint64_t lastDigest = 0;
    bool still = false;
    float secondsToEvent = NoEvent;
    long long frames = 0;
};
