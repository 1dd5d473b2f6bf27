#include "Fight/World.h"

#include "Graphics/Animation.h"
#include "Graphics/Texture.h"

namespace {

constexpr int kLooping = 1;
constexpr int kFontSize = 22;
constexpr int kBlended = 1;
constexpr int kBossBarRow = 683;
constexpr int kPlayerBarRow = 647;
// The play-again line sits under the victory text, centred in the overlay's frame around both.
constexpr int kPlayAgainRow = 206;
constexpr int kVictoryFrameCentre = 553;
// The times: the asset generator's pale gold on its ink outline, legible on the arena and the overlays.
const Color kTimeColour{255, 228, 140, 255};
const Color kTimeOutline{30, 22, 40, 255};
constexpr uint8_t kOutlineThreshold = 128;

Sprite spriteOf(const std::string& path, Point position) { return Sprite(Texture(path), position); }

Player makePlayer()
{
    Player player("data/img/player.png", {100, 400});
    player.setWalkAnimation(Animation("data/img/playerAnimation/walk.xml", kLooping));
    player.setJumpAnimation(Animation("data/img/playerAnimation/jump.xml", kLooping));
    player.setBullet("data/img/bullet.png");
    player.setShootSound("data/sfx/playerShoot.wav");
    player.setHitSound("data/sfx/playerHit.wav");
    return player;
}

Boss01 makeBoss01()
{
    Boss01 boss({400, 30});
    boss.setHitSound("data/sfx/bossHit.wav");
    boss.setRocket("data/img/rocket.png");
    // The explosion before its sound: setting the sound also fills the death explosions from it.
    boss.setExplosion("data/img/explosion/explode.xml");
    boss.setExplosionSound("data/sfx/explode.wav");
    boss.setAnimation("data/img/boss01/boss01_anim.xml");
    return boss;
}

Boss02 makeBoss02()
{
    Boss02 boss("data/img/boss02.png", {700, 120});
    boss.setHitSound("data/sfx/bossHit.wav");
    boss.setSecondStageTexture("data/img/boss02_st2.png");
    boss.setLaser("data/img/laser.png");
    boss.setLaserSound("data/sfx/laserShoot.wav");
    // The fireball before its explosion: the explosion row is loaded into the fireball.
    boss.setFireball("data/img/fireball.png");
    boss.setFireballExplosion("data/img/explosion/explode2.xml");
    boss.setExplosionSound("data/sfx/explode.wav");
    return boss;
}

Music makeMusic()
{
    Music music("data/music/Brassoak1_-_06_-_The_Battle_Continues.mp3");
    music.setVolume(kMusicVolume);
    return music;
}

} // namespace

World::World()
    : background(spriteOf("data/img/bg.png", {0, 0}))
    , player(makePlayer())
    , boss01(makeBoss01())
    , boss02(makeBoss02())
    , music(makeMusic())
    // The caps' x and the bodies' widths are set from the health in every frame before drawing.
    , bossLabel(spriteOf("data/img/boss_label.png", {20, kBossBarRow}))
    , bossBarLeft(spriteOf("data/img/left_bar.png", {150, kBossBarRow}))
    , bossBar(spriteOf("data/img/bar.png", {120, kBossBarRow}))
    , bossBarRight(spriteOf("data/img/right_bar.png", {140, kBossBarRow}))
    , youLabel(spriteOf("data/img/you_label.png", {20, kPlayerBarRow}))
    , youBarLeft(spriteOf("data/img/left_bar_y.png", {150, kPlayerBarRow}))
    , youBar(spriteOf("data/img/bar_y.png", {120, kPlayerBarRow}))
    , youBarRight(spriteOf("data/img/right_bar_y.png", {140, kPlayerBarRow}))
    , gameOverOverlay(spriteOf("data/img/gameover_overlay.png", {0, 0}))
    , victoryOverlay(spriteOf("data/img/victory_overlay.png", {0, 0}))
    , font("data/ttf/tahomabd.ttf", kFontSize)
    , victoryMessage(kVictoryMessage)
    , victoryText(font, "", Color(NamedColor::WHITE, Color::opaqueAlpha()), {95, 170}, kBlended)
    , playAgainText(font, "Press Enter to play again", Color(NamedColor::WHITE, Color::opaqueAlpha()), {0, 0}, kBlended)
    , timerText(font, "", kTimeColour, kTimeOutline, kOutlineThreshold, {0, 0}, kBlended)
    , firstBossTimeText(font, "", kTimeColour, kTimeOutline, kOutlineThreshold, {0, 0}, kBlended)
    , fightTimeText(font, "", kTimeColour, kTimeOutline, kOutlineThreshold, {0, 0}, kBlended)
{
    playAgainText.rect().x = kVictoryFrameCentre - playAgainText.rect().w / 2;
    playAgainText.rect().y = kPlayAgainRow;
}
