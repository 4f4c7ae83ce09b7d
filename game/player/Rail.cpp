// The rails and camera guides of a scene's "L_" drawings.
#include "player/Rail.h"

#include "logic/ProcessFlags.h"
#include "text/PropertyText.h"

#include <hgr/Lines.h>
#include <hgr/Scene.h>
#include <hgr/UserPropertySet.h>

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace lumaroll {

namespace {

// The Lines children of an "L_" node that make rails and guides (the last of
// each name wins).
struct Drawings {
    hgr::Lines* track = nullptr;
    hgr::Lines* normals = nullptr;
    hgr::Lines* camera = nullptr;
    hgr::Lines* look = nullptr;
};

Drawings drawingsOf(hgr::Node* node)
{
    Drawings d;
    for (hgr::Node* child = node->getFirstChild(); child; child = child->getNextSibling()) {
        if (child->getClassId() != hgr::Node::NODE_LINES)
            continue;
        hgr::Lines* lines = static_cast<hgr::Lines*>(child);
        const std::string name = child->getName().c_str();
        if (name == "track")
            d.track = lines;
        else if (name == "tracknormal")
            d.normals = lines;
        else if (name == "cameraposition")
            d.camera = lines;
        else if (name == "cameralookat")
            d.look = lines;
    }
    return d;
}

// The segments of the drawing of an "L_" node, two end points each, without
// those with an end that is not a finite number: a line says how many went.
std::vector<math::Vector3> finiteSegments(const std::string& node, const char* drawing, const hgr::Lines* lines)
{
    std::vector<math::Vector3> points = linesWorldPoints(lines);
    size_t kept = 0;
    int dropped = 0;
    for (size_t i = 0; i + 1 < points.size(); i += 2) {
        if (points[i].isFinite() && points[i + 1].isFinite()) {
            points[kept++] = points[i];
            points[kept++] = points[i + 1];
        } else {
            ++dropped;
        }
    }
    points.resize(kept);
    if (dropped > 0)
        std::fprintf(stderr, "rails: %s %s: %d segment%s with a point that is not a finite number dropped\n",
                     node.c_str(), drawing, dropped, dropped == 1 ? "" : "s");
    return points;
}

RailPath pathOf(const std::vector<math::Vector3>& segments)
{
    RailPath path;
    path.setPoints(buildRailPoints(segments), {});
    return path;
}

} // namespace

std::vector<math::Vector3> linesWorldPoints(const hgr::Lines* lines)
{
    std::vector<math::Vector3> points;
    if (!lines)
        return points;
    const math::Matrix3x4 world = lines->getWorldTransform();
    const int count = lines->getLineCount();
    points.reserve(size_t(count > 0 ? count : 0) * 2);
    for (int i = 0; i < count; ++i) {
        const hgr::Lines::Line& line = lines->getLine(i);
        points.push_back(world.transform(line.start));
        points.push_back(world.transform(line.end));
    }
    return points;
}

RailSet readRails(hgr::Scene* scene)
{
    RailSet set;
    hgr::UserPropertySet* properties = scene->getUserProperties();
    for (hgr::Node* node = scene->getFirstChild(); node; node = node->next(scene)) {
        const std::string name = node->getName().c_str();
        if (name.compare(0, 2, "L_") != 0)
            continue;
        const Drawings d = drawingsOf(node);
        if (!d.track)
            continue;
        const std::vector<math::Vector3> trackSegments = finiteSegments(name, "track", d.track);

        if (d.camera && d.look) {
            CameraGuide guide;
            guide.name = name;
            guide.track = pathOf(trackSegments);
            guide.cameraPath = pathOf(finiteSegments(name, "cameraposition", d.camera));
            guide.lookPath = pathOf(finiteSegments(name, "cameralookat", d.look));
            if (guide.track.points.size() > 1 && guide.cameraPath.points.size() > 1 &&
                guide.lookPath.points.size() > 1) {
                std::printf("camera guide %s: track %.0f, camera path %.0f, look path %.0f\n", name.c_str(),
                            guide.track.length(), guide.cameraPath.length(), guide.lookPath.length());
                set.guides.push_back(std::move(guide));
            }
        }

        Rail rail;
        rail.name = name;
        std::vector<size_t> pieceStarts;
        const std::vector<math::Vector3> points = buildRailPoints(trackSegments, &pieceStarts);
        const std::vector<math::Vector3> normals =
            d.normals ? buildRailPoints(finiteSegments(name, "tracknormal", d.normals))
                      : std::vector<math::Vector3>();
        rail.path.setPoints(points, normals);
        rail.path.setPieces(pieceStarts);
        if (traceEnabled())
            std::printf("[trace] rail %s: %d points, %d pieces, length %.0f\n", name.c_str(),
                        static_cast<int>(points.size()), static_cast<int>(pieceStarts.size()) + 1,
                        rail.path.length());

        // "L_x" reads the properties of "D_x".
        std::string text;
        if (properties) {
            const lang::String key(("D_" + name.substr(2)).c_str());
            if (const lang::String* value = properties->find(key))
                text = wholeText(*value);
        }
        const std::string direction = propertyValue(text, "forwarddirection");
        rail.forwardDirection = !direction.empty() && std::strtod(direction.c_str(), nullptr) < 0.0 ? -1.f : 1.f;
        rail.fallTrigger = propertyValue(text, "deathplane");
        rail.next = propertyValue(text, "next");
        if (propertyValue(text, "tracknormalgravity") == "1" && rail.path.points.size() > 1)
            set.rails.push_back(std::move(rail));
    }

    if (!set.rails.empty()) {
        float total = 0.f;
        for (const Rail& rail : set.rails)
            total += rail.path.length();
        std::printf("rails: %d (total length %.0f)\n", static_cast<int>(set.rails.size()), total);
    }
    return set;
}

} // namespace lumaroll
