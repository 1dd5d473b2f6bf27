// End to end through the real duelfall-sim program, headless on the real assets. Three runs are compared
// frame by frame with the golden traces of tests/golden/: player position and health, the game's state,
// the boss's stage, health and position, and the counts of bullets, rockets, lasers and fireballs. After an
// intended change of the game, regenerate them (README, "Golden traces"):
//     DUELFALL_UPDATE_GOLDEN=1 ctest --test-dir build -R Golden

#include "Graphics/Surface.h"
#include "Math/Rect.h"
#include "support/ChildProcess.h"
#include "support/Golden.h"
#include "support/Headless.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> lines(const std::string& path)
{
    std::istringstream text(readFile(path));
    std::vector<std::string> result;
    for (std::string line; std::getline(text, line);)
        result.push_back(line);
    return result;
}

// Runs the simulator in the directory; its trace, if asked for, is trace.jsonl there.
ChildRun runSim(const std::string& dir, const std::string& arguments)
{
    std::vector<std::string> command{DUELFALL_SIM_PATH};
    std::istringstream words(arguments);
    for (std::string word; words >> word;)
        command.push_back(word);
    return runChild(command, dir);
}

// The trace as golden rows: each line's fields in the order below (the frame is the row's number).
void expectGoldenTrace(const std::vector<std::string>& trace, const std::string& name)
{
    const std::vector<std::string> fields = {"x", "y", "health", "state", "boss_phase", "boss_health", "boss_x",
        "boss_y", "bullets", "rockets", "lasers", "fireballs"};
    std::vector<std::string> rows;
    for (const std::string& line : trace) {
        std::string row;
        for (const std::string& field : fields)
            row += (row.empty() ? "" : " ") + jsonField(line, field);
        rows.push_back(row);
    }
    std::string names;
    for (const std::string& field : fields)
        names += field + " ";
    expectGolden(rows, name, names);
}

// Whether two pictures the simulator wrote are whole screens that agree on every pixel of the area.
bool sameArea(const std::string& first, const std::string& second, const Rect& area)
{
    if (!std::filesystem::exists(first) || !std::filesystem::exists(second))
        return false;
    const Surface a = Surface(first, Color()).converted(), b = Surface(second, Color()).converted();
    for (int y = area.y; y < area.bottom(); ++y)
        for (int x = area.x; x < area.right(); ++x)
            if (a.pixel({x, y}) != b.pixel({x, y}))
                return false;
    return a.size() == Size(1024, 720) && b.size() == a.size();
}

} // namespace

TEST(Simulator, RefusesWhatItCannotReadWithAClearMessage)
{
    const std::string dir = gameDirectory("refusals");
    writeFile(dir + "/bad.keys", "1-10 fire\n20-x left\n");
    writeFile(dir + "/unknown.keys", "1-10 fire shoot\n");
    const std::pair<std::string, std::string> cases[] = {{"--until forever", "--until"}, {"--input bad.keys", "line 2"},
        {"--input unknown.keys", "shoot"}, {"--frames lots", "--frames"}, {"--lose 1", "--lose needs --autopilot"}};
    for (const auto& [arguments, message] : cases) {
        const ChildRun run = runSim(dir, arguments);
        EXPECT_EQ(run.status, 2) << arguments;
        EXPECT_NE(run.err.find(message), std::string::npos) << arguments << ": " << run.err;
    }
}

// Landing, resting, jumps held 1, 6 and 20 frames, running with inertia into both walls, both directions
// held, shooting in every direction and bullets leaving the screen, while the first boss patrols and drops.
TEST(Golden, AKeyScriptDrivesThePlayer)
{
    const std::string dir = gameDirectory("moves");
    const ChildRun run = runSim(dir,
        "--frames 900 --seed 2 --trace trace.jsonl --input " + std::string(DUELFALL_SOURCE_DIR)
            + "/tests/golden/moves.keys");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(jsonField(run.out, "frames"), "900");
    EXPECT_EQ(jsonField(run.out, "outcome"), "running");
    EXPECT_NE(jsonField(run.out, "ms_per_frame"), "");
    const std::vector<std::string> trace = lines(dir + "/trace.jsonl");
    ASSERT_EQ(trace.size(), 900u);
    EXPECT_EQ(jsonField(trace[0], "frame"), "1");
    // The 27th frame still falls (the rectangle only touches the floor); the 28th stands on it.
    EXPECT_NE(jsonField(trace[26], "y"), "532.000");
    EXPECT_EQ(jsonField(trace[27], "y"), "532.000");
    expectGoldenTrace(trace, "moves.trace");
}

