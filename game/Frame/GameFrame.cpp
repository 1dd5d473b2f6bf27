#include "Frame/GameFrame.h"

#include "Fight/World.h"
#include "Frame/GamepadKeys.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {

constexpr int kLoopForever = -1;
// The victory text grows by this many bytes a frame: 112 bytes in 280 frames.
constexpr double kRevealStep = 0.4;
// The fight's time in the top right corner, in logical pixels from the edges.
constexpr int kTimerMargin = 12;
// The victory screen's times, centred under its title.
constexpr int kFirstBossTimeRow = 474;
constexpr int kFightTimeRow = 506;

bool anyHeld(const Keyboard& keyboard, const std::vector<SDL_Scancode>& keys)
{
    // Stops at the first key found held.
    for (SDL_Scancode key : keys)
        if (keyboard.isKeyDown(key))
            return true;
    return false;
}

// Places a bar's caps around its body, which is as wide as the health (one pixel per point).
void drawBar(Sprite& left, Sprite& body, Sprite& right, int health, int bodyDraws)
{
    Rect& bodyRect = body.rect();
    left.rect().x = bodyRect.left() - left.rect().w;
    left.draw();
    bodyRect.w = health;
    for (int i = 0; i < bodyDraws; ++i)
        body.draw();
    right.rect().x = bodyRect.right();
    right.draw();
}

void drawBossBar(World& world, int health)
{
    if (health > 0)
        drawBar(world.bossBarLeft, world.bossBar, world.bossBarRight, health, 1);
}

void drawFight(World& world)
{
    world.player.draw();
    world.youLabel.draw();
    world.bossLabel.draw();
    if (world.player.getHealth() > 0)
        drawBar(world.youBarLeft, world.youBar, world.youBarRight, world.player.getHealth(), 2);
    if (!world.boss01.isFinished()) {
        world.boss01.draw();
        drawBossBar(world, world.boss01.health());
    } else {
        world.boss02.draw();
        drawBossBar(world, world.boss02.health());
    }
}

// "First boss  0:41.23    Best  0:39.80    New best!"; the best left out while there is none.
std::string timeLine(const char* what, std::optional<long> time, std::optional<long> best, bool isNew)
{
    std::string line = std::string(what) + "  " + (time ? clockText(*time) : "-");
    if (best)
        line += "    Best  " + clockText(*best);
    if (isNew)
        line += "    New best!";
    return line;
}

void drawCentred(Text& text, const std::string& line, int row)
{
    text.setText(line);
    text.rect().x = (kLogicalSize.w - text.rect().w) / 2;
    text.rect().y = row;
    text.draw();
}

void drawTimer(World& world)
{
    world.timerText.setText(clockText(world.clock.frames));
    world.timerText.rect().x = kLogicalSize.w - kTimerMargin - world.timerText.rect().w;
    world.timerText.rect().y = kTimerMargin;
    world.timerText.draw();
}

void drawVictoryTimes(World& world)
{
    const BestTimes& best = world.bestTimes;
    drawCentred(world.firstBossTimeText,
        timeLine("First boss", world.clock.firstBossFell, best.firstBoss, best.newFirstBoss), kFirstBossTimeRow);
    drawCentred(
        world.fightTimeText, timeLine("Whole fight", world.clock.won, best.fight, best.newFight), kFightTimeRow);
}

void drawGameOver(World& world)
{
    // The same two pictures every frame: blended once, then copied.
    world.gameOverScreen.draw({&world.background, &world.gameOverOverlay});
    if (readFrameKeys().isHeld(GameKey::Enter))
        restartFight(world);
}

void drawVictory(World& world)
{
    world.victoryOverlay.draw();
    const auto length = static_cast<double>(world.victoryMessage.size());
    world.revealed = static_cast<float>(std::min(world.revealed + kRevealStep, length));
    world.victoryText.setText(wholeCharacterPrefix(world.victoryMessage, static_cast<size_t>(world.revealed)));
    world.victoryText.draw();
    drawVictoryTimes(world);
    // Once the whole text shows, Enter plays again as after a game over; the text stays whole.
    if (world.revealed >= length) {
        world.playAgainText.draw();
        if (readFrameKeys().isHeld(GameKey::Enter))
            restartFight(world);
    }
}

} // namespace

PlayerInput readPlayerInput(const Keyboard& keyboard, const Controls& controls)
{
    PlayerInput input;
    input.left = anyHeld(keyboard, controls.keysOf(Action::Left));
    input.right = anyHeld(keyboard, controls.keysOf(Action::Right));
    input.up = anyHeld(keyboard, controls.keysOf(Action::Up));
    input.down = anyHeld(keyboard, controls.keysOf(Action::Down));
    input.jump = anyHeld(keyboard, controls.keysOf(Action::Jump));
    input.fire = anyHeld(keyboard, controls.keysOf(Action::Fire));
    return input;
}

PlayerInput playerInputOf(GameKeys keys)
{
    PlayerInput input;
    input.left = keys.isHeld(GameKey::Left);
    input.right = keys.isHeld(GameKey::Right);
    input.up = keys.isHeld(GameKey::Up);
    input.down = keys.isHeld(GameKey::Down);
    input.jump = keys.isHeld(GameKey::Jump);
    input.fire = keys.isHeld(GameKey::Fire);
    return input;
}

void updateFrame(World& world)
{
    Player& player = world.player;
    if (player.isFinished()) {
        world.music.play(kLoopForever);
        return;
    }

    const PlayerInput input = playerInputOf(readFrameKeys());
    player.setLeftKey(input.left);
    player.setRightKey(input.right);
    player.setUpKey(input.up);
    player.setDownKey(input.down);
    player.setJumpKey(input.jump);
    player.setFireKey(input.fire);

    // The player moves, takes its hits and fires before the boss moves and takes the bullets.
    player.update({world.ground, world.leftWall, world.rightWall}, world.boss01.rockets(), world.boss01.impactArea(),
        world.boss02.lasers(), world.boss02.fireballs());
    if (world.boss01.isFinished())
        world.boss02.update(player.getBullets());
    else
        world.boss01.update(player.getBullets());
    world.clock.tick(world.boss01.isFinished(), world.boss02.isFinished());

    world.music.play(kLoopForever);
}

void drawFrame(World& world)
{
    if (!world.player.isFinished()) {
        world.background.draw();
        drawFight(world);
        if (world.timerShown)
            drawTimer(world);
    } else {
        drawGameOver(world);
    }
    if (world.boss02.isFinished())
        drawVictory(world);
}

void restartFight(World& world)
{
    world.player.restart();
    world.boss01.restart();
    world.boss02.restart();
    world.clock = {};
    world.bestTimes = {};
}

std::string wholeCharacterPrefix(const std::string& text, size_t bytes)
{
    bytes = std::min(bytes, text.size());
    // A cut inside a character lands on a continuation byte (10xxxxxx): step back to its lead byte.
    size_t end = bytes;
    while (end > 0 && end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return text.substr(0, end);
}

Scene makeScene(World& world)
{
    return Scene([&world] { updateFrame(world); }, [&world] { drawFrame(world); });
}
