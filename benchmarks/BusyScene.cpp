#include "BusyScene.h"

#include "BenchSupport.h"
#include "Core/Core.h"
#include "Fight/World.h"
#include "Frame/GameFrame.h"
#include "Input/Window.h"

#include <algorithm>
#include <stdexcept>

namespace {

// Health at which the second boss switches to its second stage.
constexpr int32_t kSwitchHealth = 440;
// The player runs this many frames one way, then as many the other.
constexpr uint64_t kRunFrames = 80;
// No stage of the set-up takes this long unless something is broken.
constexpr long kStageLimit = 5000;
constexpr int kAttempts = 20;

} // namespace

std::unique_ptr<World> startGame()
{
    startGameCore();
    Core& core = Core::instance();
    auto world = std::make_unique<World>();
    core.scenes().setGlobalScene(makeScene(*world));
    core.window().show();
    return world;
}

BusyScene::BusyScene(World& world)
    : world_(world)
    , bullet_("data/img/bullet.png", {0, 0}, Bullet::kRight)
{
}

void BusyScene::aimBullets(const Rect& target, int count)
{
    const Point centre = target.center();
    bullet_.setPosition({centre.x - Bullet::kStep - Bullet::kSize / 2, centre.y - Bullet::kSize / 2});
    for (int i = 0; i < count; ++i)
        world_.player.getBullets().push_back(bullet_);
}

void BusyScene::steer()
{
    Keyboard::State keys{};
    keys[SDL_SCANCODE_LCTRL] = 1;
    keys[(steps_ / kRunFrames) % 2 == 0 ? SDL_SCANCODE_RIGHT : SDL_SCANCODE_LEFT] = 1;
    ++steps_;
    Core::keyboard().setScript(keys);
}

void BusyScene::playFrame()
{
    steer();
    Core::instance().input().pollEvents();
    updateFrame(world_);
    ++setUpFrames_;
}

bool BusyScene::tryReachSecondStage()
{
    restartFight(world_);
    Boss01& first = world_.boss01;
    for (long frame = 0; !first.isFinished(); ++frame) {
        if (frame > kStageLimit || world_.player.isDead())
            return false;
        if (!first.isDead())
            aimBullets(first.hitbox(), 10);
        playFrame();
    }
    Boss02& second = world_.boss02;
    for (long frame = 0; !second.isSecondStage(); ++frame) {
        if (frame > kStageLimit || world_.player.isDead())
            return false;
        if (!second.isTransforming())
            aimBullets(second.rect(), std::clamp((second.health() - kSwitchHealth) / Boss02::kHitDamage, 0, 10));
        playFrame();
    }
    for (long frame = 0; second.lasers().empty() || second.fireballs().empty(); ++frame) {
        if (frame > kStageLimit || !isBusy())
            return false;
        playFrame();
    }
    return true;
}

void BusyScene::setUp()
{
    for (int attempt = 0; attempt < kAttempts; ++attempt)
        if (tryReachSecondStage())
            return;
    throw std::runtime_error("the busy scene could not be reached: the player keeps dying on the way");
}

bool BusyScene::isBusy() const
{
    return world_.boss01.isFinished() && world_.boss02.isSecondStage() && !world_.boss02.isDead()
        && !world_.player.isDead();
}
