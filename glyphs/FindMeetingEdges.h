// The pairs of edges whose boxes meet, found without testing every pair.
#pragma once

#include <cstddef>
#include <functional>
#include <vector>

// The box around an edge: its spans of x and y, ends included.
struct EdgeBox {
    double left, right, bottom, top;
};

// Calls `meet(i, k)`, i < k, exactly once for each pair of boxes that meet
// (overlap or touch, ends included), in no particular order; the caller
// makes its own exact test of the edges. Stops, returning false, as soon as
// `meet` returns false. The boxes are split again and again at the middle of
// x or y, a box that straddles the split going to both halves, so for an
// outline (many short edges, few long ones) the work grows as n log n plus
// the pairs handed back, however steep or long its sides. Coordinates must
// be finite.
bool FindMeetingEdges(const std::vector<EdgeBox>& boxes, const std::function<bool(std::size_t, std::size_t)>& meet);
