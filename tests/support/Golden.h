#pragma once

#include <string>
#include <vector>

// Golden traces: a row of space-separated values per frame from frame 1, in tests/golden/<name> under a line
// naming the fields. The rows must equal the golden ones (the first frame that differs is reported field by
// field); with DUELFALL_UPDATE_GOLDEN set in the environment the file is written from them instead.
void expectGolden(const std::vector<std::string>& rows, const std::string& name, const std::string& fields);

// Golden replays: recordings of the game's, in tests/golden/replays/<name>, that a change must not silently
// rewrite. The text must equal the file (the first line that differs is reported); otherwise it is written to
// golden-diff/<name> of the working directory, to be reviewed and copied over by hand.
void expectGoldenReplay(const std::string& text, const std::string& name);
