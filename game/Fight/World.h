#pragma once

#include "Audio/Music.h"
#include "Fight/Boss01.h"
#include "Fight/Boss02.h"
#include "Fight/FightClock.h"
#include "Fight/Player.h"
#include "Graphics/FlatPicture.h"
#include "Graphics/Font.h"
#include "Graphics/Sprite.h"
#include "Graphics/Text.h"
#include "Math/Rect.h"

#include <string>

// The game's fixed numbers that several objects share.
inline constexpr Size kLogicalSize{1024, 720};
inline constexpr const char* kTitle = "Duelfall";
// The music's volume in the game's own mix (of the mixer's 128), before the player's setting.
inline constexpr int kMusicVolume = 35;
inline constexpr const char* kVictoryMessage = "Поздравляю вас с прохождением игры и с наступающим 2018 годом!!!";
inline constexpr const char* kEnglishVictoryMessage
    = "Congratulations on finishing the game, and a happy New Year 2018!!!";

// Every object of the game, built once before the first frame, in the order the files are loaded:
// the first file that cannot be loaded is the one reported, and nothing after it is loaded.
// Members are constructed in declaration order; do not reorder them.
struct World {
    World();
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    Sprite background;
    Player player;
    Boss01 boss01;
    Boss02 boss02;
    // The arena's only solid geometry: a floor wider than the screen and walls just outside its edges.
    Rect ground{0, 600, 1200, 300};
    Rect leftWall{-200, 0, 200, 1000};
    Rect rightWall{1024, 0, 200, 1000};
    Music music;
    Sprite bossLabel;
    Sprite bossBarLeft;
    Sprite bossBar;
    Sprite bossBarRight;
    Sprite youLabel;
    Sprite youBarLeft;
    Sprite youBar;
    Sprite youBarRight;
    Sprite gameOverOverlay;
    Sprite victoryOverlay;
    Font font;
    std::string victoryMessage;
    // Bytes of the victory message shown so far; grows by 0.4 a frame after victory, never reset.
    float revealed = 0.0f;
    Text victoryText;
    // Under the victory text once it is whole.
    Text playAgainText;
    // The background under the game-over overlay, made when the game-over screen is first shown.
    FlatPicture gameOverScreen; // the background under the game-over overlay
    FightClock clock;
    BestTimes bestTimes;
    // Whether the fight's time shows in a corner during the fight.
    bool timerShown = false;
    Text timerText;
    // On the victory screen, under its title: the first boss's time and the whole fight's.
    Text firstBossTimeText;
    Text fightTimeText;
};
