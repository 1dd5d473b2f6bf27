// Replays: the format and its refusals, the recorder, the replay directory, and games played back by the programs.

#include "Core/Core.h"
#include "Fight/World.h"
#include "Frame/GameFrame.h"
#include "Replay/Replay.h"
#include "Replay/ReplayArchive.h"
#include "Replay/ReplayRecorder.h"
#include "Shell/GameSession.h"
#include "support/ChildProcess.h"
#include "support/GameKeysOf.h"
#include "support/Headless.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <regex>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr const char* kHeader = "# duelfall-replay 1 game 1.0.0 seed 42\n";
constexpr const char* kEnd = "# end 59 0badf00d player 40 boss01 870 boss02 880\n";

// A game played with every key: walks, jumps, fires up at the boss and down, presses Enter.
constexpr const char* kKeyScript
    = "1-60 right up fire\n61-80 right jump fire\n81-120 left down fire\n121-130 jump enter\n131-240 up fire\n";

// A replay does not depend on the pictures: the programs draw with the fast software renderer.
const Environment kSoftware{{"SDL_RENDER_DRIVER", "software"}, {"SDL_FRAMEBUFFER_ACCELERATION", "0"}};

// What a replay's reading is refused with ("accepted" if it is not).
std::string refusal(const std::function<void()>& read)
{
    try {
        read();
    } catch (const ReplayError& error) {
        return error.what();
    }
    return "accepted";
}

} // namespace

TEST(ReplayFormat, ReadsHeaderSpansCheckpointsAndEndAndWritesThemBackAsTheyWere)
{
    const std::string text = "# duelfall-replay 1 game 1.0.0 seed 4294967295\n"
                             "1-44 right\n45-60 right jump\n200-200 left fire enter\n"
                             "# checkpoint 60 9f3a0c11\n# checkpoint 120 00000001\n# checkpoint 180 00000002\n"
                             "# end 200 0a1b2c3d player 30 boss01 0 boss02 -10\n";
    const Replay replay = Replay::parse(text);
    EXPECT_EQ(replay.seed, 4294967295u);
    EXPECT_EQ(replay.frames, 200);
    EXPECT_EQ(replay.end, (WorldState{0x0a1b2c3d, 30, 0, -10}));
    // Frames outside every span hold no key.
    using enum GameKey;
    const std::pair<long, GameKeys> frames[]
        = {{1, keysOf({Right})}, {44, keysOf({Right})}, {45, keysOf({Right, Jump})}, {60, keysOf({Right, Jump})},
            {61, {}}, {199, {}}, {200, keysOf({Left, Fire, Enter})}, {201, {}}};
    for (const auto& [frame, keys] : frames)
        EXPECT_EQ(replay.keysAt(frame), keys) << "frame " << frame;
    EXPECT_EQ(replay.text(), text);

    // Written on Windows, with blank lines, or with a byte-order mark: still the same replay.
    const std::string crlf = std::regex_replace(text, std::regex("\n"), "\r\n");
    EXPECT_EQ(Replay::parse(crlf + "\r\n\r\n").text(), text);
    EXPECT_EQ(Replay::parse("\xEF\xBB\xBF" + text).text(), text);
}

