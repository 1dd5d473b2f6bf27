#include "Utils/TextFile.h"

#include "Utils/Utf8Path.h"

#include <filesystem>
#include <fstream>
#include <sstream>

std::optional<std::string> readTextFile(const std::string& path, std::uintmax_t largest)
{
    std::error_code error;
    const std::filesystem::path file = pathFromUtf8(path);
    if (!std::filesystem::is_regular_file(file, error) || std::filesystem::file_size(file, error) > largest || error)
        return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (!in)
        return std::nullopt;
    return bytes.str();
}

std::optional<std::string> replaceFile(const std::string& path, const std::string& temporary, const std::string& text)
{
    std::error_code error;
    {
        std::ofstream file(pathFromUtf8(temporary), std::ios::binary | std::ios::trunc);
        file << text;
        file.close();
        if (!file) {
            std::filesystem::remove(pathFromUtf8(temporary), error);
            return "";
        }
    }
    std::filesystem::rename(pathFromUtf8(temporary), pathFromUtf8(path), error);
    if (error) {
        const std::string reason = error.message();
        std::filesystem::remove(pathFromUtf8(temporary), error);
        return reason;
    }
    return std::nullopt;
}
