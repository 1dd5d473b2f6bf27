#include "Utils/File.h"

#include "Core/Core.h"
#include "Utils/Utf8Path.h"

#include <filesystem>
#include <system_error>

namespace {

// The SDL mode text of a File mode; null for a mode the reader does not know.
const char* modeText(int mode)
{
    switch (mode) {
    case File::Read:
        return "r";
    case File::Write:
        return "w";
    case File::Append:
        return "a";
    default:
        return nullptr;
    }
}

bool isRegularFile(const std::string& path)
{
    // Paths are UTF-8 on every platform, as SDL takes them.
    std::error_code error;
    return std::filesystem::is_regular_file(pathFromUtf8(path), error);
}

} // namespace

File::File(const std::string& path, int mode)
{
    // Only regular files are read: a directory opens on some systems and claims an absurd size.
    const char* text = modeText(mode);
    if (text != nullptr && (mode != Read || isRegularFile(path)))
        stream_ = SDL_RWFromFile(path.c_str(), text);
    if (stream_ == nullptr)
        fatalError("File " + path + " failed load!");
}

File::~File()
{
    if (stream_ != nullptr)
        SDL_RWclose(stream_);
}

std::string File::readAll()
{
    const Sint64 length = SDL_RWsize(stream_);
    if (length < 0)
        return {};
    // From the start, whatever was read before; a short read keeps only the bytes that came.
    SDL_RWseek(stream_, 0, RW_SEEK_SET);
    std::string content(static_cast<size_t>(length), '\0');
    const size_t read = SDL_RWread(stream_, content.data(), 1, content.size());
    content.resize(read);
    return content;
}

int64_t File::size() { return SDL_RWsize(stream_); }

size_t File::write(const std::string& text) { return SDL_RWwrite(stream_, text.data(), 1, text.size()); }
