#include "support/Golden.h"

#include "Utils/StringUtils.h"
#include "Utils/Utf8Path.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

void expectGolden(const std::vector<std::string>& rows, const std::string& name, const std::string& fields)
{
    const std::string path = std::string(DUELFALL_SOURCE_DIR) + "/tests/golden/" + name;
    ASSERT_FALSE(rows.empty()) << name;
    if (std::getenv("DUELFALL_UPDATE_GOLDEN")) {
        std::ofstream out(pathFromUtf8(path), std::ios::trunc);
        out << "# " << fields << '\n';
        for (const std::string& row : rows)
            out << row << '\n';
        return;
    }
    std::ifstream in(pathFromUtf8(path));
    std::string header;
    ASSERT_TRUE(std::getline(in, header)) << "no golden trace " << path;
    const std::vector<std::string> names = split(header.substr(1), ' ', true);
    std::vector<std::string> golden;
    for (std::string line; std::getline(in, line);)
        golden.push_back(line);
    for (size_t i = 0; i < std::min(rows.size(), golden.size()); ++i) {
        if (rows[i] == golden[i])
            continue;
        const std::vector<std::string> want = split(golden[i], ' ', true), got = split(rows[i], ' ', true);
        std::string differences;
        for (size_t k = 0; k < std::max(want.size(), got.size()); ++k)
            if (k >= want.size() || k >= got.size() || want[k] != got[k])
                differences += " " + (k < names.size() ? names[k] : "field " + std::to_string(k + 1)) + " "
                    + (k < want.size() ? want[k] : "-") + " -> " + (k < got.size() ? got[k] : "-");
        FAIL() << name << ": frame " << i + 1 << " differs from the golden trace:" << differences
               << "\n  golden: " << golden[i] << "\n  now:    " << rows[i];
    }
    EXPECT_EQ(rows.size(), golden.size()) << name << ": the run has a different number of frames";
}
