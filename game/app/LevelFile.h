// The level's scene file, opened once and only as a regular file: its header
// (the platform the context must report before the scene is read) and then
// its scene are read from that one descriptor. A named pipe given as the
// level ends the load at once like any unreadable level instead of waiting
// for a writer, and an entry swapped between the header and the scene cannot
// be read in the middle of a level.
#pragma once

#include <hgr/SceneInputStream.h>
#include <io/FileInputStream.h>
#include <lang/Ptr.h>
#include <lang/String.h>

#include <string>

namespace gr {
class Context;
}
namespace hgr {
class ResourceManager;
class Scene;
} // namespace hgr

namespace lumaroll {

class LevelFile {
public:
    // Opens path and reads the scene header. Throws io::IOException "Failed to
    // open <path>" when it cannot be opened or is a folder, a named pipe or a
    // device; the header's own exceptions (wrong tag or version, a file that
    // ends inside it) pass through.
    explicit LevelFile(const std::string& path);
    LevelFile(const LevelFile&) = delete;
    LevelFile& operator=(const LevelFile&) = delete;

    // The platform id of the header (0 in files before version 180).
    int platform() const { return header.getPlatform(); }

    // Reads the scene that follows the header, as hgr::Scene's loader from a
    // file name does, with the scene named after the path. Call once; throws
    // the scene reader's io::IOException for a broken file.
    lang::Ptr<hgr::Scene> readScene(gr::Context* context, hgr::ResourceManager* resources,
                                    const std::string& textureDir, const std::string& shaderDir,
                                    const std::string& particleDir);

private:
    std::string path;
    io::FileInputStream file;
    hgr::SceneInputStream header;
};

} // namespace lumaroll
