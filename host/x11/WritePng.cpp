#include <png.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "host/x11/LinuxSaver.h"

namespace {

// Writes the PNG data to an open stream. Empty on success, else the reason.
std::string WritePngStream(const PixelBuffer& buffer, std::FILE* stream) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        // libpng stops at the first failed write; errno tells why.
        return errno != 0 ? std::strerror(errno) : "libpng could not encode the frame";
    }
    png_init_io(png, stream);
    png_set_IHDR(png, info, buffer.width, buffer.height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    // The buffer holds blue, green, red; libpng swaps them as it writes.
    png_set_bgr(png);
    for (int y = 0; y < buffer.height; ++y)
        png_write_row(png, const_cast<png_bytep>(&buffer.bytes[static_cast<std::size_t>(y) * buffer.stride]));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return "";
}

}  // namespace

// The frame is written under a temporary name beside the file and renamed
// over it only when complete, so a failed write never leaves part of a
// frame under the frame's name.
bool WritePng(const PixelBuffer& buffer, const std::string& path, std::string& why) {
    const std::string temporary = path + ".part";
    errno = 0;
    std::FILE* stream = std::fopen(temporary.c_str(), "wb");
    if (stream == nullptr) {
        why = std::strerror(errno);
        return false;
    }
    why = WritePngStream(buffer, stream);
    if (std::fflush(stream) != 0 && why.empty()) why = std::strerror(errno);
    if (std::fclose(stream) != 0 && why.empty()) why = std::strerror(errno);
    if (why.empty() && std::rename(temporary.c_str(), path.c_str()) != 0) why = std::strerror(errno);
    if (why.empty()) return true;
    unlink(temporary.c_str());
    return false;
}
