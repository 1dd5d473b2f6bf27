#pragma once

#include <SDL_rwops.h>

#include <cstdint>
#include <string>

// A small owner of an SDL file stream. A file that cannot be opened, or that is read but is not a
// regular file (a directory, a device), is a load failure: "File <path> failed load!" through
// fatalError.
class File {
public:
    enum Mode { Read = 0, Write = 1, Append = 2 };

    File(const std::string& path, int mode);
    ~File();
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // The whole content; empty when the stream cannot tell its size.
    std::string readAll();
    int64_t size();
    // Writes the bytes in one write; returns the number of objects written (0 on failure).
    size_t write(const std::string& text);

private:
    SDL_RWops* stream_ = nullptr;
};
