#include "Input/TextInput.h"

#include <SDL_keyboard.h>

#include <utility>

void TextInput::start()
{
    SDL_StartTextInput();
    active_ = true;
}

void TextInput::stop()
{
    SDL_StopTextInput();
    active_ = false;
}

std::string TextInput::takeText() { return std::exchange(text_, std::string()); }
