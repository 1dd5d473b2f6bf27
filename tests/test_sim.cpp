// End to end through the simulator: the real duelfall-sim program, run headless on the real assets,
// the way a replay is re-run.

#include "Graphics/Image.h"
#include "Math/Rect.h"
#include "support/Headless.h"

#include <SDL_image.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

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
    size_t got = 0;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.output.append(buffer, got);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string lastLine(const std::string& text)
{
    std::string trimmed = text;
    while (!trimmed.empty() && trimmed.back() == '\n')
        trimmed.pop_back();
    return trimmed.substr(trimmed.rfind('\n') == std::string::npos ? 0 : trimmed.rfind('\n') + 1);
}

// A number or string field of a flat JSON object.
std::string field(const std::string& json, const std::string& name)
{
    const std::regex pattern("\"" + name + "\":(\"[^\"]*\"|[-0-9.]+)");
    std::smatch match;
    if (!std::regex_search(json, match, pattern))
        return "";
    std::string value = match[1];
    if (!value.empty() && value.front() == '"')
        value = value.substr(1, value.size() - 2);
    return value;
}

std::vector<std::string> lines(const std::string& path)
{
    std::ifstream file(path);
    std::vector<std::string> result;
    for (std::string line; std::getline(file, line);)
        result.push_back(line);
    return result;
}

Image loadPng(const std::string& path)
{
    Image image;
    SDL_Surface* loaded = IMG_Load(path.c_str());
    if (!loaded)
        return image;
    SDL_Surface* argb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(loaded);
    image.size = {argb->w, argb->h};
    for (int y = 0; y < argb->h; ++y) {
        const auto* row
            = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(argb->pixels) + y * argb->pitch);
        image.pixels.insert(image.pixels.end(), row, row + argb->w);
    }
    SDL_FreeSurface(argb);
    return image;
}

bool sameArea(const Image& a, const Image& b, const Rect& area)
{
    for (int y = area.y; y < area.bottom(); ++y)
        for (int x = area.x; x < area.right(); ++x)
            if (a.pixels[y * a.size.w + x] != b.pixels[y * b.size.w + x])
                return false;
    return true;
}

} // namespace

TEST(Simulator, ThePlayerLandsInThe28thFrameAndTheTraceFollowsEveryFrame)
{
    const std::string dir = scratchDirectory("sim_landing");
    const SimRun run = runSim("--frames 40 --seed 3 --trace " + dir + "/trace.jsonl");
    ASSERT_EQ(run.status, 0) << run.output;
    const std::string summary = lastLine(run.output);
    EXPECT_EQ(field(summary, "frames"), "40");
    EXPECT_EQ(field(summary, "outcome"), "running");
    EXPECT_EQ(field(summary, "player_health"), "50");
    EXPECT_NE(field(summary, "ms_per_frame"), "");

    const std::vector<std::string> trace = lines(dir + "/trace.jsonl");
    ASSERT_EQ(trace.size(), 40u);
    EXPECT_EQ(field(trace[0], "frame"), "1");
    // In the 27th frame the player still falls (its rectangle only touches the floor); the 28th puts it on it.
    EXPECT_NE(field(trace[26], "y"), "532.000") << trace[26];
    EXPECT_EQ(field(trace[27], "y"), "532.000") << trace[27];
    EXPECT_EQ(field(trace[27], "boss_phase"), "1");
    EXPECT_EQ(field(trace[27], "state"), "fight");
}

TEST(Simulator, RefusesWhatItCannotReadWithAClearMessage)
{
    const std::string dir = scratchDirectory("sim_refusals");
    SimRun run = runSim("--until forever");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.output.find("--until"), std::string::npos) << run.output;

    std::ofstream(dir + "/bad.keys") << "1-10 fire\n20-x left\n";
    run = runSim("--input " + dir + "/bad.keys");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.output.find("line 2"), std::string::npos) << run.output;

    std::ofstream(dir + "/unknown.keys") << "1-10 fire shoot\n";
    run = runSim("--input " + dir + "/unknown.keys");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.output.find("shoot"), std::string::npos) << run.output;

    run = runSim("--frames lots");
    EXPECT_EQ(run.status, 2);

    run = runSim("--lose 1");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.output.find("--lose needs --autopilot"), std::string::npos) << run.output;
}

TEST(Simulator, AKeyScriptDrivesThePlayer)
{
    const std::string dir = scratchDirectory("sim_script");
    std::ofstream(dir + "/walk.keys") << "# walk right, then left with fire held\n40-79 right\n80-130 left fire\n";
    const SimRun run = runSim("--frames 130 --seed 2 --input " + dir + "/walk.keys --trace " + dir + "/trace.jsonl");
    ASSERT_EQ(run.status, 0) << run.output;
    const std::vector<std::string> trace = lines(dir + "/trace.jsonl");
    ASSERT_EQ(trace.size(), 130u);
    EXPECT_EQ(field(trace[38], "x"), "100.000");
    EXPECT_GT(std::stod(field(trace[78], "x")), 200.0);
    // Inertia carries the player on to the right for a while before it turns back.
    EXPECT_GT(std::stod(field(trace[84], "x")), std::stod(field(trace[78], "x")));
    EXPECT_LT(std::stod(field(trace[129], "x")), std::stod(field(trace[78], "x")));
    EXPECT_NE(field(trace[129], "bullets"), "0");
}

