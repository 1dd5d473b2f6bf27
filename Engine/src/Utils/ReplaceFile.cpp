#include "Utils/ReplaceFile.h"

#include "Utils/Utf8Path.h"

#include <filesystem>
#include <fstream>

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