TEST(Golden, AKeyScriptThatLetsThePlayerDieReachesGameOverAndEnterRestartsTheFight)
{
    const std::string dir = gameDirectory("gameover");
    const std::string keys = std::string(DUELFALL_SOURCE_DIR) + "/tools/sim/scripts/gameover.keys";
    ChildRun run = runSim(dir, "--seed 1 --input " + keys + " --until gameover --shot-at gameover:over.png");
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(jsonField(run.out, "outcome"), "gameover") << run.out;
    EXPECT_EQ(jsonField(run.out, "player_health"), "0");
    const long over = std::stol(jsonField(run.out, "frames"));

    // The same game again, with Enter held while the player fades out (it does nothing yet) and pressed in
    // the third frame of the game-over screen.
    std::ostringstream script;
    script << readFile(keys) << over - 20 << '-' << over - 10 << " enter\n"
           << over + 3 << '-' << over + 3 << " enter\n";
    writeFile(dir + "/restart.keys", script.str());
    run = runSim(dir,
        "--seed 1 --input restart.keys --trace trace.jsonl --frames " + std::to_string(over + 10) + " --shot "
            + std::to_string(over + 2) + ":still.png");
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> trace = lines(dir + "/trace.jsonl");
    ASSERT_EQ(trace.size(), static_cast<size_t>(over + 10));
    EXPECT_EQ(jsonField(trace[over + 1], "state"), "gameover");
    EXPECT_EQ(jsonField(trace[over + 2], "state"), "fight") << "Enter restarts in the frame it is held";
    EXPECT_EQ(jsonField(trace[over + 2], "boss_health"), "880");
    EXPECT_TRUE(sameArea(dir + "/over.png", dir + "/still.png", {0, 0, 1024, 720}))
        << "the game-over screen stays as it is";
    expectGoldenTrace(trace, "gameover.trace");
}

// The autopilot loses its first fight on purpose, giving up once the second boss is low, restarts with Enter,
// beats both bosses in the second and runs on until the victory text has shown for 300 frames.
TEST(Golden, TheAutopilotLosesOnceRestartsWinsAndTheWholeMessageShows280FramesAfterTheVictory)
{
    const std::string dir = gameDirectory("autopilot");
    // The victory is first shown in the frame of the "victory" event, so its 280th frame is victory+279.
    const ChildRun run = runSim(dir,
        "--autopilot --lose 1 --seed 1 --frames 30000 --until victory+300 --trace trace.jsonl "
        "--shot-at victory+278:279th.png --shot-at victory+279:280th.png --shot-at victory+300:301st.png");
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(jsonField(run.out, "outcome"), "victory") << run.out;
    EXPECT_EQ(jsonField(run.out, "game_overs"), "1");
    EXPECT_EQ(jsonField(run.out, "boss01_health"), "0");
    EXPECT_EQ(jsonField(run.out, "boss02_health"), "0");
    const std::vector<std::string> trace = lines(dir + "/trace.jsonl");
    size_t over = 0;
    while (over + 1 < trace.size() && jsonField(trace[over], "state") != "gameover")
        ++over;
    EXPECT_EQ(jsonField(trace[over], "boss_phase"), "2");
    const int bossHealth = std::stoi(jsonField(trace[over], "boss_health"));
    EXPECT_TRUE(bossHealth > 0 && bossHealth <= 200) << "given up when the second boss was low: " << bossHealth;

    // The text stands at (95, 170): its last letter comes in the 280th frame, then it stays complete.
    const Rect text{95, 165, 929, 40};
    EXPECT_FALSE(sameArea(dir + "/279th.png", dir + "/280th.png", text));
    EXPECT_TRUE(sameArea(dir + "/280th.png", dir + "/301st.png", text));
    expectGoldenTrace(trace, "autopilot.trace");
}
