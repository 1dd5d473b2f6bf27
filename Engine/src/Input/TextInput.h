#pragma once

#include <string>

// Typed text, collected only while active and kept until taken.
class TextInput {
public:
    void start();
    void stop();
    bool isActive() const { return active_; }
    void append(const char* text) { text_ += text; }
    std::string takeText();

private:
    bool active_ = false;
    std::string text_;
};
