#include "overlay/FrameRecorder.h"

#include <imgui.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace lumaroll {

void FrameRecorder::start()
{
    frame = FrameReport();
}

void FrameRecorder::noteItem(const std::string& name)
{
    noteItem(name, std::string());
}

void FrameRecorder::noteItem(const std::string& name, const std::string& text)
{
    const ImVec2 min = ImGui::GetItemRectMin(), max = ImGui::GetItemRectMax();
    frame.items.push_back(FrameReport::Item{name, min.x, min.y, max.x - min.x, max.y - min.y, text});
}

void FrameRecorder::traceItem(const std::string& name)
{
    if (frame.items.empty() || frame.items.back().name != name)
        noteItem(name);
    if (!std::getenv("LUMAROLL_TRACE") || std::find(traced.begin(), traced.end(), name) != traced.end())
        return;
    // Where a scripted click finds the item; a tab bar lays its tabs out a
    // frame late, so an item without a size yet is traced once it has one.
    const FrameReport::Item& item = frame.items.back();
    if (item.width <= 0.f || item.height <= 0.f)
        return;
    std::printf("[trace] %s at %.0f %.0f size %.0f %.0f\n", name.c_str(), double(item.x), double(item.y),
                double(item.width), double(item.height));
    traced.push_back(name);
}

} // namespace lumaroll