TEST(ReplayFormat, RefusesDamagedFilesNamingTheLine)
{
    const std::string header = kHeader, end = kEnd;
    const std::vector<std::pair<std::string, std::string>> cases
        = {{"", "line 1: not a Duelfall replay"}, {"1-20 right\n", "line 1: not a Duelfall replay"},
            {"# duelfall-replay 2 game 9.0 seed 1\n1-2 left\n", "line 1: replay format version 2 is not supported"},
            {"# duelfall-replay x game 1.0.0 seed 1\n" + end, "line 1: bad format version 'x'"},
            {"# duelfall-replay 1 game 1.0.0\n" + end, "line 1: bad header"},
            {"# duelfall-replay 1 game 1.0.0 seed 4294967296\n" + end, "line 1: bad seed"},
            {header + "1-20 right\n20x right\n" + end, "line 3: expected a span FROM-TO, got '20x'"},
            {header + "0-20 right\n" + end, "line 2: bad frame number '0'"},
            {header + "1-x right\n" + end, "line 2: bad frame number 'x'"},
            {header + "\n\n30-20 right\n" + end, "line 4: span 30-20 ends before it starts"},
            {header + "1-20 right\n20-30 left\n" + end, "line 3: frames out of order"},
            {header + "1-20 right shoot\n" + end, "line 2: unknown key 'shoot'"},
            {header + "1-20 fire fire\n" + end, "line 2: key 'fire' given twice"},
            {header + "# checkpoint 60\n" + end, "line 2: bad checkpoint"},
            {header + "# checkpoint 60 12345\n" + end, "line 2: bad checksum '12345'"},
            {header + "# checkpoint 60 00000000\n# checkpoint 180 00000000\n" + end,
                "line 3: checkpoint of frame 180 where the one of frame 120 belongs"},
            {header + "# end 60 0badf00d player 40 boss01 870 boss02 880\n",
                "line 2: the checkpoint of frame 60 is missing"},
            {header + "# end 59 0badf00d player 40 boss01 870 boss02 880", "line 2: the end line is cut short"},
            {header + "1-20 " + std::string(150, 'x') + "\n" + end,
                "line 2: unknown key '" + std::string(80, 'x') + "...' (150 characters)"},
            {header + "1-20 " + std::string(200, 'x') + "\n" + end,
                "line 2: a line of 205 characters (at most 200): '1-20 x"},
            {header + "# checkpoint 60 00000000\n1-20 right\n" + end, "line 3: a span after the checkpoints"},
            {header + "1-20 right\n# end 200 0badf00d player 40\n", "line 3: bad end line"},
            {header + "1-300 right\n" + end, "line 3: the replay ends at frame 59 but goes on to frame 300"},
            {header + "1-20 right\n" + end + "21-30 left\n", "line 4: text after the end line"},
            {header + "1-20 right\n# a comment\n" + end, "line 3: unknown line '# a comment'"},
            {header + "1-20 right\n21-30 left\n", "line 4: the end line is missing"}};
    for (const auto& [text, message] : cases)
        EXPECT_NE(refusal([&] { Replay::parse(text); }).find(message), std::string::npos) << message;
    EXPECT_THROW(Replay::load("no/such/file.replay"), ReplayError);
    EXPECT_EQ(refusal([] { Replay::load("data"); }), "replay 'data' is a directory, not a file");
}

// Enter is either Enter key; with an Alt it switches full screen instead and could restart nothing.
TEST(ReplayKeys, EnterWithAnAltIsNoEnter)
{
    for (const auto& [enter, alt] : {std::pair{SDL_SCANCODE_KP_ENTER, SDL_SCANCODE_UNKNOWN},
             {SDL_SCANCODE_RETURN, SDL_SCANCODE_LALT}, {SDL_SCANCODE_KP_ENTER, SDL_SCANCODE_RALT}}) {
        Keyboard::State state{};
        state[enter] = state[alt] = 1;
        Keyboard keyboard;
        keyboard.setScript(state);
        keyboard.takeSnapshot();
        EXPECT_EQ(readGameKeys(keyboard).isHeld(GameKey::Enter), alt == SDL_SCANCODE_UNKNOWN) << enter << "+" << alt;
    }
}

