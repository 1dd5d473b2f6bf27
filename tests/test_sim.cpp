// End to end through the real duelfall-sim program: its command line, key scripts, traces, JSON summary and
// screenshots, compared with tests/golden/ (regenerate with DUELFALL_UPDATE_GOLDEN=1, see the README).

#include "Utils/StringUtils.h"
#include "support/ChildProcess.h"
#include "support/Golden.h"
#include "support/GoldenPicture.h"
#include "support/Headless.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

namespace {

// Runs the simulator in the directory; its trace, if asked for, is trace.jsonl there.
ChildRun runSim(const std::string& dir, const std::string& arguments, const Environment& environment = {})
{
    std::vector<std::string> command = split(arguments, ' ', true);
    command.insert(command.begin(), DUELFALL_SIM_PATH);
    return runChild(command, dir, environment);
}

// The trace as golden rows: each line's fields in the order named (the frame is the row's number).
void expectGoldenTrace(const std::vector<std::string>& trace, const std::string& name)
{
    const std::string names = "x y health state boss_phase boss_health boss_x boss_y bullets rockets lasers fireballs ";
    std::vector<std::string> rows(trace.size());
    for (size_t i = 0; i < trace.size(); ++i)
        for (const std::string& field : split(names, ' ', true))
            rows[i] += (rows[i].empty() ? "" : " ") + jsonField(trace[i], field);
    expectGolden(rows, name, names);
}

} // namespace

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
    const std::vector<std::string> trace = split(readFile(dir + "/trace.jsonl"), '\n', true);
    ASSERT_EQ(trace.size(), 900u);
    EXPECT_EQ(jsonField(trace[0], "frame"), "1");
    expectGoldenTrace(trace, "moves.trace");
}

TEST(Golden, AKeyScriptThatLetsThePlayerDieReachesGameOverAndEnterRestartsTheFight)
{
    const std::string dir = gameDirectory("gameover");
    const std::string keys = std::string(DUELFALL_SOURCE_DIR) + "/tools/sim/scripts/gameover.keys";
    ChildRun run = runSim(dir, "--seed 1 --input " + keys + " --until gameover --shot-at gameover:over.png");
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(jsonField(run.out, "outcome"), "gameover") << run.out;
    const long over = std::stol(jsonField(run.out, "frames"));

    // The same game again, with Enter held while the player fades out (it does nothing yet) and pressed in
    // the third frame of the game-over screen.
    const auto span = [](long from, long to) { return std::to_string(from) + "-" + std::to_string(to) + " enter\n"; };
    writeFile(dir + "/restart.keys", readFile(keys) + span(over - 20, over - 10) + span(over + 3, over + 3));
    run = runSim(dir,
        "--seed 1 --input restart.keys --trace trace.jsonl --frames " + std::to_string(over + 10) + " --shot "
            + std::to_string(over + 2) + ":still.png");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(jsonField(run.out, "game_overs"), "1") << "three frames of the game-over screen are one game over";
    const std::vector<std::string> trace = split(readFile(dir + "/trace.jsonl"), '\n', true);
    ASSERT_EQ(trace.size(), static_cast<size_t>(over + 10));
    // The trace pins that Enter restarts in the frame it is held, and only then.
    EXPECT_GT(readFile(dir + "/over.png").size(), 1000u);
    EXPECT_EQ(readFile(dir + "/over.png"), readFile(dir + "/still.png")) << "the game-over screen stays as it is";
    expectGoldenTrace(trace, "gameover.trace");
}

// What the player sees where the picture changes, in a committed game that is lost, restarted and won: the
// simulator plays it back to its end line without a desync (or it ends with status 3) and saves the screenshots.
TEST(GoldenPictures, TheCommittedLostRestartedAndWonGameLooksAsItDid)
{
    const std::string dir = gameDirectory("pictures"),
                      file = DUELFALL_SOURCE_DIR "/tests/golden/replays/lost-and-won.replay";
    const std::pair<std::string, std::string> shots[] = {{"1", "first-frame"}, {"200", "boss01-bullets-rockets-impact"},
        {"2510", "boss02-lasers-fireball-burning-row"}, {"switch+20", "stage-switch"},
        {"3210", "second-stage-every-weapon"}, {"gameover", "game-over"},
        // Enter is held in the frame after the game over: this is the first frame of the new fight.
        {"gameover+2", "after-restart"}, {"gameover+122", "after-restart-120"},
        {"victory+300", "victory-whole-text-and-play-again"}};
    std::string arguments = "--replay " + file;
    for (const auto& [when, name] : shots)
        arguments += (std::isdigit(when[0]) ? " --shot " : " --shot-at ") + when + ':' + name + ".png";
    const ChildRun run = runSim(dir, arguments, {{"SDL_RENDER_DRIVER", "software"}}); // the pictures' renderer
    ASSERT_EQ(run.status, 0) << run.err;
    for (const auto& [when, name] : shots) {
        expectGoldenPicture(loadPicture(dir + "/" + name + ".png"), name);
    }
}
