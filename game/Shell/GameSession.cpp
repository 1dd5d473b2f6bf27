#include "Shell/GameSession.h"

#include "Fight/World.h"
#include "Frame/Controls.h"
#include "Frame/GameFrame.h"
#include "Settings/ApplySettings.h"
#include "Shell/FullscreenKeys.h"

#include "Core/Core.h"
#include "Math/Random.h"
#include "Utils/LogFile.h"
#include "Utils/Path.h"
#include "Utils/Time.h"

#include <chrono>
#include <iostream>

namespace {

constexpr int kDesyncStatus = 3;
constexpr std::chrono::seconds kAutosaveInterval{10};
constexpr uint32_t kRumbleMilliseconds = 250;

void logInfo(const std::string& message) { writeLogLine(logFile(), message, false); }

} // namespace

std::optional<Replay> GameSession::loadReplay(const std::string& path)
{
    if (path.empty())
        return std::nullopt;
    try {
        return Replay::load(path);
    } catch (const ReplayError& error) {
        fatalError(error.what());
    }
}

GameSession::GameSession(World& world, std::optional<Replay> replay, int jumpBuffer, const std::string& recordsPath)
    : world_(world)
    , records_(recordsPath.empty() ? Records() : Records::read(recordsPath))
{
    if (replay) {
        player_.emplace(std::move(*replay));
        player_->start(world_);
        Core::keyboard().setScript(player_->keysAt(1));
        logInfo("Playing back a replay of " + std::to_string(player_->frames()) + " frames recorded by Duelfall "
            + player_->gameVersion());
        return;
    }
    world_.player.setJumpBuffer(jumpBuffer);
    recorder_.emplace(Random::seedInUse(), jumpBuffer);
    archive_.emplace(basePath() + "/userData/replays", currentTime());
    // A fatal error in the middle of a fight still leaves the replay up to the last whole frame.
    setFatalErrorHook([this] { archive_->save(recorder_->replay()); });
}

GameSession::~GameSession() { setFatalErrorHook(nullptr); }

void GameSession::offerOptions(SettingsFile& settings)
{
    options_.emplace(settings, [this](const Settings& changed) { applySettings(changed, world_); });
}

Scene GameSession::scene()
{
    if (player_)
        return Scene([this] { playFrame(); }, [this] { playedFrameDone(); });
    return Scene([this] { recordFrame(); }, [this] { recordedFrameDone(); });
}

int GameSession::finish()
{
    if (recorder_) {
        archive_->save(recorder_->replay());
        return 0;
    }
    logInfo("Replay played back to frame " + std::to_string(frame_) + (desync_ ? ": " + *desync_ : ": no desync"));
    return desync_ ? kDesyncStatus : 0;
}

bool GameSession::desktopFrame()
{
    Core& core = Core::instance();
    toggleFullscreenOnKey(core.input(), core.window());
    // The options screen takes every key while it is open; the fight stays paused under it.
    if (showsOptions()) {
        options_->update(core.input());
        return true;
    }
    const bool fightGoesOn = !world_.player.isFinished() && !world_.boss02.isFinished();
    const bool paused = pause_.update(core.input(), world_.music, fightGoesOn);
    if (options_ && pause_.asksForOptions(core.input()))
        options_->open();
    return paused;
}

void GameSession::drawPaused()
{
    if (!showsOptions()) {
        pause_.draw();
        return;
    }
    pause_.drawPicture();
    options_->draw();
}

void GameSession::recordFrame()
{
    // A paused frame is neither recorded nor played: the game after it goes on as if it never was.
    if (desktopFrame())
        return;
    // The keys as the frame update reads them, from the same snapshot.
    recorder_->recordFrame();
    const FightClock before = world_.clock;
    const int health = world_.player.getHealth();
    updateFrame(world_);
    keepRecords(before);
    // A hit shakes the player's pads; a replay played back shakes nothing.
    if (world_.player.getHealth() < health && boundControls().rumble > 0)
        Core::instance().input().controllers().rumble(
            static_cast<double>(boundControls().rumble) / kMaxRumble, kRumbleMilliseconds);
}

void GameSession::keepRecords(const FightClock& before)
{
    BestTimes& shown = world_.bestTimes;
    // Each time is taken in once, in the frame in which it becomes known.
    const auto take = [&](Records::Kind kind, std::optional<long> was, std::optional<long> time,
                          std::optional<long>& best, bool& isNew) {
        if (was || !time)
            return false;
        isNew = recorder_ && records_.offer(kind, *time);
        best = records_.best(kind);
        return isNew;
    };
    const FightClock& clock = world_.clock;
    const bool firstBoss
        = take(Records::FirstBoss, before.firstBossFell, clock.firstBossFell, shown.firstBoss, shown.newFirstBoss);
    const bool fight = take(Records::Fight, before.won, clock.won, shown.fight, shown.newFight);
    std::string error;
    if ((firstBoss || fight) && !records_.write(error))
        writeLogLine(logFile(), error, true);
}

void GameSession::recordedFrameDone()
{
    if (pause_.isPaused()) {
        drawPaused();
        return;
    }
    drawFrame(world_);
    // Written at each game over and victory and every 600 frames of a fight, so that even a killed game
    // leaves its replay; and every 10 seconds on a machine too slow for 60 frames a second.
    const bool due = recorder_->frameDone(world_);
    const auto now = std::chrono::steady_clock::now();
    if (due || now - lastWrite_ >= kAutosaveInterval) {
        archive_->update(recorder_->replay());
        lastWrite_ = now;
    }
}

void GameSession::playFrame()
{
    if (desktopFrame())
        return;
    ++frame_;
    const FightClock before = world_.clock;
    updateFrame(world_);
    keepRecords(before);
}

void GameSession::playedFrameDone()
{
    if (pause_.isPaused()) {
        drawPaused();
        return;
    }
    drawFrame(world_);
    if (std::optional<std::string> desync = player_->check(frame_, world_); desync && !desync_) {
        desync_ = desync;
        writeLogLine(logFile(), "Replay " + *desync, true);
        std::cerr << "Duelfall: " << *desync << '\n';
    }
    // The keys of the next frame are taken by the next poll.
    if (frame_ >= player_->frames())
        Core::instance().input().stop();
    else
        Core::keyboard().setScript(player_->keysAt(frame_ + 1));
}
