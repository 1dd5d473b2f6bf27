#include "Utils/LogMessage.h"

#include "Utils/LogFile.h"

#include <algorithm>
#include <bitset>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <string_view>

namespace {

// A relative source path that climbs out of the build directory keeps only the part below it.
std::string withoutParentSteps(std::string path)
{
    constexpr std::string_view parentStep = "..\\";
    for (size_t found = path.find(parentStep); found != std::string::npos; found = path.find(parentStep))
        path.erase(found, parentStep.size());
    return path;
}

std::string lowerHex(uint32_t value)
{
    char digits[16];
    std::snprintf(digits, sizeof digits, "%x", static_cast<unsigned>(value));
    return digits;
}

std::string binaryDigits(uint8_t value) { return std::bitset<8>(value).to_string(); }

} // namespace

LogMessage::LogMessage(const char* file, int line, const char* style)
    : location_(withoutParentSteps(file ? file : "") + ":" + std::to_string(line) + " | ")
    , out_(&std::cout)
    , style_(style ? style : "")
{
}

LogMessage::~LogMessage()
{
    if (text_.empty())
        return;
    if (showLocation_) {
        if (colourise_)
            *out_ << kAnsiWhite;
        *out_ << location_;
        if (colourise_)
            *out_ << kAnsiReset;
    }
    // Every value was followed by a blank; the last one ends the line instead.
    text_.pop_back();
    const size_t shownLocation = showLocation_ ? location_.size() : 0;
    text_ = cutLongLines(text_, kLongestLogLine - std::min(shownLocation, kLongestLogLine / 2));
    if (colourise_)
        *out_ << style_;
    *out_ << text_;
    if (colourise_)
        *out_ << kAnsiReset;
    *out_ << '\n' << std::flush;
}

LogMessage& LogMessage::toStream(std::ostream& stream)
{
    out_ = &stream;
    showLocation_ = false;
    colourise_ = false;
    return *this;
}

LogMessage& LogMessage::setStream(std::ostream& stream)
{
    out_ = &stream;
    return *this;
}

LogMessage& LogMessage::noLocation()
{
    showLocation_ = false;
    return *this;
}

LogMessage& LogMessage::noColour()
{
    colourise_ = false;
    return *this;
}

LogMessage& LogMessage::hex()
{
    hexNumbers_ = true;
    binaryNumbers_ = false;
    return *this;
}

LogMessage& LogMessage::binary()
{
    binaryNumbers_ = true;
    hexNumbers_ = false;
    return *this;
}

LogMessage& LogMessage::operator<<(const char* text)
{
    if (text == nullptr)
        return *this << nullptr;
    text_ += text;
    text_ += ' ';
    return *this;
}

LogMessage& LogMessage::operator<<(const std::string& text)
{
    text_ += '"';
    text_ += text;
    text_ += "\" ";
    return *this;
}

LogMessage& LogMessage::operator<<(std::nullptr_t)
{
    text_ += "(nullptr) ";
    return *this;
}

LogMessage& LogMessage::operator<<(char c)
{
    text_ += '\'';
    text_ += c;
    text_ += "' ";
    return *this;
}

LogMessage& LogMessage::operator<<(char16_t c)
{
    text_ += "'" + std::to_string(static_cast<uint32_t>(c)) + "' ";
    return *this;
}

LogMessage& LogMessage::operator<<(wchar_t c)
{
    text_ += "'" + std::to_string(static_cast<uint32_t>(c)) + "' ";
    return *this;
}

LogMessage& LogMessage::operator<<(char32_t c)
{
    text_ += "'" + std::to_string(static_cast<uint32_t>(c)) + "' ";
    return *this;
}

LogMessage& LogMessage::operator<<(bool value)
{
    text_ += value ? "true " : "false ";
    return *this;
}

LogMessage& LogMessage::operator<<(unsigned char value)
{
    if (binaryNumbers_)
        text_ += binaryDigits(value);
    else if (hexNumbers_)
        text_ += lowerHex(value);
    else
        text_ += std::to_string(value);
    text_ += ' ';
    return *this;
}

LogMessage& LogMessage::operator<<(signed char value)
{
    if (binaryNumbers_)
        text_ += binaryDigits(static_cast<uint8_t>(value));
    else if (hexNumbers_)
        text_ += lowerHex(static_cast<uint32_t>(static_cast<int32_t>(value))); // sign-extended: -1 is ffffffff
    else
        text_ += std::to_string(value);
    text_ += ' ';
    return *this;
}
