// A 24-bit picture in memory, laid out as a top-down 24-bit DIB: rows from
// the top, each pixel blue, green, red, each row padded to a multiple of
// four bytes. The software drawing surface draws into it, and a frame is
// copied from one buffer into another as BitBlt copies a bitmap.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <vector>

#include "render/DrawingSurface.h"

// Allocates as std::allocator does, but asks for the memory without the
// allocator's own failure handling and throws std::bad_alloc itself when
// none is given, so that every build (the sanitizer build included, whose
// allocator would otherwise end the process) lets the program report a
// picture too large for the memory and end in order.
template <typename T>
struct PixelAllocator {
    using value_type = T;
    PixelAllocator() = default;
    template <typename U>
    PixelAllocator(const PixelAllocator<U>&) {}
    T* allocate(std::size_t n) {
        if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_alloc();
        void* memory = ::operator new(n * sizeof(T), std::nothrow);
        if (memory == nullptr) throw std::bad_alloc();
        return static_cast<T*>(memory);
    }
    void deallocate(T* p, std::size_t) { ::operator delete(p, std::nothrow); }
    template <typename U>
    bool operator==(const PixelAllocator<U>&) const { return true; }
    template <typename U>
    bool operator!=(const PixelAllocator<U>&) const { return false; }
};

struct PixelBuffer {
    int width = 0;
    int height = 0;
    std::size_t stride = 0;  // bytes per row
    std::vector<std::uint8_t, PixelAllocator<std::uint8_t>> bytes;
};

// A width x height buffer filled with one colour. Negative sizes count as 0.
// Throws std::bad_alloc when the memory cannot be had.
PixelBuffer MakePixelBuffer(int width, int height, ColourRef fill);

// The colour at (x, y) as a COLORREF; the caller keeps (x, y) inside.
ColourRef PixelAt(const PixelBuffer& buffer, int x, int y);

// Sets the pixels x in [left, right) of row y, clipped to the buffer.
void FillSpan(PixelBuffer& buffer, int y, int left, int right, ColourRef colour);

// Copies the width x height block of `from` at (fromX, fromY) to (toX, toY)
// in `to`, as a SRCCOPY transfer: the parts that lie outside either buffer
// are left out. Any coordinates and sizes are taken, the 32-bit extremes
// included.
void CopyPixels(PixelBuffer& to, int toX, int toY, const PixelBuffer& from, int fromX, int fromY, int width,
                int height);
