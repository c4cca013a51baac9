#include "render/ShiftedSurface.h"

const SurfacePoint* ShiftedSurface::Shifted(const SurfacePoint* points, int count) {
    if (points == nullptr || count <= 0) return points;
    shifted_.resize(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) shifted_[i] = {ShiftX(points[i].x), ShiftY(points[i].y)};
    return shifted_.data();
}

SurfaceObject ShiftedSurface::CreatePolyPolygonRgn(const SurfacePoint* points, const int* counts, int polygonCount,
                                                   int fillMode) {
    if (points == nullptr || counts == nullptr || polygonCount <= 0)
        return target_.CreatePolyPolygonRgn(points, counts, polygonCount, fillMode);
    int total = 0;
    for (int p = 0; p < polygonCount; ++p) total += counts[p] > 0 ? counts[p] : 0;
    return target_.CreatePolyPolygonRgn(Shifted(points, total), counts, polygonCount, fillMode);
}

bool ShiftedSurface::Polygon(const SurfacePoint* points, int count) {
    return target_.Polygon(Shifted(points, count), count);
}
