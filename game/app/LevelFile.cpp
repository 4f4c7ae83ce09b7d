#include "app/LevelFile.h"

#include "files/RegularFile.h"

#include <hgr/ResourceManager.h>
#include <hgr/Scene.h>
#include <hgr/SceneReader.h>
#include <io/IOException.h>
#include <lang/Format.h>

#include <cerrno>
#include <climits>
#include <sys/stat.h>
#include <unistd.h>

namespace lumaroll {

namespace {

int openLevel(const std::string& path)
{
    std::string why;
    const int fd = openRegularFile(path, &why);
    if (fd < 0)
        throw io::IOException(
            lang::Format("Failed to open {0}: {1}", lang::String(path.c_str()), lang::String(why.c_str())));
    return fd;
}

} // namespace

DescriptorInputStream::DescriptorInputStream(int fd, const std::string& name) : fd(fd), name(name.c_str()) {}

DescriptorInputStream::~DescriptorInputStream()
{
    ::close(fd);
}

int DescriptorInputStream::read(void* buf, int n)
{
    char* out = static_cast<char*>(buf);
    int done = 0;
    while (done < n) {
        const ssize_t got = ::read(fd, out + done, size_t(n - done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw io::IOException(lang::Format("Failed to read {1} bytes from {0}", name, n));
        if (got == 0)
            break;
        done += int(got);
    }
    return done;
}

int DescriptorInputStream::available()
{
    struct stat info;
    const off_t position = ::lseek(fd, 0, SEEK_CUR);
    if (position < 0 || ::fstat(fd, &info) != 0)
        throw io::IOException(lang::Format("Failed to seek {0}", name));
    const off_t left = info.st_size - position;
    if (left < 0)
        return 0;
    return left > INT_MAX ? INT_MAX : int(left);
}

LevelFile::LevelFile(const std::string& path) : path(path), file(openLevel(path), path), header(&file) {}

lang::Ptr<hgr::Scene> LevelFile::readScene(gr::Context* context, hgr::ResourceManager* resources,
                                           const std::string& textureDir, const std::string& shaderDir,
                                           const std::string& particleDir)
{
    const lang::String name(path.c_str());
    lang::Ptr<hgr::Scene> scene = new hgr::Scene;
    scene->setName(name);
    hgr::SceneReader reader(context, resources ? resources : hgr::ResourceManager::getDefault(context), name,
                            textureDir.c_str(), shaderDir.c_str(), particleDir.c_str());
    reader.read(scene, header);
    return scene;
}

} // namespace lumaroll
