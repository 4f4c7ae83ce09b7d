// The report of the GUI frame being drawn (FrameReport.h) as the menu's parts
// fill it, and the trace of its named items. The overlay starts it when a
// GUI frame begins and hands the report to its frame observer when the frame
// ends; MenuContext holds the one recorder of the overlay's run.
//
// The noting members run inside a GUI frame only: they read the rectangle of
// the GUI item drawn last.
#pragma once

#include "overlay/FrameReport.h"

#include <string>
#include <vector>

namespace lumaroll {

class FrameRecorder {
public:
    // Empties the report: a GUI frame begins.
    void start();

    FrameReport& report() { return frame; }
    const FrameReport& report() const { return frame; }

    // Records the GUI item drawn last under name in this frame's report
    // (menu code and test bodies name the items a test or trace looks for),
    // with the text it shows when given.
    void noteItem(const std::string& name);
    void noteItem(const std::string& name, const std::string& text);
    // Notes the item unless the last one noted has its name and, under
    // LUMAROLL_TRACE, prints "[trace] <name> at X Y size W H" once for this
    // recorder (the overlay's run), in the first frame that gives the item a
    // size.
    void traceItem(const std::string& name);

private:
    FrameReport frame;
    // Items already traced in this run.
    std::vector<std::string> traced;
};

} // namespace lumaroll
