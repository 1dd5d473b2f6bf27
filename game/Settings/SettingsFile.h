#pragma once

#include "Settings/Settings.h"

#include <map>
#include <string>
#include <vector>

// userData/settings.ini: UTF-8 lines of "name = value", "#" comments and blank lines. The file keeps its
// lines as they were read, so that a save changes only the lines of settings that changed and keeps the
// player's comments and the lines it does not know. A value it cannot read leaves that setting at its
// default, and the log names the line; a file that is not text at all is read as empty (and left as it
// is until the player saves).
class SettingsFile {
public:
    // Never throws: a missing file gives the defaults. Each problem is logged.
    static SettingsFile read(const std::string& utf8Path);
    // The same from the file's text, logging nothing; the problems are kept in problems().
    static SettingsFile parse(const std::string& text, const std::string& utf8Path = "");

    const Settings& settings() const { return settings_; }
    // "settings.ini line N: ..." for every line that could not be read, in order.
    const std::vector<std::string>& problems() const { return problems_; }
    // The lines as they would be written now.
    std::string text() const;

    // Saves the changed settings: the line that set a changed value is rewritten in place, a changed
    // setting the file had no line for is appended, every other line is kept byte for byte. Written
    // through a temporary file and a rename. On failure the error names the file and nothing is kept.
    bool write(const Settings& changed, std::string& error);

private:
    std::string path_;
    std::vector<std::string> lines_;
    // Kept before the first line if the file began with one.
    std::string byteOrderMark_;
    // The line end the file used ("\r\n" for a file from Windows' editors).
    std::string lineEnd_ = "\n";
    Settings settings_ = defaultSettings();
    // For each setting read, the index in lines_ of the line that set it (the last one, which wins).
    std::map<std::string, size_t> lineOf_;
    std::vector<std::string> problems_;
};
