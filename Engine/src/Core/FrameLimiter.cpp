#include "Core/FrameLimiter.h"

#include "Core/FrameTimer.h"

#include <chrono>
#include <thread>

#ifdef __linux__
#include <sys/prctl.h>
#endif

namespace {

// A clock that never steps: a wall clock set back by a time correction would stall the frames for as
// long as it was set back.
int64_t monotonicNanoseconds()
{
    using namespace std::chrono;
    return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
}

// Linux lets a sleeping thread wake up to its timer slack late (50 microseconds by default); every
// oversleep lengthens a frame, so the frame loop asks for the tightest wake-up.
bool tightenTimerSlack()
{
#ifdef __linux__
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
#endif
    return true;
}

} // namespace

int64_t now()
{
    static const int64_t origin = monotonicNanoseconds();
    return monotonicNanoseconds() - origin;
}

void limitFrameRate(uint32_t fps)
{
    static const bool tightened = tightenTimerSlack();
    (void)tightened;
    static int64_t deadline = now();
    // trunc((1 / fps) * 1e9) nanoseconds: 16 666 666 at 60 fps. A rate of 0 sets no limit.
    deadline += FrameTimer::framePeriod(fps);
    const int64_t wait = deadline - now();
    if (wait > 0)
        std::this_thread::sleep_for(std::chrono::nanoseconds(wait));
    // The next frame is measured from this moment: a slow frame is never made up.
    deadline = now();
}
