#include "render/PixelBuffer.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

namespace {

std::uint8_t* RowStart(PixelBuffer& buffer, int y) {
    return buffer.bytes.data() + static_cast<std::size_t>(y) * buffer.stride;
}

}  // namespace

PixelBuffer MakePixelBuffer(int width, int height, ColourRef fill) {
    PixelBuffer buffer;
    buffer.width = std::max(width, 0);
    buffer.height = std::max(height, 0);
    // A 24-bit DIB pads every row to whole 32-bit words.
    buffer.stride = (static_cast<std::size_t>(buffer.width) * 3 + 3) & ~static_cast<std::size_t>(3);
    // A size past what memory can hold is the same failure as a refused
    // allocation.
    if (buffer.height != 0 && buffer.stride > buffer.bytes.max_size() / buffer.height) throw std::bad_alloc();
    buffer.bytes.assign(buffer.stride * buffer.height, 0);
    if ((fill & 0xFFFFFF) == 0 || buffer.height == 0) return buffer;
    // One row painted, then copied into the others (the padding stays 0).
    FillSpan(buffer, 0, 0, buffer.width, fill);
    for (int y = 1; y < buffer.height; ++y) std::memcpy(RowStart(buffer, y), RowStart(buffer, 0), buffer.stride);
    return buffer;
}

ColourRef PixelAt(const PixelBuffer& buffer, int x, int y) {
    const std::uint8_t* p = &buffer.bytes[static_cast<std::size_t>(y) * buffer.stride + static_cast<std::size_t>(x) * 3];
    return static_cast<ColourRef>(p[2]) | static_cast<ColourRef>(p[1]) << 8 | static_cast<ColourRef>(p[0]) << 16;
}

void FillSpan(PixelBuffer& buffer, int y, int left, int right, ColourRef colour) {
    if (y < 0 || y >= buffer.height) return;
    left = std::max(left, 0);
    right = std::min(right, buffer.width);
    if (left >= right) return;
    std::uint8_t* p = RowStart(buffer, y) + static_cast<std::size_t>(left) * 3;
    const std::size_t bytes = static_cast<std::size_t>(right - left) * 3;
    const std::uint8_t blue = static_cast<std::uint8_t>(colour >> 16);
    const std::uint8_t green = static_cast<std::uint8_t>(colour >> 8);
    const std::uint8_t red = static_cast<std::uint8_t>(colour);
    if (blue == green && green == red) {
        std::memset(p, red, bytes);
        return;
    }
    if (bytes < 9) {
        for (std::size_t i = 0; i < bytes; i += 3) p[i] = blue, p[i + 1] = green, p[i + 2] = red;
        return;
    }
    // Eight pixels make 24 bytes that repeat: three 64-bit words, made in
    // registers. The run is written a word at a time, and its last eight
    // bytes together (they start a byte into the colour, as the third word).
    const std::uint64_t c = blue | static_cast<std::uint64_t>(green) << 8 | static_cast<std::uint64_t>(red) << 16;
    std::uint64_t words[3] = {c | c << 24 | c << 48, c >> 16 | c << 8 | c << 32 | c << 56, c >> 8 | c << 16 | c << 40};
    // The words hold the bytes from their low end; a big-endian machine
    // stores the high end first.
    if constexpr (std::endian::native == std::endian::big) {
        for (std::uint64_t& word : words) word = __builtin_bswap64(word);
    }
    std::size_t done = 0;
    for (; done + 24 <= bytes; done += 24) {
        std::memcpy(p + done, &words[0], 8);
        std::memcpy(p + done + 8, &words[1], 8);
        std::memcpy(p + done + 16, &words[2], 8);
    }
    if (done + 8 <= bytes) std::memcpy(p + done, &words[0], 8);
    if (done + 16 <= bytes) std::memcpy(p + done + 8, &words[1], 8);
    std::memcpy(p + bytes - 8, &words[2], 8);
}

void CopyPixels(PixelBuffer& to, int toX, int toY, const PixelBuffer& from, int fromX, int fromY, int width,
                int height) {
    // Trim the block so that both its source and its target lie inside,
    // in 64 bits so that no sum or negation leaves the range.
    const long long skipX = std::max({0LL, -static_cast<long long>(toX), -static_cast<long long>(fromX)});
    const long long skipY = std::max({0LL, -static_cast<long long>(toY), -static_cast<long long>(fromY)});
    const long long endX = std::min({static_cast<long long>(width), static_cast<long long>(to.width) - toX,
                                     static_cast<long long>(from.width) - fromX});
    const long long endY = std::min({static_cast<long long>(height), static_cast<long long>(to.height) - toY,
                                     static_cast<long long>(from.height) - fromY});
    if (endX <= skipX) return;
    const std::size_t rowBytes = static_cast<std::size_t>(endX - skipX) * 3;
    for (long long y = skipY; y < endY; ++y) {
        std::memmove(&to.bytes[static_cast<std::size_t>(toY + y) * to.stride + static_cast<std::size_t>(toX + skipX) * 3],
                     &from.bytes[static_cast<std::size_t>(fromY + y) * from.stride +
                                 static_cast<std::size_t>(fromX + skipX) * 3],
                     rowBytes);
    }
}
