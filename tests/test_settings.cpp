// Settings kept in settings.ini: a save rewrites only what changed and keeps the player's own lines.
#include "Settings/SettingsFile.h"
#include "support/ChildProcess.h"
#include "support/Headless.h"

#include <gtest/gtest.h>

#include <filesystem>

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
