#include "glyphs/FindMeetingEdges.h"

#include <algorithm>
#include <cstddef>
#include <initializer_list>
#include <limits>
#include <utility>

namespace {

// Fewer boxes than this are compared pair by pair.
constexpr std::size_t kPairwiseBoxes = 16;

// The lower left corner of a part of the plane that reaches up and to the
// right as far as its boxes do: a box goes below a split when it starts
// below it, above when it reaches it, so no two boxes below a split have a
// common point above it.
struct Region {
    double left, bottom;
};

class MeetingSearch {
public:
    MeetingSearch(const std::vector<EdgeBox>& boxes, const std::function<bool(std::size_t, std::size_t)>& meet)
        : boxes_(boxes), meet_(meet) {}

    // A pair is handed back only in the region holding its lowest, leftmost
    // common point (the larger left, the larger bottom): that point lies in
    // exactly one region of the final split, and every box holding it went
    // into every region that holds it, so each pair comes back once.
    bool Search(std::vector<std::size_t> inside, Region region) {
        if (inside.size() >= kPairwiseBoxes) {
            std::vector<std::size_t> lower, upper;
            bool alongX = false;
            double middle = 0.0;
            if (Split(inside, lower, upper, alongX, middle)) {
                // The split lies past the region's corner: one before it
                // would put every box above and is never taken.
                Region above = region;
                (alongX ? above.left : above.bottom) = middle;
                // The halves' lists are all that is kept down the split.
                std::vector<std::size_t>().swap(inside);
                return Search(std::move(lower), region) && Search(std::move(upper), above);
            }
        }
        return Pairwise(inside, region);
    }

private:
    // Splits at the median of the boxes' middles along x or y, whichever
    // puts fewer boxes into both halves; false when even the better split
    // leaves a half with more than three quarters of the boxes (most of
    // them straddle it), which are then compared pair by pair.
    bool Split(const std::vector<std::size_t>& inside, std::vector<std::size_t>& lower,
               std::vector<std::size_t>& upper, bool& alongX, double& middle) const {
        const std::size_t n = inside.size();
        std::size_t best = n;
        for (bool x : {true, false}) {
            std::vector<double> middles;
            middles.reserve(n);
            for (std::size_t i : inside) {
                const EdgeBox& box = boxes_[i];
                middles.push_back(x ? (box.left + box.right) / 2 : (box.bottom + box.top) / 2);
            }
            std::nth_element(middles.begin(), middles.begin() + static_cast<std::ptrdiff_t>(n / 2), middles.end());
            const double at = middles[n / 2];
            std::size_t below = 0, above = 0;
            for (std::size_t i : inside) {
                const EdgeBox& box = boxes_[i];
                below += (x ? box.left : box.bottom) < at;
                above += (x ? box.right : box.top) >= at;
            }
            if (std::max(below, above) < best) {
                best = std::max(below, above);
                alongX = x;
                middle = at;
            }
        }
        if (best * 4 > n * 3) return false;
        for (std::size_t i : inside) {
            const EdgeBox& box = boxes_[i];
            if ((alongX ? box.left : box.bottom) < middle) lower.push_back(i);
            if ((alongX ? box.right : box.top) >= middle) upper.push_back(i);
        }
        return true;
    }

    bool Pairwise(const std::vector<std::size_t>& inside, Region region) const {
        for (std::size_t a = 0; a < inside.size(); ++a) {
            const EdgeBox& p = boxes_[inside[a]];
            for (std::size_t b = a + 1; b < inside.size(); ++b) {
                const EdgeBox& q = boxes_[inside[b]];
                if (p.left > q.right || q.left > p.right || p.bottom > q.top || q.bottom > p.top) continue;
                const double x = std::max(p.left, q.left), y = std::max(p.bottom, q.bottom);
                if (x < region.left || y < region.bottom) continue;
                if (!meet_(std::min(inside[a], inside[b]), std::max(inside[a], inside[b]))) return false;
            }
        }
        return true;
    }

    const std::vector<EdgeBox>& boxes_;
    const std::function<bool(std::size_t, std::size_t)>& meet_;
};

}  // namespace

bool FindMeetingEdges(const std::vector<EdgeBox>& boxes, const std::function<bool(std::size_t, std::size_t)>& meet) {
    std::vector<std::size_t> all(boxes.size());
    for (std::size_t i = 0; i < all.size(); ++i) all[i] = i;
    const double infinity = std::numeric_limits<double>::infinity();
    return MeetingSearch(boxes, meet).Search(std::move(all), {-infinity, -infinity});
}
