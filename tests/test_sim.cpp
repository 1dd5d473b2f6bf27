// End to end through the real duelfall-sim program, headless on the real assets. Four runs are compared
// frame by frame with the golden traces of tests/golden/: player position and health, the game's state,
// the boss's stage, health and position, and the counts of bullets, rockets, lasers and fireballs. After an
// intended change of the game, regenerate them (README, "Golden traces"):
//     DUELFALL_UPDATE_GOLDEN=1 ctest --test-dir build -R Golden

#include "Graphics/Surface.h"
#include "Math/Rect.h"
#include "support/Golden.h"
#include "support/Headless.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;
const std::vector<std::string> kTraceFields = {"x", "y", "health", "state", "boss_phase", "boss_health", "boss_x",
    "boss_y", "bullets", "rockets", "lasers", "fireballs"};

struct SimRun {
    int status = -1;
    std::string output; // standard output and standard error
};

SimRun runSim(const std::string& arguments)
{
    const std::string command = "timeout -s KILL 900 " DUELFALL_SIM_PATH " " + arguments + " 2>&1";
    SimRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return run;
    char buffer[4096];
    for (size_t got = 0; (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        run.output.append(buffer, got);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string lastLine(std::string text)
{
    while (!text.empty() && text.back() == '\n')
        text.pop_back();
    const size_t cut = text.rfind('\n');
    return cut == std::string::npos ? text : text.substr(cut + 1);
}

// A number or string field of a flat JSON object.
std::string field(const std::string& json, const std::string& name)
{
    std::smatch match;
    if (!std::regex_search(json, match, std::regex("\"" + name + "\":\"?([-0-9.a-z]+)")))
        return "";
    return match[1];
}

Lines lines(const std::string& path)
{
    std::ifstream file(path);
    Lines result;
    for (std::string line; std::getline(file, line);)
        result.push_back(line);
    return result;
}

// The trace file as golden rows: each line's fields in kTraceFields order (the frame is the row's number).
void expectGoldenTrace(const std::string& tracePath, const std::string& name)
{
    Lines rows;
    for (const std::string& line : lines(tracePath)) {
        std::string row;
        for (const std::string& fieldName : kTraceFields)
            row += (row.empty() ? "" : " ") + field(line, fieldName);
        rows.push_back(row);
    }
    std::string names;
    for (const std::string& fieldName : kTraceFields)
        names += fieldName + " ";
    expectGolden(rows, name, names);
}

// Whether two pictures the simulator wrote agree on every pixel of the area.
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
    const std::string dir = scratchDirectory("sim_refusals");
    std::ofstream(dir + "/bad.keys") << "1-10 fire\n20-x left\n";
    std::ofstream(dir + "/unknown.keys") << "1-10 fire shoot\n";
    const std::pair<std::string, std::string> cases[] = {{"--until forever", "--until"},
        {"--input " + dir + "/bad.keys", "line 2"}, {"--input " + dir + "/unknown.keys", "shoot"},
        {"--frames lots", "--frames"}, {"--lose 1", "--lose needs --autopilot"}};
    for (const auto& [arguments, message] : cases) {
        const SimRun run = runSim(arguments);
        EXPECT_EQ(run.status, 2) << arguments;
        EXPECT_NE(run.output.find(message), std::string::npos) << arguments << ": " << run.output;
    }
}

// Landing, resting, jumps held 1, 6 and 20 frames, running with inertia into both walls, both directions
// held, shooting in every direction and bullets leaving the screen, while the first boss patrols and drops.
TEST(Golden, AKeyScriptDrivesThePlayer)
{
    const std::string dir = scratchDirectory("golden_moves");
    const std::string keys = std::string(DUELFALL_SOURCE_DIR) + "/tests/golden/moves.keys";
    const SimRun run = runSim("--frames 900 --seed 2 --input " + keys + " --trace " + dir + "/trace.jsonl");
    ASSERT_EQ(run.status, 0) << run.output;
    const std::string summary = lastLine(run.output);
    EXPECT_EQ(field(summary, "frames"), "900");
    EXPECT_EQ(field(summary, "outcome"), "running");
    EXPECT_NE(field(summary, "ms_per_frame"), "");
    const Lines trace = lines(dir + "/trace.jsonl");
    ASSERT_EQ(trace.size(), 900u);
    EXPECT_EQ(field(trace[0], "frame"), "1");
    // The 27th frame still falls (the rectangle only touches the floor); the 28th stands on it.
    EXPECT_NE(field(trace[26], "y"), "532.000");
    EXPECT_EQ(field(trace[27], "y"), "532.000");
    expectGoldenTrace(dir + "/trace.jsonl", "moves.trace");
}

TEST(Golden, AKeyScriptThatLetsThePlayerDieReachesGameOverAndEnterRestartsTheFight)
{
    const std::string dir = scratchDirectory("golden_gameover");
    const std::string keys = std::string(DUELFALL_SOURCE_DIR) + "/tools/sim/scripts/gameover.keys";
    SimRun run = runSim("--seed 1 --input " + keys + " --until gameover --shot-at gameover:" + dir + "/over.png");
    ASSERT_EQ(run.status, 0) << run.output;
    const std::string summary = lastLine(run.output);
    ASSERT_EQ(field(summary, "outcome"), "gameover") << summary;
    EXPECT_EQ(field(summary, "player_health"), "0");
    const long over = std::stol(field(summary, "frames"));

    // The same game again, with Enter held while the player fades out (it does nothing yet) and pressed in
    // the third frame of the game-over screen.
    std::ostringstream script;
    script << readFile(keys) << over - 20 << '-' << over - 10 << " enter\n"
           << over + 3 << '-' << over + 3 << " enter\n";
    std::ofstream(dir + "/restart.keys") << script.str();
    run = runSim("--seed 1 --input " + dir + "/restart.keys --frames " + std::to_string(over + 10) + " --trace " + dir
        + "/trace.jsonl --shot " + std::to_string(over + 2) + ":" + dir + "/still.png");
    ASSERT_EQ(run.status, 0) << run.output;
    const Lines trace = lines(dir + "/trace.jsonl");
    ASSERT_EQ(trace.size(), static_cast<size_t>(over + 10));
    EXPECT_EQ(field(trace[over + 1], "state"), "gameover");
    EXPECT_EQ(field(trace[over + 2], "state"), "fight") << "Enter restarts in the frame it is held";
    EXPECT_EQ(field(trace[over + 2], "boss_health"), "880");
    EXPECT_TRUE(sameArea(dir + "/over.png", dir + "/still.png", {0, 0, 1024, 720}))
        << "the game-over screen stays as it is";
    expectGoldenTrace(dir + "/trace.jsonl", "gameover.trace");
}

// The autopilot loses its first fight on purpose, giving up once the second boss is low, restarts with Enter,
// beats both bosses in the second and runs on until the victory text has shown for 300 frames.
TEST(Golden, TheAutopilotLosesOnceRestartsWinsAndTheWholeMessageShows280FramesAfterTheVictory)
{
    const std::string dir = scratchDirectory("golden_autopilot");
    // The victory is first shown in the frame of the "victory" event, so its 280th frame is victory+279.
    const SimRun run = runSim("--autopilot --lose 1 --seed 1 --frames 30000 --until victory+300 --trace " + dir
        + "/trace.jsonl --shot-at victory+278:" + dir + "/279th.png --shot-at victory+279:" + dir
        + "/280th.png --shot-at victory+300:" + dir + "/301st.png");
    ASSERT_EQ(run.status, 0) << run.output;
    const std::string summary = lastLine(run.output);
    ASSERT_EQ(field(summary, "outcome"), "victory") << summary;
    EXPECT_EQ(field(summary, "game_overs"), "1") << summary;
    EXPECT_EQ(field(summary, "boss01_health"), "0") << summary;
    EXPECT_EQ(field(summary, "boss02_health"), "0") << summary;
    const Lines trace = lines(dir + "/trace.jsonl");
    size_t over = 0;
    while (over < trace.size() && field(trace[over], "state") != "gameover")
        ++over;
    ASSERT_LT(over + 1, trace.size());
    EXPECT_EQ(field(trace[over], "boss_phase"), "2");
    EXPECT_GT(std::stoi(field(trace[over], "boss_health")), 0);
    EXPECT_LE(std::stoi(field(trace[over], "boss_health")), 200);

    // The text stands at (95, 170): its last letter comes in the 280th frame, then it stays complete.
    const Rect text{95, 165, 929, 40};
    EXPECT_FALSE(sameArea(dir + "/279th.png", dir + "/280th.png", text));
    EXPECT_TRUE(sameArea(dir + "/280th.png", dir + "/301st.png", text));
    EXPECT_TRUE(std::filesystem::exists(dir + "/279th.png"));
    expectGoldenTrace(dir + "/trace.jsonl", "autopilot.trace");
}
