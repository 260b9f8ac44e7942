#include "PngFile.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

std::string WritePng(const std::string& path, int width, int height, const std::vector<Uint32>& pixels)
{
    std::string temporary = path + ".XXXXXX";
    const int fd = mkstemp(&temporary[0]);
    if (fd < 0)
        return std::strerror(errno);
    // mkstemp makes the file private; a picture is for anyone the umask allows.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    FILE* file = fdopen(fd, "wb");
    if (!file) {
        const std::string why = std::strerror(errno);
        close(fd);
        unlink(temporary.c_str());
        return why;
    }

    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    // 0xAARRGGBB lies in memory as B, G, R, A on little-endian machines.
    image.format = SDL_BYTEORDER == SDL_LIL_ENDIAN ? PNG_FORMAT_BGRA : PNG_FORMAT_ARGB;
    std::string why;
    if (!png_image_write_to_stdio(&image, file, 0, pixels.data(), 0, nullptr))
        why = image.message;
    else if (std::fflush(file) != 0)
        why = std::strerror(errno);
    if (std::fclose(file) != 0 && why.empty())
        why = std::strerror(errno);
    if (why.empty() && std::rename(temporary.c_str(), path.c_str()) != 0)
        why = std::strerror(errno);
    if (!why.empty())
        unlink(temporary.c_str());
    png_image_free(&image);
    return why;
}
