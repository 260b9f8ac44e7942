// OpenGLImage::BuildTexels without a GL context: surfaces of several pixel
// sizes, with rows padded beyond their pixels, become opaque texels in the
// byte order the returned upload format names, with the key and the
// padding transparent.
#include "OpenGLImage.h"

#include <gtest/gtest.h>

#include <sstream>

#ifndef GL_BGRA
#define GL_BGRA 0x80E1
#endif

namespace {

struct SurfaceCase {
    const char* name;
    int bitsPerPixel;
    Uint32 rmask, gmask, bmask;
    Uint32 unusedBits; // set in every pixel where the format has spare bits
    // How far a component may stray: SDL widens 6-bit green 63 to 254.
    int tolerance;
    int pitch; // bytes from row to row, or 0 for what SDL chooses
};

// The 3x2 picture: red, green, blue over black, magenta, white.
const Uint32 Picture[2][3] = {{0xFF0000, 0x00FF00, 0x0000FF}, {0x000000, 0xFF00FF, 0xFFFFFF}};

SDL_Surface* MakeSurface(const SurfaceCase& c, std::vector<Uint8>& memory)
{
    memory.assign(static_cast<size_t>(c.pitch) * 2, 0x5A);
    SDL_Surface* surface =
        c.pitch ? SDL_CreateRGBSurfaceFrom(memory.data(), 3, 2, c.bitsPerPixel, c.pitch, c.rmask, c.gmask, c.bmask, 0)
                : SDL_CreateRGBSurface(SDL_SWSURFACE, 3, 2, c.bitsPerPixel, c.rmask, c.gmask, c.bmask, 0);
    const int bytes = surface->format->BytesPerPixel;
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            const Uint32 rgb = Picture[y][x];
            const Uint32 value =
                SDL_MapRGB(surface->format, rgb >> 16 & 0xFF, rgb >> 8 & 0xFF, rgb & 0xFF) | c.unusedBits;
            Uint8* at = static_cast<Uint8*>(surface->pixels) + y * surface->pitch + x * bytes;
            for (int i = 0; i < bytes; ++i)
                at[i] = value >> (8 * i) & 0xFF;
        }
    return surface;
}

// The texel as 0xAARRGGBB, read in the byte order that format names.
Uint32 Decode(Uint32 texel, GLenum format)
{
    const Uint32 alpha = texel & 0xFF000000;
    if (format == GL_RGBA)
        return alpha | (texel & 0xFF) << 16 | (texel & 0xFF00) | (texel >> 16 & 0xFF);
    return texel;
}

// "" when texel, read as 0xAARRGGBB, is the opaque colour rgb with every
// component within tolerance.
std::string Mismatch(Uint32 rgb, Uint32 texel, int tolerance)
{
    bool near = (texel >> 24) == 0xFF;
    for (int shift : {0, 8, 16}) {
        const int difference = static_cast<int>(rgb >> shift & 0xFF) - static_cast<int>(texel >> shift & 0xFF);
        near = near && difference <= tolerance && -difference <= tolerance;
    }
    if (near)
        return "";
    std::ostringstream text;
    text << std::hex << "expected opaque 0x" << rgb << ", texel reads 0x" << texel;
    return text.str();
}

class OpenGLImageTexels : public ::testing::TestWithParam<SurfaceCase>
{
};

TEST_P(OpenGLImageTexels, PixelsBecomeOpaqueTexelsAndKeyAndPaddingTransparent)
{
    const SurfaceCase c = GetParam();
    std::vector<Uint8> memory;
    SDL_Surface* surface = MakeSurface(c, memory);
    ASSERT_GT(surface->pitch, 3 * surface->format->BytesPerPixel) << "rows must be padded";

    for (const int key : {0, 0xFF00FF}) {
        SCOPED_TRACE(key ? "key magenta" : "key black");
        std::vector<Uint32> texels;
        const GLenum format = OpenGLImage::BuildTexels(surface, key, 4, 4, texels);
        ASSERT_TRUE(format == GL_RGBA || format == GL_BGRA) << format;
        ASSERT_EQ(16u, texels.size());
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x) {
                const Uint32 texel = texels[y * 4 + x];
                if (x >= 3 || y >= 2) {
                    EXPECT_EQ(0u, texel) << "padding at " << x << "," << y;
                } else if (static_cast<int>(Picture[y][x]) == key) {
                    EXPECT_EQ(0u, texel) << "keyed pixel at " << x << "," << y;
                } else {
                    EXPECT_EQ("", Mismatch(Picture[y][x], Decode(texel, format), c.tolerance))
                        << "pixel at " << x << "," << y;
                }
            }
    }
    SDL_FreeSurface(surface);
}

INSTANTIATE_TEST_SUITE_P(
    PixelLayouts, OpenGLImageTexels,
    ::testing::Values(SurfaceCase{"RedLow24", 24, 0x0000FF, 0x00FF00, 0xFF0000, 0, 0, 0},
                      SurfaceCase{"RedHigh24", 24, 0xFF0000, 0x00FF00, 0x0000FF, 0, 0, 0},
                      SurfaceCase{"Rgb565", 16, 0xF800, 0x07E0, 0x001F, 0, 2, 0},
                      // A display-format pixel may carry anything in its spare
                      // top byte; it is neither colour nor alpha. Its rows are
                      // a pixel longer than the picture.
                      SurfaceCase{"RedHigh32SpareByteSetRowsPadded", 32, 0xFF0000, 0x00FF00, 0x0000FF, 0xAB000000,
                                  0, 16}),
    [](const ::testing::TestParamInfo<SurfaceCase>& info) { return std::string(info.param.name); });

} // namespace
