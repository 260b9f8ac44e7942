#include "GLContext.h"

#include "Fixtures.h"

#include "OpenGLDriver.h"
#include "OpenGLImage.h"
#include "Scene.h"

#include <GL/gl.h>

#include <cstdlib>
#include <stdexcept>

namespace glcontext {

OpenGLDriver* Driver()
{
    return fixtures::ProcessDriver<OpenGLDriver>(scene::ScreenWidth, scene::ScreenHeight);
}

std::vector<Uint32> ReadBlock(int x, int y, int width, int height)
{
    Driver();
    std::vector<Uint8> rgba(static_cast<size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    // GL counts rows from the bottom.
    glReadPixels(x, scene::ScreenHeight - y - height, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    std::vector<Uint32> block(static_cast<size_t>(width) * height);
    for (int row = 0; row < height; ++row) {
        const int glRow = height - 1 - row;
        for (int column = 0; column < width; ++column) {
            const Uint8* p = &rgba[(static_cast<size_t>(glRow) * width + column) * 4];
            block[static_cast<size_t>(row) * width + column] = p[0] << 16 | p[1] << 8 | p[2];
        }
    }
    return block;
}

std::unique_ptr<OpenGLImage> LoadPicture(const fixtures::ScratchDir& dir, const std::string& name, int width,
                                         int height, const std::function<Uint32(int, int)>& rgb, int key)
{
    Driver();
    fixtures::WritePicture(dir / name, width, height, rgb);
    auto picture = std::make_unique<OpenGLImage>();
    picture->LoadImage(dir / name, key);
    return picture;
}

Uint32 ReadPixel(int x, int y)
{
    return ReadBlock(x, y, 1, 1)[0];
}

} // namespace glcontext
