// Settings kept in settings.ini: a save rewrites only what changed and keeps the player's own lines; a binding
// read from it steers the player in a real window.
#include "Replay/Replay.h"
#include "Settings/SettingsFile.h"
#include "support/ChildProcess.h"
#include "support/Headless.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

TEST(SettingsFile, ASaveRewritesTheChangedLinesKeepsTheRestAndReadsBackTheSame)
{
    const std::string dir = scratchDirectory("settings-save");
    const std::string path = writeFile(dir + "/settings.ini",
        "# mine\r\nmusic_volume = 300\r\nmystery = 7\r\nkey.jump = K\r\ntimer = on\r\nkey.jump = J\r\n");
    SettingsFile file = SettingsFile::read(path);
    Settings changed = file.settings();
    changed.musicVolume = 40;
    changed.keys[static_cast<size_t>(Action::Jump)] = {SDL_SCANCODE_SPACE, SDL_SCANCODE_K};
    changed.scaling = Scaling::PixelPerfect;
    std::string error;
    ASSERT_TRUE(file.write(changed, error)) << error;
    EXPECT_EQ(readFile(path),
        "# mine\r\nmusic_volume = 40\r\nmystery = 7\r\nkey.jump = K\r\ntimer = on\r\nkey.jump = Space, K\r\n"
        "scaling = pixel-perfect\r\n");
    EXPECT_EQ(SettingsFile::read(path).settings(), changed);
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));

    // A file that cannot be replaced (its folder is gone) is reported, and the settings in memory stay.
    SettingsFile lost = SettingsFile::read(dir + "/gone/settings.ini");
    EXPECT_FALSE(lost.write(changed, error));
    EXPECT_NE(error.find("gone/settings.ini"), std::string::npos) << error;
    EXPECT_EQ(lost.settings(), defaultSettings());
}

// In a real window under Xvfb, with the jump bound to K: Space held with Right does not jump, K does, and the run's
// replay (game keys, whatever the binding) shows it and plays back.
TEST(SettingsInAWindow, WithTheJumpOnKTheKJumpsAndSpaceDoesNot)
{
    if (!std::filesystem::exists("/usr/bin/xvfb-run") || !std::filesystem::exists("/usr/bin/xdotool"))
        GTEST_SKIP() << "needs xvfb-run and xdotool";
    const std::string dir = gameDirectory("rebound");
    std::filesystem::create_directories(dir + "/userData");
    writeFile(dir + "/userData/settings.ini", "# mine\nkey.jump = K\n");
    const std::string hold = "xdotool keydown --window $w KEYS; sleep 1; xdotool keyup --window $w KEYS; sleep 0.5; ";
    const auto held = [&hold](const std::string& keys) { return std::regex_replace(hold, std::regex("KEYS"), keys); };
    // SDL turns the TERM signal into a quit: the game ends as if its window were closed, and saves the replay.
    const std::string script = std::string(DUELFALL_PATH)
        + " & g=$!; w=$(xdotool search --sync --name Duelfall | head -n 1); " + "sleep 1; " + held("Right space")
        + held("k") + "kill $g; wait $g";
    ChildProcess game({"xvfb-run", "-a", "-s", "-screen 0 1280x800x24", "sh", "-c", script}, dir,
        {{"SDL_VIDEODRIVER", std::nullopt}});
    ASSERT_EQ(game.wait(90), 0) << game.errors();
    const Replay replay = Replay::load(dir + "/userData/replays/last.replay");
    int jumps = 0, runs = 0;
    for (const Replay::Span& span : replay.spans) {
        EXPECT_FALSE(span.keys.isHeld(GameKey::Right) && span.keys.isHeld(GameKey::Jump)) << "Space jumped";
        jumps += span.keys.isHeld(GameKey::Jump) ? static_cast<int>(span.to - span.from + 1) : 0;
        runs += span.keys.isHeld(GameKey::Right) ? static_cast<int>(span.to - span.from + 1) : 0;
    }
    EXPECT_TRUE(jumps > 0 && runs > 0) << replay.text() << game.errors();
    EXPECT_EQ(runChild({DUELFALL_SIM_PATH, "--replay", "userData/replays/last.replay"}, dir).status, 0);
    EXPECT_EQ(readFile(dir + "/userData/settings.ini"), "# mine\nkey.jump = K\n");
}
