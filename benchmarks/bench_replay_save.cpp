// Cost of bringing a fight's replay up to date on disk, as the game does every 600 frames and at every
// game over. The frame pays for taking the replay from the recorder, writing it as text and handing it
// to the writing thread; the disk's part (a temporary file renamed over the run's own, then the same for
// last.replay) runs on that thread, measured apart. Fights of 10 seconds, 10 minutes and an hour, with a
// change of keys every 8 frames (a busy player). Bar: the writing frame pays at most 3 ms of its 16.7 ms.
#include "BenchSupport.h"

#include "Replay/ReplayArchive.h"
#include "Replay/ReplayRecorder.h"
#include "Utils/Utf8Path.h"

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <vector>

namespace {

constexpr int kRounds = 40;
constexpr double kBarMs = 3.0;
constexpr long kFramesPerKeyChange = 8;

// A fight's replay of the given length as the recorder holds it.
Replay fightOf(long frames)
{
    Replay replay;
    replay.seed = 20261208;
    for (long from = 1; from + kFramesPerKeyChange <= frames; from += 2 * kFramesPerKeyChange) {
        GameKeys keys;
        keys.set(GameKey::Right, from % 3 == 0);
        keys.set(GameKey::Fire, true);
        keys.set(GameKey::Jump, from % 5 == 0);
        replay.spans.push_back({from, from + kFramesPerKeyChange - 1, keys});
    }
    for (long frame = kCheckpointPeriod; frame <= frames; frame += kCheckpointPeriod)
        replay.checkpoints.push_back({frame, static_cast<uint32_t>(frame * 2654435761u)});
    replay.frames = frames;
    replay.end = {0x1234abcd, 30, 0, 640};
    return replay;
}

} // namespace

int main()
{
    prepareHeadlessProcess();
    const std::string dir = "userData/bench-replays";
    std::filesystem::remove_all(pathFromUtf8(dir));
    bool met = true;
    for (const long frames : {600L, 36000L, 216000L}) {
        const Replay fight = fightOf(frames);
        ReplayArchive archive(dir, std::time(nullptr));
        std::vector<double> frameMs, diskMs;
        for (int round = 0; round < kRounds; ++round) {
            const int64_t start = steadyNs();
            archive.update(Replay(fight)); // the recorder hands out a copy
            const int64_t handedOver = steadyNs();
            archive.finishWriting();
            frameMs.push_back(static_cast<double>(handedOver - start) / 1e6);
            diskMs.push_back(static_cast<double>(steadyNs() - handedOver) / 1e6);
        }
        const Summary frame = summarize(frameMs), disk = summarize(diskMs);
        met = met && frame.p99 <= kBarMs;
        std::printf("replay of %6ld frames (%4.0f minutes, %6zu bytes): the frame pays median %.3f ms, p99 %.3f ms; "
                    "the writing thread median %.3f ms, max %.3f ms\n",
            frames, static_cast<double>(frames) / 3600.0, fight.text().size(), frame.median, frame.p99, disk.median,
            disk.max);
    }
    std::printf("bar: the writing frame's extra cost at most %.1f ms (p99): %s\n", kBarMs, verdict(met));
    std::filesystem::remove_all(pathFromUtf8(dir));
    return 0;
}
