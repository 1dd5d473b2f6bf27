#pragma once

#include <optional>
#include <string>
#include <vector>

// The best times, in frames, kept in userData/records.ini as "first_boss = FRAMES" and
// "fight = FRAMES" lines. A line that cannot be read is logged and leaves that record unset.
class Records {
public:
    enum Kind { FirstBoss, Fight };
    static constexpr int kKindCount = 2;

    // Never throws: a missing file has no records. Each problem is logged.
    static Records read(const std::string& utf8Path);
    // The same from the text, logging nothing; the problems are kept in problems().
    static Records parse(const std::string& text, const std::string& utf8Path = "");

    std::optional<long> best(Kind kind) const { return best_[kind]; }
    const std::vector<std::string>& problems() const { return problems_; }
    // Takes a time in; true if it beats the best so far (or is the first), which it then becomes.
    bool offer(Kind kind, long frames);
    std::string text() const;
    // Written whole through a temporary file and a rename; false with the error if it could not be.
    bool write(std::string& error) const;

private:
    std::string path_;
    std::optional<long> best_[kKindCount];
    std::vector<std::string> problems_;
};
