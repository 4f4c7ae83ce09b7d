// How the port menu and the overlay's keys save the settings: every change
// they store is written to config.ini at once through save(), the one caller
// of Settings::save outside the store, so that no change can fail to save
// unheard of. The value stays in force for the run either way. A failure
// prints "settings: could not save <path>: <reason>" (every failed save, see
// Settings::save) and queues the notice "notice.settings_not_saved" with the
// reason, once for each streak of failed saves: a slider dragged over a full
// disk saves at every step and tells the user once. A save that succeeds
// ends the streak.
#pragma once

namespace lumaroll {

class Notices;

class SettingsSaver {
public:
    // The notices are the overlay's and outlive the saver.
    explicit SettingsSaver(Notices& notices);
    SettingsSaver(const SettingsSaver&) = delete;
    SettingsSaver& operator=(const SettingsSaver&) = delete;

    // Writes the whole store to Settings::path(); false when it could not be
    // saved (reported as above).
    bool save();

private:
    Notices& notices;
    // The last save failed and the streak's notice was queued.
    bool streak = false;
};

} // namespace lumaroll
