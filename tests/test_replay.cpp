// Replays: the file format and its refusals, the recorder and the replay directory, and whole games
// recorded and replayed by the real programs (the simulator headless, the game in its window).

#include "Core/Core.h"
#include "GameFrame.h"
#include "GameKeys.h"
#include "GameSession.h"
#include "Replay.h"
#include "ReplayArchive.h"
#include "ReplayRecorder.h"
#include "World.h"
#include "support/Headless.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct ProgramRun {
    int status = -1;
    std::string output; // standard output and standard error
};

// The programs run headless on the fast software renderer: a replay does not depend on the pictures.
ProgramRun runProgram(const std::string& program, const std::string& arguments, const std::string& directory = ".")
{
    const std::string command = "cd '" + directory
        + "' && SDL_RENDER_DRIVER=software SDL_FRAMEBUFFER_ACCELERATION=0 timeout -s KILL 300 " + program + " "
        + arguments + " 2>&1";
    ProgramRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return run;
    char buffer[4096];
    for (size_t got; (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        run.output.append(buffer, got);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

ProgramRun runSim(const std::string& arguments) { return runProgram(DUELFALL_SIM_PATH, arguments); }

// A number field of the simulator's JSON summary line.
std::string field(const std::string& json, const std::string& name)
{
    std::smatch match;
    if (!std::regex_search(json, match, std::regex("\"" + name + "\":\"?([-a-z0-9.]+)")))
        return "";
    return match[1];
}

void writeFile(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

constexpr const char* kHeader = "# duelfall-replay 1 game 1.0.0 seed 42\n";
constexpr const char* kEnd = "# end 200 0badf00d player 40 boss01 870 boss02 880\n";

// A game played with every key: walks, jumps, fires, gets hit, and presses Enter.
constexpr const char* kKeyScript = "1-40 right fire\n41-60 right jump fire\n61-120 left up fire\n"
                                   "121-130 jump\n131-300 up fire\n301-301 enter\n302-420 down right fire\n";

} // namespace

TEST(ReplayFormat, WritesHeaderSpansCheckpointsAndEndAndReadsThemBack)
{
    Replay replay;
    replay.seed = 4294967295u;
    replay.spans = {{1, 44, {}}, {45, 60, {}}, {200, 200, {}}};
    replay.spans[0].keys.set(GameKey::Right, true);
    replay.spans[1].keys.set(GameKey::Right, true);
    replay.spans[1].keys.set(GameKey::Jump, true);
    replay.spans[2].keys.set(GameKey::Enter, true);
    replay.spans[2].keys.set(GameKey::Fire, true);
    replay.spans[2].keys.set(GameKey::Left, true);
    replay.checkpoints = {{60, 0x9f3a0c11}, {120, 0x00000001}};
    replay.frames = 200;
    replay.end = {0x0a1b2c3d, 30, 0, -10};

    const std::string text = replay.text();
    EXPECT_EQ(text,
        "# duelfall-replay 1 game 1.0.0 seed 4294967295\n"
        "1-44 right\n45-60 right jump\n200-200 left fire enter\n"
        "# checkpoint 60 9f3a0c11\n# checkpoint 120 00000001\n"
        "# end 200 0a1b2c3d player 30 boss01 0 boss02 -10\n");

    const Replay back = Replay::parse(text);
    EXPECT_EQ(back.text(), text);
    EXPECT_EQ(back.seed, replay.seed);
    EXPECT_EQ(back.frames, 200);
    EXPECT_EQ(back.end, replay.end);
    EXPECT_EQ(back.keysAt(1), replay.spans[0].keys);
    EXPECT_EQ(back.keysAt(44), replay.spans[0].keys);
    EXPECT_EQ(back.keysAt(45), replay.spans[1].keys);
    EXPECT_TRUE(back.keysAt(61).none()) << "frames outside every span hold no key";
    EXPECT_TRUE(back.keysAt(199).none());
    EXPECT_EQ(back.keysAt(200), replay.spans[2].keys);

    // Written on Windows, with blank lines: still the same replay.
    std::string crlf = std::regex_replace(text, std::regex("\n"), "\r\n");
    EXPECT_EQ(Replay::parse(crlf + "\r\n\r\n").text(), text);
}

TEST(ReplayFormat, RefusesDamagedFilesNamingTheLine)
{
    const std::string header = kHeader;
    const std::string end = kEnd;
    struct Case {
        std::string text;
        std::string error;
    };
    const std::vector<Case> cases = {
        {"", "line 1: not a Duelfall replay"},
        {"1-20 right\n", "line 1: not a Duelfall replay"},
        {"# duelfall-replay 2 game 9.0 seed 1\n1-2 left\n", "line 1: replay format version 2 is not supported"},
        {"# duelfall-replay x game 1.0.0 seed 1\n" + end, "line 1: bad format version 'x'"},
        {"# duelfall-replay 1 game 1.0.0\n" + end, "line 1: bad header"},
        {"# duelfall-replay 1 game 1.0.0 seed 4294967296\n" + end, "line 1: bad seed"},
        {header + "1-20 right\n20x right\n" + end, "line 3: expected a span FROM-TO, got '20x'"},
        {header + "0-20 right\n" + end, "line 2: bad frame number '0'"},
        {header + "1-x right\n" + end, "line 2: bad frame number 'x'"},
        {header + "\n\n30-20 right\n" + end, "line 4: span 30-20 ends before it starts"},
        {header + "1-20 right\n20-30 left\n" + end, "line 3: frames out of order"},
        {header + "40-50 right\n1-20 left\n" + end, "line 3: frames out of order"},
        {header + "1-20 right shoot\n" + end, "line 2: unknown key 'shoot'"},
        {header + "1-20 fire fire\n" + end, "line 2: key 'fire' given twice"},
        {header + "# checkpoint 60\n" + end, "line 2: bad checkpoint"},
        {header + "# checkpoint 60 12345\n" + end, "line 2: bad checksum '12345'"},
        {header + "# checkpoint 120 00000000\n# checkpoint 60 00000000\n" + end,
            "line 3: checkpoint frames out of order"},
        {header + "# checkpoint 60 00000000\n1-20 right\n" + end, "line 3: a span after the checkpoints"},
        {header + "1-20 right\n# end 200 0badf00d player 40\n", "line 3: bad end line"},
        {header + "1-300 right\n" + end, "line 3: the replay ends at frame 200 but goes on to frame 300"},
        {header + "1-20 right\n" + end + "21-30 left\n", "line 4: text after the end line"},
        {header + "1-20 right\n# a comment\n" + end, "line 3: unknown line '# a comment'"},
        {header + "1-20 right\n21-30 left\n", "line 4: the end line is missing"},
    };
    for (const Case& c : cases) {
        try {
            Replay::parse(c.text);
            ADD_FAILURE() << "accepted:\n" << c.text;
        } catch (const ReplayError& error) {
            EXPECT_NE(std::string(error.what()).find(c.error), std::string::npos)
                << "expected '" << c.error << "', got '" << error.what() << "'";
        }
    }
    EXPECT_NO_THROW(Replay::parse(header + "1-20 right\n" + end));
    EXPECT_THROW(Replay::load("no/such/file.replay"), ReplayError);
}

TEST(ReplayKeys, TheGameKeysReadFromAnyOfTheirKeysAndPlayBackAsTheSame)
{
    Keyboard keyboard;
    for (int held = 0; held < (1 << kGameKeyCount); ++held) {
        GameKeys keys;
        keys.held = static_cast<uint8_t>(held);
        keyboard.setScript(keyboardStateOf(keys));
        keyboard.takeSnapshot();
        ASSERT_EQ(readGameKeys(keyboard).held, keys.held);
    }
    // The other keys of each binding mean the same game keys.
    Keyboard::State other{};
    for (SDL_Scancode key :
        {SDL_SCANCODE_A, SDL_SCANCODE_D, SDL_SCANCODE_W, SDL_SCANCODE_S, SDL_SCANCODE_RSHIFT, SDL_SCANCODE_KP_ENTER})
        other[key] = 1;
    keyboard.setScript(other);
    keyboard.takeSnapshot();
    const GameKeys read = readGameKeys(keyboard);
    for (GameKey key : {GameKey::Left, GameKey::Right, GameKey::Up, GameKey::Down, GameKey::Fire, GameKey::Enter})
        EXPECT_TRUE(read.isHeld(key)) << gameKeyName(key);
    EXPECT_FALSE(read.isHeld(GameKey::Jump));
    // Alt+Enter switches full screen: it is no Enter that could restart the fight.
    for (SDL_Scancode alt : {SDL_SCANCODE_LALT, SDL_SCANCODE_RALT}) {
        Keyboard::State altEnter{};
        altEnter[SDL_SCANCODE_RETURN] = altEnter[alt] = 1;
        keyboard.setScript(altEnter);
        keyboard.takeSnapshot();
        EXPECT_FALSE(readGameKeys(keyboard).isHeld(GameKey::Enter)) << SDL_GetScancodeName(alt);
    }
}

TEST(ReplayRecorder, KeepsSpansACheckpointEvery60FramesAndOnlyWholeFrames)
{
    startHeadlessCore();
    World world;
    ReplayRecorder recorder(7);
    GameKeys right;
    right.set(GameKey::Right, true);
    GameKeys rightFire = right;
    rightFire.set(GameKey::Fire, true);
    for (long frame = 1; frame <= 130; ++frame) {
        const GameKeys keys = frame <= 50 ? right : frame <= 70 ? GameKeys{} : rightFire;
        recorder.recordFrame(keys);
        EXPECT_FALSE(recorder.frameDone(world));
        EXPECT_FALSE(recorder.frameDone(world)) << "a second call without a frame changes nothing";
    }
    recorder.recordFrame(right); // frame 131 never finishes

    const Replay replay = recorder.replay();
    EXPECT_EQ(replay.seed, 7u);
    EXPECT_EQ(replay.frames, 130);
    ASSERT_EQ(replay.spans.size(), 2u);
    EXPECT_EQ(replay.spans[0].from, 1);
    EXPECT_EQ(replay.spans[0].to, 50);
    EXPECT_EQ(replay.spans[1].from, 71);
    EXPECT_EQ(replay.spans[1].to, 130) << "the unfinished frame is left out";
    ASSERT_EQ(replay.checkpoints.size(), 2u);
    EXPECT_EQ(replay.checkpoints[0].frame, 60);
    EXPECT_EQ(replay.checkpoints[1].frame, 120);
    EXPECT_EQ(replay.end, worldStateOf(world));

    // The checksum follows the world: a bullet or a step of the boss changes it.
    const uint32_t before = worldStateOf(world).checksum;
    world.boss01.rect().x += 1;
    EXPECT_NE(worldStateOf(world).checksum, before);
    world.boss01.rect().x -= 1;
    world.player.getBullets().push_back(Bullet("data/img/bullet.png", {0, 0}, 1));
    EXPECT_NE(worldStateOf(world).checksum, before);
}

TEST(ReplayArchive, KeepsTheTenNewestRunsAndTheLastAsLastReplay)
{
    const std::string dir = scratchDirectory("replays");
    for (int second = 10; second < 22; ++second)
        writeFile(dir + "/2020-01-01_00-00-" + std::to_string(second) + ".replay", "old");
    writeFile(dir + "/notes.txt", "kept");

    Replay replay = Replay::parse(std::string(kHeader) + "1-20 right\n" + kEnd);
    const std::time_t start = 1893456000; // in 2030: newer than every old file
    ReplayArchive archive(dir, start);
    ASSERT_TRUE(archive.saveAsLast(replay));
    ReplayArchive sameSecond(dir, start);
    ASSERT_TRUE(sameSecond.saveAsLast(replay));
    EXPECT_NE(sameSecond.path(), archive.path());
    EXPECT_EQ(fs::path(sameSecond.path()).filename().string().substr(0, 19),
        fs::path(archive.path()).filename().string().substr(0, 19));

    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    ASSERT_EQ(names.size(), 12u) << "ten runs, last.replay and the unrelated file";
    EXPECT_EQ(names[0], "2020-01-01_00-00-14.replay") << "the four oldest are gone";
    EXPECT_EQ(names[10], "last.replay");
    EXPECT_EQ(names[11], "notes.txt");
    EXPECT_EQ(readFile(dir + "/last.replay"), replay.text());
    EXPECT_EQ(readFile(sameSecond.path()), replay.text());
    EXPECT_FALSE(ReplayArchive(dir + "/notes.txt/sub", start).save(replay)) << "a failure is reported, not thrown";
}

TEST(ReplayArchive, AFatalErrorInTheMiddleOfAFightStillLeavesTheReplay)
{
    const fs::path dir = fs::absolute(scratchDirectory("fatal"));
    fs::create_directory_symlink(fs::absolute("data"), dir / "data");
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            fs::current_path(dir);
            startHeadlessCore();
            World world;
            GameSession session(world, std::nullopt);
            Core::instance().scenes().setGlobalScene(session.scene());
            GameKeys keys;
            keys.set(GameKey::Left, true);
            Core::keyboard().setScript(keyboardStateOf(keys));
            for (int frame = 0; frame < 90; ++frame)
                Core::instance().runFrame();
            fatalError("Something failed load!");
        },
        testing::ExitedWithCode(1), "Something failed load!");
    const Replay replay = Replay::load((dir / "userData/replays/last.replay").string());
    EXPECT_EQ(replay.frames, 90);
    ASSERT_EQ(replay.spans.size(), 1u);
    EXPECT_EQ(replay.spans[0].to, 90);
    EXPECT_EQ(replay.checkpoints.size(), 1u);
}

TEST(ReplaySimulator, ReplaysARecordedGameExactlyAndReportsTheFirstFrameThatDiffers)
{
    const std::string dir = scratchDirectory("sim");
    writeFile(dir + "/game.keys", kKeyScript);
    const ProgramRun recorded
        = runSim("--seed 99 --frames 420 --input " + dir + "/game.keys --record " + dir + "/game.replay");
    ASSERT_EQ(recorded.status, 0) << recorded.output;
    const Replay replay = Replay::load(dir + "/game.replay");
    EXPECT_EQ(replay.seed, 99u);
    EXPECT_EQ(replay.frames, 420);
    EXPECT_EQ(replay.checkpoints.size(), 7u);
    EXPECT_LT(replay.end.boss01Health, 880) << "the bullets hit the boss: the checksums have something to follow";

    const ProgramRun replayed = runSim("--replay " + dir + "/game.replay");
    ASSERT_EQ(replayed.status, 0) << replayed.output;
    for (const char* name : {"frames", "outcome", "player_health", "boss01_health", "boss02_health"})
        EXPECT_EQ(field(replayed.output, name), field(recorded.output, name)) << name;

    // One checkpoint changed: that is the first frame reported.
    std::string text = replay.text();
    text.replace(text.find("# checkpoint 180 ") + 17, 8, "00000000");
    writeFile(dir + "/desync.replay", text);
    ProgramRun desync = runSim("--replay " + dir + "/desync.replay");
    EXPECT_EQ(desync.status, 3) << desync.output;
    EXPECT_NE(desync.output.find("desync at frame 180: expected checksum 00000000, got checksum "), std::string::npos)
        << desync.output;
    EXPECT_EQ(field(desync.output, "frames"), "180") << "the replay stops at the first desync";

    // Another seed plays another game: its first checkpoint already differs.
    text = replay.text();
    text.replace(text.find("seed 99"), 7, "seed 98");
    writeFile(dir + "/seed.replay", text);
    desync = runSim("--replay " + dir + "/seed.replay");
    EXPECT_EQ(desync.status, 3) << desync.output;
    EXPECT_NE(desync.output.find("desync at frame"), std::string::npos) << desync.output;

    // A damaged file is refused before anything runs, naming the line.
    writeFile(dir + "/damaged.replay", std::string(kHeader) + "1-20 right\n21-30 lfet\n" + kEnd);
    const ProgramRun damaged = runSim("--replay " + dir + "/damaged.replay");
    EXPECT_EQ(damaged.status, 2) << damaged.output;
    EXPECT_NE(damaged.output.find("damaged.replay' line 3: unknown key 'lfet'"), std::string::npos) << damaged.output;
    const ProgramRun both = runSim("--replay " + dir + "/game.replay --seed 1");
    EXPECT_EQ(both.status, 2) << both.output;
}

TEST(ReplayGame, PlaysARecordedGameBackAtNormalSpeedAndRefusesWhatItCannotRead)
{
    const fs::path dir = fs::absolute(scratchDirectory("game"));
    fs::create_directory_symlink(fs::absolute("data"), dir / "data");
    writeFile(dir / "game.keys", kKeyScript);
    const ProgramRun recorded = runSim("--seed 5 --frames 240 --input " + (dir / "game.keys").string() + " --record "
        + (dir / "game.replay").string());
    ASSERT_EQ(recorded.status, 0) << recorded.output;

    ProgramRun played = runProgram(DUELFALL_PATH, "--replay game.replay", dir);
    EXPECT_EQ(played.status, 0) << played.output;
    std::string log = readFile((dir / "userData/log.txt").string());
    EXPECT_NE(log.find("Replay played back to frame 240: no desync"), std::string::npos) << log;
    EXPECT_FALSE(fs::exists(dir / "userData/replays")) << "a replay played back is not recorded again";

    std::string text = readFile((dir / "game.replay").string());
    text.replace(text.find("# checkpoint 120 ") + 17, 8, "00000000");
    writeFile(dir / "desync.replay", text);
    played = runProgram(DUELFALL_PATH, "--replay desync.replay", dir);
    EXPECT_EQ(played.status, 3) << played.output;
    EXPECT_NE(played.output.find("desync at frame 120: expected checksum 00000000"), std::string::npos)
        << played.output;

    writeFile(dir / "damaged.replay", std::string(kHeader) + "1-20 right\n21-30 lfet\n" + kEnd);
    played = runProgram(DUELFALL_PATH, "--replay damaged.replay", dir);
    EXPECT_EQ(played.status, 1) << played.output;
    EXPECT_NE(played.output.find("damaged.replay' line 3: unknown key 'lfet'"), std::string::npos) << played.output;
    writeFile(dir / "future.replay", "# duelfall-replay 2 game 2.0.0 seed 1\n1-20 right\n");
    played = runProgram(DUELFALL_PATH, "--replay future.replay", dir);
    EXPECT_EQ(played.status, 1) << played.output;
    EXPECT_NE(played.output.find("replay format version 2 is not supported"), std::string::npos) << played.output;
}
