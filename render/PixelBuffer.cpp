#include "render/PixelBuffer.h"

#include <algorithm>
#include <cstring>

PixelBuffer MakePixelBuffer(int width, int height, ColourRef fill) {
    PixelBuffer buffer;
    buffer.width = std::max(width, 0);
    buffer.height = std::max(height, 0);
    // A 24-bit DIB pads every row to whole 32-bit words.
    buffer.stride = (buffer.width * 3 + 3) & ~3;
    buffer.bytes.assign(static_cast<std::size_t>(buffer.stride) * buffer.height, 0);
    for (int y = 0; y < buffer.height; ++y) FillSpan(buffer, y, 0, buffer.width, fill);
    return buffer;
}

ColourRef PixelAt(const PixelBuffer& buffer, int x, int y) {
    const std::uint8_t* p = &buffer.bytes[static_cast<std::size_t>(y) * buffer.stride + x * 3];
    return static_cast<ColourRef>(p[2]) | static_cast<ColourRef>(p[1]) << 8 | static_cast<ColourRef>(p[0]) << 16;
}

void FillSpan(PixelBuffer& buffer, int y, int left, int right, ColourRef colour) {
    if (y < 0 || y >= buffer.height) return;
    left = std::max(left, 0);
    right = std::min(right, buffer.width);
    std::uint8_t* p = buffer.bytes.data() + static_cast<std::size_t>(y) * buffer.stride + left * 3;
    for (int x = left; x < right; ++x, p += 3) {
        p[0] = static_cast<std::uint8_t>(colour >> 16);
        p[1] = static_cast<std::uint8_t>(colour >> 8);
        p[2] = static_cast<std::uint8_t>(colour);
    }
}

void CopyPixels(PixelBuffer& to, int toX, int toY, const PixelBuffer& from, int fromX, int fromY, int width,
                int height) {
    // Trim the block so that both its source and its target lie inside.
    int skipX = std::max({0, -toX, -fromX});
    int skipY = std::max({0, -toY, -fromY});
    width = std::min({width, to.width - toX, from.width - fromX});
    height = std::min({height, to.height - toY, from.height - fromY});
    for (int y = skipY; y < height; ++y) {
        if (width <= skipX) return;
        std::memmove(&to.bytes[static_cast<std::size_t>(toY + y) * to.stride + (toX + skipX) * 3],
                     &from.bytes[static_cast<std::size_t>(fromY + y) * from.stride + (fromX + skipX) * 3],
                     static_cast<std::size_t>(width - skipX) * 3);
    }
}
