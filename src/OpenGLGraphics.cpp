#include "OpenGLGraphics.h"

#include "Oblong.h"
#include "OpenGLImage.h"

#include <GL/gl.h>

namespace {

// Opens one quad of the picture's texture, blended so that the colour key
// and the padding stay transparent. EndTextured closes it and switches
// texturing and blending off again, as every draw leaves them.
void BeginTextured(OpenGLImage* picture)
{
    glBindTexture(GL_TEXTURE_2D, picture->Texture());
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glColor4f(1, 1, 1, 1);
    glBegin(GL_QUADS);
}

void EndTextured()
{
    glEnd();
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
}

} // namespace

void OpenGLGraphics::PutPixel(int x, int y, int colour)
{
    PutPixel(x, y, static_cast<short>((colour & 0xFF0000) >> 16), static_cast<short>((colour >> 8) & 0xFF),
             static_cast<short>(colour & 0xFF));
}

void OpenGLGraphics::PutPixel(int x, int y, short r, short g, short b)
{
    glBegin(GL_POINTS);
    glColor3ub(r & 0xFF, g & 0xFF, b & 0xFF);
    // A point at the pixel's corner rasterises into the neighbouring row on
    // common implementations; its centre lands exactly on pixel (x, y).
    glVertex2f(x + 0.5f, y + 0.5f);
    glEnd();
}

int OpenGLGraphics::GetPixel(int, int)
{
    return 0;
}

void OpenGLGraphics::DrawImage(Image* image, int x, int y)
{
    OpenGLImage* picture = NarrowPicture<OpenGLImage>(image);
    BeginTextured(picture);
    const int right = x + picture->TextureWidth();
    const int bottom = y + picture->TextureHeight();
    glTexCoord2i(0, 0);
    glVertex3f(x, y, 0);
    glTexCoord2i(1, 0);
    glVertex3f(right, y, 0);
    glTexCoord2i(1, 1);
    glVertex3f(right, bottom, 0);
    glTexCoord2i(0, 1);
    glVertex3f(x, bottom, 0);
    EndTextured();
}

void OpenGLGraphics::Blit(Image* source, Image*, Oblong* region, int x, int y)
{
    OpenGLImage* picture = NarrowPicture<OpenGLImage>(source);
    const Oblong whole(0, 0, picture->Width(), picture->Height());
    const Oblong& r = region ? *region : whole;
    BeginTextured(picture);
    const double textureWidth = picture->TextureWidth();
    const double textureHeight = picture->TextureHeight();
    const float s0 = static_cast<float>(r.x / textureWidth);
    const float t0 = static_cast<float>(r.y / textureHeight);
    const float s1 = static_cast<float>((static_cast<double>(r.x) + r.w) / textureWidth);
    const float t1 = static_cast<float>((static_cast<double>(r.y) + r.h) / textureHeight);
    const int right = x + r.w;
    const int bottom = y + r.h;
    glTexCoord2f(s0, t0);
    glVertex3f(x, y, 0);
    glTexCoord2f(s1, t0);
    glVertex3f(right, y, 0);
    glTexCoord2f(s1, t1);
    glVertex3f(right, bottom, 0);
    glTexCoord2f(s0, t1);
    glVertex3f(x, bottom, 0);
    EndTextured();
}
