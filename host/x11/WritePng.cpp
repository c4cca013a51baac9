#include <png.h>

#include <cstdio>
#include <vector>

#include "host/x11/LinuxSaver.h"

bool WritePng(const PixelBuffer& buffer, const std::string& path) {
    std::FILE* stream = std::fopen(path.c_str(), "wb");
    if (stream == nullptr) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(stream);
        return false;
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
    return std::fclose(stream) == 0;
}
