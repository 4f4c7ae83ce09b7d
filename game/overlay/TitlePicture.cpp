#include "overlay/TitlePicture.h"

#include "overlay/AssetFiles.h"
#include "overlay/TitleImage.h"

#include <gr/gles2/GLES2_Dispatch.h>

namespace lumaroll {

void TitlePicture::load()
{
    release();
    RgbaImage image = decodeRgba(readAssetFile("title/title.png"));
    if (image.width <= 0 || image.height <= 0)
        return;
    shrinkTitleImage(image);
    GLuint texture = 0;
    gr::gl.GenTextures(1, &texture);
    gr::gl.BindTexture(GL_TEXTURE_2D, texture);
    gr::gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    gr::gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    gr::gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    gr::gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    gr::gl.PixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gr::gl.TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, image.width, image.height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                      image.pixels.data());
    name = texture;
    pixelsWide = image.width;
    pixelsHigh = image.height;
}

void TitlePicture::release()
{
    if (name != 0) {
        const GLuint texture = name;
        gr::gl.DeleteTextures(1, &texture);
    }
    name = 0;
    pixelsWide = pixelsHigh = 0;
}

} // namespace lumaroll
