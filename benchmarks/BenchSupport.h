#pragma once
// Helpers shared by the benchmarks: the steady clock, summaries of measured samples, and the headless
// start of the engine in a working directory that holds the game's data/.

#include <cstdint>
#include <string>
#include <vector>

// Nanoseconds of the steady (monotonic) clock. The clock is system-wide, so readings taken in two
// processes can be subtracted.
int64_t steadyNs();

// A sample summarised; percentiles are nearest-rank.
struct Summary {
    size_t count = 0;
    double mean = 0;
    double median = 0;
    double p99 = 0;
    double min = 0;
    double max = 0;
};

Summary summarize(std::vector<double> samples);
// "met" or "NOT met", for the lines that compare a figure with its bar.
const char* verdict(bool met);

// Headless SDL (offscreen video through Mesa, dummy audio), never under a real display, and the
// benchmarks' working directory (with data/ and a userData/ of its own) as the current directory.
void prepareHeadlessProcess();

// prepareHeadlessProcess, then the engine started the way the game starts it: filtered scaling, the
// game's title and logical size, render-target mode.
void startGameCore();
