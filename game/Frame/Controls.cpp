#include "Frame/Controls.h"

namespace {

Controls& bound()
{
    static Controls controls = defaultControls();
    return controls;
}

} // namespace

Controls controlsOf(const Settings& settings) { return {settings.keys, settings.padButtons, settings.rumble}; }

const Controls& defaultControls()
{
    static const Controls controls = controlsOf(defaultSettings());
    return controls;
}

const Controls& boundControls() { return bound(); }

void bindControls(const Controls& controls) { bound() = controls; }
