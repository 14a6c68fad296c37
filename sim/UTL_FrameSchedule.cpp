#include "sim/UTL_FrameSchedule.h"

void UTL_FrameSchedule::Drew(uint64_t digest, bool moving, float seconds)
{
    still = !moving && haveDigest && digest == lastDigest;
    haveDigest = true;
    lastDigest = digest;
    secondsToEvent = seconds >= 0.0f ? seconds : NoEvent;
    ++frames;
}

void UTL_FrameSchedule::Forget()
{
    haveDigest = false;
    still = false;
}
