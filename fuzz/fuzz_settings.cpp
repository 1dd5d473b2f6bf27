// Fuzzes the readers of the player's files, settings.ini and records.ini, and their writers against them.
// Whatever the bytes, every setting read lies in its range, every binding holds one to eight keys SDL
// knows, and the text a file would be saved as reads back as the same settings (the same with the
// records); each value written for a setting reads back as that value.

#include "Settings/Records.h"
#include "Settings/SettingsFile.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

void checkSettingsInRange(const Settings& settings)
{
    for (const SettingField& field : settingFields()) {
        if (field.kind == SettingKind::Number || field.kind == SettingKind::Choice) {
            const int value = field.get(settings);
            check(value >= field.low && value <= field.high);
        }
        Settings again = defaultSettings();
        check(!setSetting(field, again, settingText(field, settings)));
        check(settingText(field, again) == settingText(field, settings));
    }
    for (const auto& keys : settings.keys) {
        check(!keys.empty() && keys.size() <= 8);
        for (SDL_Scancode key : keys)
            check(key > SDL_SCANCODE_UNKNOWN && key < SDL_NUM_SCANCODES);
    }
    for (const auto& buttons : settings.padButtons)
        check(!buttons.empty() && buttons.size() <= 8);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const SettingsFile file = SettingsFile::parse(text);
    checkSettingsInRange(file.settings());
    check(SettingsFile::parse(file.text()).settings() == file.settings());
    for (const std::string& problem : file.problems())
        check(problem.rfind("settings.ini ", 0) == 0);

    const Records records = Records::parse(text);
    const Records again = Records::parse(records.text());
    for (const Records::Kind kind : {Records::FirstBoss, Records::Fight}) {
        check(!records.best(kind) || *records.best(kind) > 0);
        check(again.best(kind) == records.best(kind));
    }
    check(again.problems().empty());
    return 0;
}
