#pragma once

#include "Core/Scene.h"
#include "Replay/Replay.h"
#include "Replay/ReplayArchive.h"
#include "Replay/ReplayPlayer.h"
#include "Replay/ReplayRecorder.h"
#include "Settings/Records.h"
#include "Shell/OptionsScreen.h"
#include "Shell/Pause.h"

#include <chrono>
#include <optional>
#include <string>

struct FightClock;
class SettingsFile;
struct World;

// The game as its window runs it: every fight recorded into userData/replays/, or, given a replay, that
// game played back at normal speed (the keyboard is ignored; closing the window still quits).
class GameSession {
public:
    // No path: nothing to play back. A replay that cannot be read is a fatal error naming the line;
    // read it before anything else starts.
    static std::optional<Replay> loadReplay(const std::string& path);

    // Seeds the random generator (the clock's seed is kept, or the replay's is used) before the first frame.
    // A recorded fight runs with the given jump buffer (in frames), a replay with its own. The best
    // times are read from the records file (none without one), and a recorded fight's new bests are
    // written to it; a replay played back shows them and never counts.
    GameSession(World& world, std::optional<Replay> replay, int jumpBuffer = 0, const std::string& recordsPath = "");
    ~GameSession();
    GameSession(const GameSession&) = delete;
    GameSession& operator=(const GameSession&) = delete;

    // From the pause overlay the options screen then shows the file's settings, applies each change to the
    // running game and saves it to the file. Without a file there is no options screen.
    void offerOptions(SettingsFile& settings);

    // The frame callables of the world, recording or playing back.
    Scene scene();
    // After the frame loop: the recording written and copied to last.replay (as it is every ten seconds
    // of play and at every game over and victory). The exit status: 0, or 3 if
    // a replay played back went another way than recorded.
    int finish();
    // Whether the last frame was paused (no update ran, nothing was recorded), the options screen included.
    bool isPaused() const { return pause_.isPaused(); }
    bool showsOptions() const { return options_ && options_->isOpen(); }

private:
    // The window's own keys (full screen, pause, options) of this frame; true if the frame is paused.
    bool desktopFrame();
    void drawPaused();
    void recordFrame();
    void recordedFrameDone();
    void playFrame();
    void playedFrameDone();
    // After a frame's update: the bosses' times compared with the records when they fall.
    void keepRecords(const FightClock& before);

    World& world_;
    std::optional<ReplayRecorder> recorder_;
    std::optional<ReplayArchive> archive_;
    std::optional<ReplayPlayer> player_;
    Pause pause_;
    std::optional<OptionsScreen> options_;
    Records records_;
    long frame_ = 0;
    std::optional<std::string> desync_;
    // When the replay was last brought up to date on disk.
    std::chrono::steady_clock::time_point lastWrite_ = std::chrono::steady_clock::now();
};