TEST(ReplayRecorder, KeepsSpansACheckpointEvery60FramesAndOnlyWholeFrames)
{
    startHeadlessCore();
    World world;
    ReplayRecorder recorder(7);
    for (long frame = 1; frame <= 130; ++frame) {
        recorder.recordFrame(frame <= 50 ? keysOf({GameKey::Right})
                : frame <= 70            ? GameKeys{}
                                         : keysOf({GameKey::Right, GameKey::Fire}));
        EXPECT_FALSE(recorder.frameDone(world) || recorder.frameDone(world)) << "a second call changes nothing";
    }
    recorder.recordFrame(keysOf({GameKey::Right})); // frame 131 never finishes

    const Replay replay = recorder.replay();
    EXPECT_EQ(std::regex_replace(replay.text(), std::regex("\\b[0-9a-f]{8}\\b"), "CHECKSUM"),
        "# duelfall-replay 1 game 1.0.0 seed 7\n1-50 right\n71-130 right fire\n# checkpoint 60 CHECKSUM\n"
        "# checkpoint 120 CHECKSUM\n# end 130 CHECKSUM player 50 boss01 880 boss02 880\n")
        << "the unfinished frame is left out";
    EXPECT_EQ(replay.end, worldStateOf(world));
    // Every cut of it is refused as damaged, never played (it would go another way than recorded).
    const std::string text = replay.text();
    for (size_t cut = 0; cut < text.size(); ++cut)
        EXPECT_THROW(Replay::parse(text.substr(0, cut)), ReplayError) << text.substr(0, cut);

    // Besides each game over and victory, the replay is due to be written every 600 frames.
    ReplayRecorder autosaved(7);
    for (long frame = 1; frame <= 1200; ++frame) {
        autosaved.recordFrame({});
        EXPECT_EQ(autosaved.frameDone(world), frame % 600 == 0) << frame;
    }
}

// The archive counts only the names it writes, by their time and then their number; it keeps the run it
// has just written whatever its name says, and games ending in the same second each keep their own.
TEST(ReplayArchive, KeepsTheTenNewestRunsItsOwnAndEveryOtherFile)
{
    const std::string dir = scratchDirectory("replays");
    for (int n = 1; n <= 11; ++n)
        writeFile(dir + "/2031-01-01_00-00-00" + (n == 1 ? "" : "_" + std::to_string(n)) + ".replay", "future");
    // A kill while writing leaves a run's temporary files: they go once their run is gone.
    const std::vector<std::string> players{"1-first-win.replay", "last - Copy (2).replay", "notes.txt",
        "notes.txt.part", "2031-01-01_00-00-00_11.replay.last.part"};
    writeFile(dir + "/2031-01-01_00-00-00.replay.part", "cut");
    writeFile(dir + "/2031-01-01_00-00-00_2.replay.last.part", "cut");
    for (const std::string& name : players)
        writeFile(dir + "/" + name, "kept");

    const Replay replay = Replay::parse(std::string(kHeader) + "1-20 right\n" + kEnd);
    const std::time_t start = 1893456000; // in 2030: older than every file there
    ReplayArchive archive(dir, start);
    ASSERT_TRUE(archive.update(replay));
    ASSERT_TRUE(archive.save(replay)) << "written again under the same name";
    EXPECT_EQ(readFile(archive.path()), replay.text());
    EXPECT_EQ(readFile(dir + "/last.replay"), replay.text());
    for (const std::string& name : players)
        EXPECT_EQ(readFile(dir + "/" + name), "kept") << name;
    // It kept itself and the nine newest others: _11 down to _3.
    EXPECT_TRUE(fs::exists(dir + "/2031-01-01_00-00-00_10.replay"));
    EXPECT_FALSE(fs::exists(dir + "/2031-01-01_00-00-00_2.replay"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 16) << "no temporary of a run gone";

    // Six games ending together beside nine older runs: each keeps its own, the ten newest stay.
    const std::string together = scratchDirectory("together");
    for (int second = 10; second < 19; ++second)
        writeFile(together + "/2020-01-01_00-00-" + std::to_string(second) + ".replay", "old");
    std::set<std::string> runs;
    for (int game = 0; game < 6; ++game) {
        ReplayArchive same(together, start);
        ASSERT_TRUE(same.update(replay));
        runs.insert(same.path());
    }
    EXPECT_EQ(runs.size(), 6u);
    EXPECT_EQ(std::distance(fs::directory_iterator(together), fs::directory_iterator()), 11) << "with last.replay";

    // A game closed before its first whole frame writes nothing.
    ReplayArchive empty(dir, start);
    EXPECT_TRUE(empty.update(Replay{}));
    EXPECT_EQ(empty.path(), "");
    EXPECT_FALSE(ReplayArchive(dir + "/notes.txt/sub", start).update(replay)) << "a failure is reported, not thrown";
}

// A game killed in a fight (by a crash or a power cut) leaves what it wrote at its last 600th frame; one
// that ends through a fatal error writes the replay up to its last whole frame.
TEST(ReplayArchive, AFightKilledOrEndedByAFatalErrorStillLeavesItsReplay)
{
    const std::string dir = gameDirectory("fatal");
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            fs::current_path(dir);
            startHeadlessCore();
            World world;
            GameSession session(world, std::nullopt);
            Core::instance().scenes().setGlobalScene(session.scene());
            Core::keyboard().setScript(keyboardStateOf(keysOf({GameKey::Left})));
            for (int frame = 0; frame < 660; ++frame)
                Core::instance().runFrame();
            // What a kill now would leave: written 60 frames ago.
            fs::copy_file("userData/replays/last.replay", "killed.replay");
            fatalError("Something failed load!");
        },
        testing::ExitedWithCode(1), "Something failed load!");
    // Read back whole, with a checkpoint every 60 frames, Left held to the end.
    EXPECT_GE(Replay::load(dir + "/killed.replay").frames, 600) << "later on a machine too slow for 60 frames a second";
    const std::string text = readFile(dir + "/userData/replays/last.replay");
    EXPECT_EQ(Replay::parse(text).keysAt(660), keysOf({GameKey::Left})) << "to frame 660, the last whole one";
    for (const fs::directory_entry& file : fs::directory_iterator(dir + "/userData/replays"))
        EXPECT_EQ(readFile(file.path().string()), text) << file.path() << ": the run's own file, no temporary one";
}

