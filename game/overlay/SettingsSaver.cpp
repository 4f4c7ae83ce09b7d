#include "overlay/SettingsSaver.h"

#include "overlay/Notices.h"
#include "overlay/SafeFormat.h"
#include "overlay/Translations.h"
#include "store/Settings.h"

#include <string>

namespace lumaroll {

SettingsSaver::SettingsSaver(Notices& notices) : notices(notices) {}

bool SettingsSaver::save()
{
    std::string why;
    if (Settings::instance().save(&why)) {
        streak = false;
        return true;
    }
    if (!streak) {
        // Long enough to read the reason; the change itself stays for the run.
        notices.notify(formatText(Translations::instance().get("notice.settings_not_saved"), {why}), nullptr, 7.f);
        streak = true;
    }
    return false;
}

} // namespace lumaroll
