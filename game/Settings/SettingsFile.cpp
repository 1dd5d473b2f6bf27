#include "Settings/SettingsFile.h"

#include "Utils/LogFile.h"
#include "Utils/StringUtils.h"
#include "Utils/TextFile.h"
#include "Utils/Utf8Path.h"

#include <filesystem>

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// A settings file is a few hundred bytes; anything this large is not one, and is not read.
constexpr std::uintmax_t kLargestFile = 1 << 20;
// A message quotes no more of a line than this.
constexpr size_t kQuotedLength = 60;

// Well-formed UTF-8 with no control characters but tab, line feed and carriage return.
bool isText(std::string_view bytes)
{
    size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x20 && lead != '\t' && lead != '\n' && lead != '\r')
            return false;
        // The bytes that follow a lead byte; -1 for a byte no character starts with.
        const int extra = lead < 0x80      ? 0
            : lead >= 0xC2 && lead <= 0xDF ? 1
            : lead >= 0xE0 && lead <= 0xEF ? 2
            : lead >= 0xF0 && lead <= 0xF4 ? 3
                                           : -1;
        if (extra < 0 || bytes.size() - i <= static_cast<size_t>(extra))
            return false;
        for (int k = 1; k <= extra; ++k)
            if ((static_cast<unsigned char>(bytes[i + static_cast<size_t>(k)]) & 0xC0) != 0x80)
                return false;
        i += static_cast<size_t>(extra) + 1;
    }
    return true;
}

} // namespace

SettingsFile SettingsFile::read(const std::string& utf8Path)
{
    std::error_code error;
    if (std::filesystem::file_size(pathFromUtf8(utf8Path), error) > kLargestFile && !error)
        writeLogLine(logFile(), "settings.ini is over a megabyte: not read, the defaults are used", false);
    const std::string text = readTextFile(utf8Path, kLargestFile).value_or("");
    SettingsFile settings = parse(text, utf8Path);
    for (const std::string& problem : settings.problems_)
        writeLogLine(logFile(), problem, false);
    return settings;
}

SettingsFile SettingsFile::parse(const std::string& text, const std::string& utf8Path)
{
    SettingsFile file;
    file.path_ = utf8Path;
    std::string_view rest = text;
    if (rest.starts_with(kByteOrderMark)) {
        rest.remove_prefix(kByteOrderMark.size());
        file.byteOrderMark_ = kByteOrderMark;
    }
    if (!isText(rest)) {
        file.problems_.push_back("settings.ini is not text: read as empty, the defaults are used");
        return file;
    }
    if (rest.find("\r\n") != std::string_view::npos)
        file.lineEnd_ = "\r\n";
    // A last line without its line end is a line all the same; the split's empty last piece is not.
    file.lines_ = split(rest, '\n');
    if (!file.lines_.empty() && file.lines_.back().empty())
        file.lines_.pop_back();
    for (size_t i = 0; i < file.lines_.size(); ++i) {
        std::string& line = file.lines_[i];
        if (line.ends_with('\r'))
            line.pop_back();
        std::string content = line;
        trim(content);
        if (content.empty() || content[0] == '#')
            continue;
        const std::string at = "settings.ini line " + std::to_string(i + 1) + ": ";
        const size_t equals = content.find('=');
        if (equals == std::string::npos) {
            file.problems_.push_back(at + "expected 'name = value', got " + quotedExcerpt(content, kQuotedLength));
            continue;
        }
        std::string name = content.substr(0, equals);
        std::string value = content.substr(equals + 1);
        trim(name);
        trim(value);
        const SettingField* field = settingNamed(name);
        if (field == nullptr) {
            file.problems_.push_back(
                at + "unknown setting " + quotedExcerpt(name, kQuotedLength) + " (kept in the file)");
            continue;
        }
        // A later line of the same name wins; a bad one leaves the default, whatever came before.
        const Settings defaults = defaultSettings();
        Settings reset = file.settings_;
        setSetting(*field, reset, settingText(*field, defaults));
        if (const std::optional<std::string> problem = setSetting(*field, reset, value)) {
            file.problems_.push_back(
                at + name + ": " + *problem + "; the default " + settingText(*field, defaults) + " is used");
        }
        file.settings_ = reset;
        file.lineOf_[name] = i;
    }
    return file;
}

std::string SettingsFile::text() const
{
    std::string out = byteOrderMark_;
    for (const std::string& line : lines_)
        out += line + lineEnd_;
    return out;
}

bool SettingsFile::write(const Settings& changed, std::string& error)
{
    SettingsFile saved = *this;
    for (const SettingField& field : settingFields()) {
        const std::string value = settingText(field, changed);
        if (value == settingText(field, settings_))
            continue;
        const std::string line = field.name + " = " + value;
        if (const auto found = lineOf_.find(field.name); found != lineOf_.end()) {
            saved.lines_[found->second] = line;
        } else {
            saved.lineOf_[field.name] = saved.lines_.size();
            saved.lines_.push_back(line);
        }
    }
    saved.settings_ = changed;
    if (const std::optional<std::string> reason = replaceFile(path_, path_ + ".tmp", saved.text())) {
        error = "Settings " + path_ + " failed write!" + (reason->empty() ? "" : " " + *reason);
        return false;
    }
    *this = std::move(saved);
    return true;
}