// Recorded by the simulator; played back by both programs to its end or its first differing frame, or refused.
TEST(ReplayPrograms, TheSimulatorAndTheGamePlayARecordingBackOrSayWhereTheyCannot)
{
    const std::string dir = gameDirectory("programs");
    writeFile(dir + "/game.keys", kKeyScript);
    const ChildRun recorded = runChild(
        {DUELFALL_SIM_PATH, "--seed", "99", "--frames", "240", "--input", "game.keys", "--record", "game.replay"}, dir,
        kSoftware);
    ASSERT_EQ(recorded.status, 0) << recorded.err;
    const Replay replay = Replay::load(dir + "/game.replay");
    ASSERT_EQ(replay.checkpoints.size(), 4u) << "over 240 frames";
    EXPECT_LT(replay.end.boss01Health, 880) << "the bullets hit the boss: the checksums have something to follow";
    // Killed in a long run (as the child goes with its owner), the simulator leaves the replay of its last 600th frame.
    ChildProcess({DUELFALL_SIM_PATH, "--frames", "100000", "--record", "endless.replay"}, dir, kSoftware).wait(60, [&] {
        return fs::exists(dir + "/endless.replay");
    });
    const long kept = Replay::load(dir + "/endless.replay").frames;
    EXPECT_TRUE(kept >= 600 && kept % 600 == 0) << kept;

    std::string text = replay.text();
    writeFile(dir + "/desync.replay", text.replace(text.find("# checkpoint 180 ") + 17, 8, "00000000"));
    text = replay.text();
    writeFile(dir + "/seed.replay", text.replace(text.find("seed 99"), 7, "seed 98"));
    writeFile(dir + "/damaged.replay", std::string(kHeader) + "1-20 right\n21-30 lfet\n" + kEnd);
    writeFile(dir + "/future.replay", "# duelfall-replay 2 game 2.0.0 seed 1\n1-20 right\n");
    writeFile(dir + "/long.replay", std::string(kHeader) + std::string(20'000'000, '1') + "\n" + kEnd);
    const std::string end = recorded.out.substr(0, recorded.out.find(",\"game_overs\""));
    // Settings of random bytes: the game plays with the defaults and leaves the file as it was.
    std::string noise(4096, '\0');
    for (size_t i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<char>(i * 2654435761u >> 13);
    fs::create_directories(dir + "/userData");
    writeFile(dir + "/userData/settings.ini", noise);
    // The file, the simulator's and the game's status, a message on standard error, the simulator's summary.
    const std::tuple<std::string, int, int, std::string, std::string> cases[] = {{"game.replay", 0, 0, "", end},
        {"desync.replay", 3, 3, "desync at frame 180: expected checksum 00000000, got checksum ", "{\"frames\":180,"},
        {"seed.replay", 3, 3, "desync at frame ", "{\"frames\":"}, // another seed plays another game
        {"damaged.replay", 2, 1, "damaged.replay' line 3: unknown key 'lfet'", ""},
        {"future.replay", 2, 1, "replay format version 2 is not supported", ""},
        {"long.replay", 2, 1, "long.replay' line 2: a line of 20000000 characters (at most 200): '1111", ""}};
    for (const auto& [file, simStatus, gameStatus, message, summary] : cases)
        for (const std::string program : {DUELFALL_SIM_PATH, DUELFALL_PATH}) {
            const bool sim = program == DUELFALL_SIM_PATH;
            const ChildRun run = runChild({program, "--replay", file}, dir, kSoftware);
            const std::string what = program + " --replay " + file + ": " + run.err;
            EXPECT_EQ(run.status, sim ? simStatus : gameStatus) << what;
            // The reason alone: the usage is for a mistake of the command line.
            EXPECT_TRUE(run.err.find(message) != std::string::npos && run.err.find("usage:") == std::string::npos
                && run.err.size() < 1000)
                << what.substr(0, 2000);
            EXPECT_TRUE(!sim || run.out.rfind(summary, 0) == 0) << what << run.out;
        }
    const std::string log = readFile(dir + "/userData/log.txt");
    EXPECT_NE(log.find("Replay played back to frame 240: no desync"), std::string::npos);
    EXPECT_NE(log.find("settings.ini is not text: read as empty"), std::string::npos);
    EXPECT_EQ(readFile(dir + "/userData/settings.ini"), noise);
    EXPECT_FALSE(fs::exists(dir + "/userData/replays")) << "a replay played back is not recorded again";
}

// Recordings of earlier builds play back to their end lines in today's world (a change of the checksum needs a new
// format version); edited after the last checkpoint, in the last span or the end's health, one is a desync.
TEST(ReplayPrograms, TheGoldenReplaysPlayBackAndAnEditAfterTheirLastCheckpointIsADesync)
{
    const std::string dir = gameDirectory("golden"), golden = DUELFALL_SOURCE_DIR "/tests/golden/replays/";
    const Replay pad = Replay::load(golden + "pad.replay");
    writeFile(dir + "/span.replay", std::regex_replace(pad.text(), std::regex(" right\n#"), " left\n#"));
    writeFile(dir + "/health.replay", std::regex_replace(pad.text(), std::regex(" player 50 "), " player 40 "));
    const std::string desync = "desync at frame " + std::to_string(pad.frames) + ": ";
    const std::pair<std::string, std::string> cases[] = {
        {golden + "won.replay", ""}, {golden + "pad.replay", ""}, {"span.replay", desync}, {"health.replay", desync}};
    for (const auto& [file, message] : cases) {
        const ChildRun run = runChild({DUELFALL_SIM_PATH, "--replay", file}, dir, kSoftware);
        EXPECT_EQ(run.status, message.empty() ? 0 : 3) << file << ": " << run.err;
        EXPECT_NE(run.err.find(message), std::string::npos) << file << ": " << run.err;
    }
}
