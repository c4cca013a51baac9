// The text show: the text shaped by the platform's font, broken into pages
// of nine inked clusters, each cluster made into a glyph once and placed
// where the font puts its ink. Shaping is cheap and runs again whenever the
// text changes (a clock's new second); making a glyph is the costly step,
// so glyphs are kept per cluster and outlines per glyph.
#include "scene/TextShow.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "glyphs/LayOutText.h"
#include "glyphs/MakeGlyph.h"
#include "scene/SceneRecords.h"
#include "scene/SetupScene.h"
#include "settings/Settings.h"

namespace {

// The capital height the glyph maker gives text glyphs, in design units.
constexpr double kCapitalHeight = 80.0;
// The outlines and glyphs kept at most: far more than a clock or a few
// pages use, and a bound on what a text of many thousand different
// characters holds.
constexpr std::size_t kKeptAtMost = 4096;

// A cluster's glyph as kept between pages: its points and contours only,
// a few hundred bytes for a letter, so that thousands are kept cheaply.
struct MadeCluster {
    std::vector<std::int32_t> pointX, pointY;  // sixteenths of a design unit; none when it cannot be made
    std::vector<std::int32_t> contourLast;     // the last point of each contour, 1-based
    std::vector<std::uint8_t> holeFlag;        // 1 for each contour that is a hole
    double inkMiddle = 0.0;                    // font units from the cluster's pen
};

static_assert(kShownGlyphLimits.pointBudget <= kShownGlyphPoints &&
                  kShownGlyphLimits.contourLimit <= kShownGlyphContours,
              "a shown text's glyph fits the slot it is drawn in");

struct Show {
    TextFont* font = nullptr;
    void (*report)(const std::string& message) = nullptr;
    std::set<std::string> said;
    FontMetrics metrics;
    double scale = 0.0;  // design units per font unit
    std::u32string pattern;
    bool clock = false;
    int pageSeconds = 4;
    std::int64_t pagesSince = 0;  // the steady second page 1 first showed
    ClockTime shownTime;
    std::u32string formatted;  // the pattern with the time in it
    ShapedText shaped;         // the whole text as shaped
    LaidOutText laidOut;       // its clusters, without their outlines
    std::vector<TextPage> pages;
    std::size_t page = 0;
    // What the slots hold: the count, the row's width, and per slot its
    // cluster's recipe, place and glyph in design units.
    int count = 0;
    std::int32_t width = 0;
    std::vector<double> recipe[kMaxSlots + 1];
    std::int32_t center[kMaxSlots + 1]{};
    ShownGlyph glyph[kMaxSlots + 1]{};
    std::map<std::pair<std::uint32_t, std::uint32_t>, std::optional<CharacterOutline>> outlines;
    std::map<std::vector<double>, MadeCluster> made;
};

std::unique_ptr<Show> show;

void AppendUtf8(std::string& text, char32_t c) {
    if (c < 0x80) {
        text += static_cast<char>(c);
    } else if (c < 0x800) {
        text += static_cast<char>(0xC0 | (c >> 6));
        text += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        text += static_cast<char>(0xE0 | (c >> 12));
        text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | ((c >> 18) & 0x07));
        text += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// A cluster as messages name it: its characters and their codes,
// "é (U+0065 U+0301)".
std::string ClusterName(const std::u32string& characters) {
    std::string name;
    std::string codes;
    for (char32_t c : characters) {
        AppendUtf8(name, c);
        char code[16];
        std::snprintf(code, sizeof code, "%sU+%04X", codes.empty() ? "" : " ", static_cast<unsigned>(c));
        codes += code;
    }
    return name + " (" + codes + ")";
}

// Says a message once for the whole show: a clock shaped anew every second
// does not repeat it.
void Say(const std::string& message) {
    if (show->said.insert(message).second && show->report != nullptr) show->report(message);
}

const CharacterOutline* OutlineOf(std::uint32_t face, std::uint32_t glyph) {
    if (show->outlines.size() >= kKeptAtMost && !show->outlines.count({face, glyph})) show->outlines.clear();
    auto [entry, added] = show->outlines.try_emplace({face, glyph});
    if (added) {
        CharacterOutline outline;
        if (show->font->GlyphOutline(face, glyph, outline)) entry->second = std::move(outline);
    }
    return entry->second ? &*entry->second : nullptr;
}

LaidOutText LayOut(const ShapedText& shaped, bool withOutlines) {
    return LayOutText(
        shaped, [](std::uint32_t face, std::uint32_t glyph) { return OutlineOf(face, glyph); }, withOutlines);
}

// The glyph of a cluster, made the first time the cluster is shown.
const MadeCluster& MakeCluster(const LaidOutCluster& cluster) {
    if (show->made.size() >= kKeptAtMost && !show->made.count(cluster.recipe)) show->made.clear();
    auto [entry, added] = show->made.try_emplace(cluster.recipe);
    if (!added || !cluster.inked) return entry->second;
    std::string note;
    const MadeGlyph made = MakeTextGlyph(cluster.outline, show->metrics, note, kShownGlyphLimits);
    if (made.fit.fitted) {
        MadeCluster& kept = entry->second;
        for (std::size_t j = 0; j < made.fit.contours.size(); ++j) {
            for (const OutlinePoint& point : made.fit.contours[j]) {
                kept.pointX.push_back(static_cast<std::int32_t>(point.x));
                kept.pointY.push_back(static_cast<std::int32_t>(point.y));
            }
            kept.contourLast.push_back(static_cast<std::int32_t>(kept.pointX.size()));
            kept.holeFlag.push_back(made.fit.hole[j] ? 1 : 0);
        }
        kept.inkMiddle = made.inkMiddle;
        if (!note.empty()) Say(ClusterName(cluster.characters) + ": " + note);
    } else {
        Say(ClusterName(cluster.characters) + " cannot be shown: " + made.fit.reason);
    }
    return entry->second;
}

// Shapes the whole text and breaks it into pages; false, keeping what was
// shaped before, when the shaper cannot run.
bool ShapeText(const std::u32string& formatted) {
    ShapedText shaped;
    if (!show->font->Shape(formatted, shaped)) return false;
    show->formatted = formatted;
    show->shaped = std::move(shaped);
    show->laidOut = LayOut(show->shaped, false);
    show->pages = BreakIntoPages(show->laidOut.clusters, static_cast<std::uint32_t>(show->shaped.text.size()), kMaxSlots);
    for (const LaidOutCluster& cluster : show->laidOut.clusters)
        if (cluster.missing) Say("no font has " + ClusterName(cluster.characters) + "; its place stays empty");
    return true;
}

// The page's line: the whole text as shaped when the page is all of it,
// else the page's characters shaped on their own (each page is a line of
// its own, its right-to-left runs ordered within it).
LaidOutText PageLine(std::size_t index) {
    const TextPage& page = show->pages[std::min(index, show->pages.size() - 1)];
    if (page.begin == 0 && page.end == show->shaped.text.size()) return LayOut(show->shaped, true);
    ShapedText shaped;
    if (page.end <= page.begin || !show->font->Shape(show->shaped.text.substr(page.begin, page.end - page.begin), shaped))
        return {};
    return LayOut(shaped, true);
}

// The glyph a slot draws for a kept cluster; empty for none.
void PutGlyph(const MadeCluster& made, ShownGlyph& glyph) {
    glyph = ShownGlyph{};
    glyph.pointCount = static_cast<std::int32_t>(made.pointX.size());
    glyph.contourCount = static_cast<std::int32_t>(made.contourLast.size());
    glyph.subunits = kShownGlyphLimits.subunits;
    std::copy(made.pointX.begin(), made.pointX.end(), glyph.pointX + 1);
    std::copy(made.pointY.begin(), made.pointY.end(), glyph.pointY + 1);
    for (int j = 1; j <= glyph.contourCount; ++j) {
        glyph.contourFirst[j] = j == 1 ? 1 : made.contourLast[static_cast<std::size_t>(j - 2)] + 1;
        glyph.contourLast[j] = made.contourLast[static_cast<std::size_t>(j - 1)];
        glyph.holeFlag[j] = made.holeFlag[static_cast<std::size_t>(j - 1)];
    }
}

// Fills the slots from a line: one slot per inked cluster, left to right,
// each centred on its ink, the row centred on the line's middle. Marks the
// slots whose glyph or place changed; false when none did and the count and
// width stayed.
bool FillSlots(const LaidOutText& line, bool (&placed)[kMaxSlots + 1]) {
    std::vector<const LaidOutCluster*> inked;
    for (const LaidOutCluster& cluster : line.clusters)
        if (cluster.inked && inked.size() < static_cast<std::size_t>(kMaxSlots)) inked.push_back(&cluster);
    const int count = std::max(static_cast<int>(inked.size()), 1);
    const std::int32_t width = ToDesignUnits(line.width, show->scale);
    bool changed = count != show->count || width != show->width;
    for (int k = 1; k <= count; ++k) {
        std::vector<double> recipe;
        static const MadeCluster kNoGlyph;
        const MadeCluster* made = &kNoGlyph;
        std::int32_t center = 0;
        if (k <= static_cast<int>(inked.size())) {
            const LaidOutCluster& cluster = *inked[k - 1];
            made = &MakeCluster(cluster);
            recipe = cluster.recipe;
            center = ToDesignUnits(cluster.pen + made->inkMiddle - line.width / 2.0, show->scale);
        }
        placed[k] = k > show->count || recipe != show->recipe[k] || center != show->center[k];
        if (!placed[k]) continue;
        changed = true;
        show->recipe[k] = std::move(recipe);
        show->center[k] = center;
        PutGlyph(*made, show->glyph[k]);  // before the next cluster is made: the cache may be cleared
    }
    show->count = count;
    show->width = width;
    return changed;
}

// Puts the slots the show holds into the scene's records, in design units.
void PutSlots(const bool (&placed)[kMaxSlots + 1]) {
    for (int k = 1; k <= show->count; ++k) {
        if (placed[k]) characterSlots[k].glyph = show->glyph[k];
        textRow.centerX[k] = show->center[k];
    }
    textRow.width = show->width;
    textRow.used = 1;
    settings.OPTIONN = show->count;
}

std::size_t PageAt(const ClockTime& now) {
    if (show->pages.size() <= 1) return 0;
    const std::int64_t elapsed = std::max<std::int64_t>(now.steadySeconds - show->pagesSince, 0);
    return static_cast<std::size_t>(elapsed / show->pageSeconds % static_cast<std::int64_t>(show->pages.size()));
}

bool SameTime(const ClockTime& a, const ClockTime& b) {
    return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour && a.minute == b.minute &&
           a.second == b.second;
}

}  // namespace

bool StartTextShow(TextFont& font, const std::u32string& pattern, int pageSeconds, const ClockTime& now,
                   void (*report)(const std::string& message)) {
    StopTextShow();
    const std::u32string collapsed = CollapseWhiteSpace(pattern);
    if (collapsed.empty()) return false;
    show = std::make_unique<Show>();
    show->font = &font;
    show->report = report;
    show->metrics = font.Metrics();
    const double capitalHeight = CapitalHeight(show->metrics);
    if (capitalHeight <= 0.0) {
        Say("the font's em is not a size from 1 to " + std::to_string(kLargestFontUnitCount) + " units");
        StopTextShow();
        return false;
    }
    show->scale = kCapitalHeight / capitalHeight;
    show->pattern = collapsed;
    show->clock = HasClockCodes(collapsed);
    show->pageSeconds = std::max(pageSeconds, 1);
    show->pagesSince = now.steadySeconds;
    show->shownTime = now;
    if (!ShapeText(FormatClockText(collapsed, now))) {
        Say("the text cannot be laid out: the shaper did not run");
        StopTextShow();
        return false;
    }
    bool placed[kMaxSlots + 1]{};
    FillSlots(PageLine(0), placed);
    PutSlots(placed);
    return true;
}

bool AdvanceTextShow(const ClockTime& now) {
    if (!show) return false;
    bool textChanged = false;
    if (show->clock && !SameTime(now, show->shownTime)) {
        show->shownTime = now;
        const std::u32string formatted = FormatClockText(show->pattern, now);
        textChanged = formatted != show->formatted && ShapeText(formatted);
    }
    const std::size_t page = PageAt(now);
    if (!textChanged && page == show->page) return false;
    show->page = page;
    bool placed[kMaxSlots + 1]{};
    if (!FillSlots(PageLine(page), placed)) return false;
    PutSlots(placed);
    LayOutNewSlots(placed);
    return true;
}

bool ShowTextAgain() {
    if (!show) return false;
    bool placed[kMaxSlots + 1];
    std::fill(std::begin(placed), std::end(placed), true);
    PutSlots(placed);
    return true;
}

void StopTextShow() {
    show.reset();
    textRow = TextRow{};
}
