#include "render/RecordingSurface.h"

#include <cstdint>

namespace {

SurfaceObject Handle(std::size_t number) { return reinterpret_cast<SurfaceObject>(static_cast<std::uintptr_t>(number)); }
std::size_t Number(SurfaceObject object) { return static_cast<std::size_t>(reinterpret_cast<std::uintptr_t>(object)); }

}  // namespace

RecordingSurface::RecordingSurface() {
    defaultBrush_ = Make(Kind::Brush);
    defaultPen_ = Make(Kind::Pen);
    selectedBrush_ = defaultBrush_;
    selectedPen_ = defaultPen_;
}

SurfaceObject RecordingSurface::Make(Kind kind) {
    made_.push_back({kind, false});
    return Handle(made_.size());
}

RecordingSurface::Made* RecordingSurface::Find(SurfaceObject object) {
    std::size_t number = Number(object);
    if (number == 0 || number > made_.size()) return nullptr;
    return &made_[number - 1];
}

SurfaceObject RecordingSurface::CreateSolidBrush(ColourRef colour) {
    SurfaceObject brush = Make(Kind::Brush);
    calls_.push_back({.op = DrawOp::CreateSolidBrush, .colour = colour, .object = brush});
    return brush;
}

SurfaceObject RecordingSurface::CreatePen(int style, int width, ColourRef colour) {
    SurfaceObject pen = Make(Kind::Pen);
    calls_.push_back({.op = DrawOp::CreatePen, .colour = colour, .value = style, .width = width, .object = pen});
    return pen;
}

SurfaceObject RecordingSurface::CreatePolyPolygonRgn(const SurfacePoint* points, const int* counts,
                                                     int polygonCount, int fillMode) {
    SurfaceObject region = Make(Kind::Region);
    DrawCall call{.op = DrawOp::CreatePolyPolygonRgn, .value = fillMode, .object = region};
    int total = 0;
    for (int i = 0; i < polygonCount; ++i) {
        call.counts.push_back(counts[i]);
        total += counts[i];
    }
    call.points.assign(points, points + total);
    calls_.push_back(std::move(call));
    return region;
}

SurfaceObject RecordingSurface::SelectObject(SurfaceObject object) {
    calls_.push_back({.op = DrawOp::SelectObject, .object = object});
    Made* made = Find(object);
    if (made == nullptr || made->deleted) {
        ++misuses_;
        return nullptr;
    }
    SurfaceObject previous = nullptr;
    if (made->kind == Kind::Brush) {
        previous = selectedBrush_;
        selectedBrush_ = object;
    } else if (made->kind == Kind::Pen) {
        previous = selectedPen_;
        selectedPen_ = object;
    }
    return previous;
}

bool RecordingSurface::DeleteObject(SurfaceObject object) {
    calls_.push_back({.op = DrawOp::DeleteObject, .object = object});
    Made* made = Find(object);
    if (made == nullptr || made->deleted || object == selectedBrush_ || object == selectedPen_) {
        ++misuses_;
        return false;
    }
    made->deleted = true;
    return true;
}

int RecordingSurface::SetPolyFillMode(int mode) {
    calls_.push_back({.op = DrawOp::SetPolyFillMode, .value = mode});
    int previous = fillMode_;
    fillMode_ = mode;
    return previous;
}

bool RecordingSurface::Polygon(const SurfacePoint* points, int count) {
    calls_.push_back({.op = DrawOp::Polygon, .object = selectedBrush_, .points = {points, points + count}});
    return true;
}

bool RecordingSurface::MoveToEx(int x, int y) {
    calls_.push_back({.op = DrawOp::MoveToEx, .object = selectedPen_, .points = {{x, y}}});
    return true;
}

bool RecordingSurface::LineTo(int x, int y) {
    calls_.push_back({.op = DrawOp::LineTo, .object = selectedPen_, .points = {{x, y}}});
    return true;
}

bool RecordingSurface::PaintRgn(SurfaceObject region) {
    calls_.push_back({.op = DrawOp::PaintRgn, .object = region});
    Made* made = Find(region);
    if (made == nullptr || made->deleted || made->kind != Kind::Region) ++misuses_;
    return true;
}

std::vector<DrawOp> RecordingSurface::Ops() const {
    std::vector<DrawOp> ops;
    for (const DrawCall& call : calls_) ops.push_back(call.op);
    return ops;
}

int RecordingSurface::LiveObjects() const {
    int live = 0;
    for (std::size_t i = 0; i < made_.size(); ++i) {
        SurfaceObject object = Handle(i + 1);
        if (!made_[i].deleted && object != defaultBrush_ && object != defaultPen_) ++live;
    }
    return live;
}
