#pragma once

#include <iosfwd>
#include <string>

// ANSI sequences of console lines.
inline constexpr const char* kAnsiWhite = "\x1b[37m";
inline constexpr const char* kAnsiReset = "\x1b[0m";
inline constexpr const char* kAnsiBold = "\x1b[1m";

// Collects values, each followed by a blank, and writes them as one line when destroyed: by default
// to standard output with a "file:line | " prefix and ANSI colours, each of its lines cut to the log's longest
// line (kLongestLogLine, colours not counted). Lives for one statement:
//     LogMessage(__FILE__, __LINE__, kAnsiBold) << "loaded" << path;
class LogMessage {
public:
    LogMessage(const char* file, int line, const char* style);
    ~LogMessage();
    LogMessage(const LogMessage&) = delete;
    LogMessage& operator=(const LogMessage&) = delete;

    // Writes to the stream without location and colours (the form used for report files).
    LogMessage& toStream(std::ostream& stream);
    LogMessage& setStream(std::ostream& stream);
    LogMessage& noLocation();
    LogMessage& noColour();
    LogMessage& hex();
    LogMessage& binary();

    LogMessage& operator<<(const char* text);
    LogMessage& operator<<(const std::string& text);
    LogMessage& operator<<(std::nullptr_t);
    LogMessage& operator<<(char c);
    LogMessage& operator<<(char16_t c);
    LogMessage& operator<<(wchar_t c);
    LogMessage& operator<<(char32_t c);
    LogMessage& operator<<(bool value);
    LogMessage& operator<<(unsigned char value);
    LogMessage& operator<<(signed char value);

    const std::string& location() const { return location_; }

private:
    std::string text_;
    std::string location_;
    std::ostream* out_;
    bool showLocation_ = true;
    bool hexNumbers_ = false;
    bool binaryNumbers_ = false;
    bool colourise_ = true;
    const char* style_;
};

#define LOG_MESSAGE LogMessage(__FILE__, __LINE__, kAnsiBold)
