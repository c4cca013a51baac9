#include <png.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

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

// The frame is written under a temporary name of its own beside the file
// and renamed over it only when complete, so a failed write never leaves
// part of a frame under the frame's name. The temporary file is made anew
// (mkstemp: never an existing file, nor where a planted link points), so
// two renders into one folder do not meet and nothing outside it is written.
bool WritePng(const PixelBuffer& buffer, const std::string& path, std::string& why) {
    std::string temporary = path + ".XXXXXX";
    const int descriptor = mkstemp(temporary.data());
    if (descriptor < 0) {
        why = std::strerror(errno);
        return false;
    }
    // mkstemp makes the file private; the frame gets what any new file of
    // this user gets (0666 under the umask), as a plain fopen would give.
    const mode_t mask = umask(0);
    umask(mask);
    std::FILE* stream = nullptr;
    if (fchmod(descriptor, 0666 & ~mask) != 0 || (stream = fdopen(descriptor, "wb")) == nullptr) {
        why = std::strerror(errno);
        close(descriptor);
        unlink(temporary.c_str());
        return false;
    }
    errno = 0;
    why = WritePngStream(buffer, stream);
    if (std::fflush(stream) != 0 && why.empty()) why = std::strerror(errno);
    if (std::fclose(stream) != 0 && why.empty()) why = std::strerror(errno);
    if (why.empty() && std::rename(temporary.c_str(), path.c_str()) != 0) why = std::strerror(errno);
    if (why.empty()) return true;
    unlink(temporary.c_str());
    return false;
}
