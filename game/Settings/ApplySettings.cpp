#include "Settings/ApplySettings.h"

#include "Audio/Sound.h"
#include "Core/Core.h"
#include "Fight/World.h"
#include "Frame/Controls.h"
#include "Input/Window.h"
#include "Utils/Path.h"

namespace {

// The mixer's full volume.
constexpr int kMixerVolume = 128;

int percentOf(int volume, int percent) { return volume * percent / kMaxVolume; }

PictureScaling pictureScalingOf(Scaling scaling)
{
    switch (scaling) {
    case Scaling::Sharp:
        return PictureScaling::Sharp;
    case Scaling::PixelPerfect:
        return PictureScaling::WholeMultiples;
    case Scaling::Smooth:
        break;
    }
    return PictureScaling::Smooth;
}

} // namespace

void applySettings(const Settings& settings, World& world)
{
    world.music.setVolume(percentOf(kMusicVolume, settings.musicVolume));
    Sound::setChannelVolume(percentOf(kMixerVolume, settings.effectsVolume));
    bindControls(controlsOf(settings));
    world.timerShown = settings.timer;
    world.victoryMessage = settings.language == Language::English ? kEnglishVictoryMessage : kVictoryMessage;
    Core& core = Core::instance();
    core.setPictureScaling(pictureScalingOf(settings.scaling));
    if (core.hasWindow() && core.window().isFullscreen() != settings.fullscreen)
        core.window().toggleDesktopFullscreen();
}

std::string settingsPath() { return basePath() + "/userData/settings.ini"; }
std::string recordsPath() { return basePath() + "/userData/records.ini"; }
std::string controllerMappingsPath() { return basePath() + "/userData/gamecontrollerdb.txt"; }
