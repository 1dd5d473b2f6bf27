#pragma once

#include <string>
#include <vector>

// Golden traces: one row of space-separated values per frame, from frame 1, kept in tests/golden/<name>
// under a first line that names the fields. The rows must equal the golden ones; the first frame that
// differs is reported field by field. With DUELFALL_UPDATE_GOLDEN set in the environment, the golden file
// is written from the rows instead (see the README).
void expectGolden(const std::vector<std::string>& rows, const std::string& name, const std::string& fields);