TEST(Simulator, AKeyScriptThatLetsThePlayerDieReachesGameOverAndEnterRestartsTheFight)
{
    const std::string dir = scratchDirectory("sim_gameover");
    const std::string keys = std::string(DUELFALL_SOURCE_DIR) + "/tools/sim/scripts/gameover.keys";
    SimRun run = runSim("--seed 1 --input " + keys + " --until gameover --shot-at gameover:" + dir + "/over.png");
    ASSERT_EQ(run.status, 0) << run.output;
    std::string summary = lastLine(run.output);
    ASSERT_EQ(field(summary, "outcome"), "gameover") << summary;
    EXPECT_EQ(field(summary, "player_health"), "0");
    const long over = std::stol(field(summary, "frames"));

    // The game-over picture is the arena under its overlay: no HUD bar is drawn.
    const Image picture = loadPng(dir + "/over.png");
    ASSERT_EQ(picture.size, Size(1024, 720));

    // The same game again, with Enter pressed a few frames into the game-over screen.
    std::ifstream script(keys);
    std::ostringstream text;
    text << script.rdbuf() << over + 3 << '-' << over + 3 << " enter\n";
    std::ofstream(dir + "/restart.keys") << text.str();
    run = runSim("--seed 1 --input " + dir + "/restart.keys --frames " + std::to_string(over + 10) + " --trace " + dir
        + "/trace.jsonl --shot " + std::to_string(over + 2) + ":" + dir + "/still.png");
    ASSERT_EQ(run.status, 0) << run.output;
    const std::vector<std::string> trace = lines(dir + "/trace.jsonl");
    ASSERT_EQ(trace.size(), static_cast<size_t>(over + 10));
    const std::string& waiting = trace[over + 1]; // frame over + 2: still on the game-over screen
    const std::string& restarted = trace[over + 2]; // frame over + 3: Enter held
    EXPECT_EQ(field(waiting, "state"), "gameover");
    EXPECT_EQ(field(trace[over - 1], "boss_x"), field(waiting, "boss_x")) << "nothing moves on the game-over screen";
    EXPECT_EQ(field(restarted, "state"), "fight");
    EXPECT_EQ(field(restarted, "health"), "50");
    EXPECT_EQ(field(restarted, "boss_health"), "880");
    EXPECT_EQ(field(restarted, "bullets"), "0");
    EXPECT_EQ(field(restarted, "rockets"), "0");
    EXPECT_TRUE(sameArea(picture, loadPng(dir + "/still.png"), {0, 0, 1024, 720}))
        << "the game-over screen stays as it is";
}

TEST(Simulator, AnAutopilotToldToLoseGivesUpWhenTheSecondBossIsLowAndRestartsWithEnter)
{
    const std::string dir = scratchDirectory("sim_lose");
    const SimRun run
        = runSim("--autopilot --lose 1 --seed 1 --frames 20000 --until gameover+1 --trace " + dir + "/trace.jsonl");
    ASSERT_EQ(run.status, 0) << run.output;
    const std::string summary = lastLine(run.output);
    EXPECT_EQ(field(summary, "game_overs"), "1") << summary;

    // The whole fight was played: the second boss fell into its second stage and was low when the
    // player gave up, and the fight it lost is started afresh in the frame after the game over.
    const std::vector<std::string> trace = lines(dir + "/trace.jsonl");
    ASSERT_GE(trace.size(), 2u);
    const std::string& over = trace[trace.size() - 2];
    const std::string& restarted = trace.back();
    EXPECT_EQ(field(over, "state"), "gameover");
    EXPECT_EQ(field(over, "boss_phase"), "2");
    EXPECT_GT(std::stoi(field(over, "boss_health")), 0);
    EXPECT_LE(std::stoi(field(over, "boss_health")), 200);
    EXPECT_EQ(field(restarted, "state"), "fight");
    EXPECT_EQ(field(restarted, "boss_phase"), "1");
    EXPECT_EQ(field(restarted, "health"), "50");
}

TEST(Simulator, TheAutopilotBeatsBothBossesAndTheWholeMessageShows280FramesLater)
{
    const std::string dir = scratchDirectory("sim_victory");
    // The victory is first shown in the frame of the "victory" event, so the 280th frame of the
    // victory is victory+279.
    const SimRun run = runSim("--autopilot --seed 1 --frames 20000 --until victory+300 --trace " + dir
        + "/trace.jsonl --shot-at victory+278:" + dir + "/279th.png --shot-at victory+279:" + dir
        + "/280th.png --shot-at victory+300:" + dir + "/301st.png");
    ASSERT_EQ(run.status, 0) << run.output;
    const std::string summary = lastLine(run.output);
    ASSERT_EQ(field(summary, "outcome"), "victory") << summary;
    EXPECT_EQ(field(summary, "boss01_health"), "0") << summary;
    EXPECT_EQ(std::stoi(field(summary, "boss02_health")), 0) << summary;

    // The boss's bar switches to the second boss in the frame the first one is finished.
    const std::vector<std::string> trace = lines(dir + "/trace.jsonl");
    size_t second = 0;
    while (second < trace.size() && field(trace[second], "boss_phase") != "2")
        ++second;
    ASSERT_LT(second, trace.size());
    EXPECT_EQ(field(trace[second], "boss_health"), "880");
    EXPECT_LE(std::stoi(field(trace[second - 1], "boss_health")), 0);

    // The text stands at (95, 170): its last letter comes in the 280th frame, then it stays complete.
    // (After its victory the autopilot fires level shots, well below the text.)
    const Rect text{95, 165, 929, 40};
    const Image frame279 = loadPng(dir + "/279th.png");
    const Image frame280 = loadPng(dir + "/280th.png");
    const Image frame301 = loadPng(dir + "/301st.png");
    ASSERT_EQ(frame280.size, Size(1024, 720));
    EXPECT_FALSE(sameArea(frame279, frame280, text));
    EXPECT_TRUE(sameArea(frame280, frame301, text));
}
