// -text, or the text the settings file keeps: set by its font (HarfBuzz
// through the portable text show), paged and kept to the time before every
// frame.
#include <time.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "glyphs/linux/HarfBuzzTextFont.h"
#include "host/x11/LinuxSaver.h"
#include "scene/TextShow.h"
#include "settings/TextSettings.h"

namespace {

void Report(const std::string& message) {
    // Once a stop is asked for, what is left unmade is no news.
    if (!StopRequested()) std::fprintf(stderr, "koravel: %s\n", message.c_str());
}

#ifdef KORAVEL_TEST_HOOKS
// The tests' stand-in for a glyph that is slow to read and make:
// KORAVEL_TEST_CHARACTER_MS milliseconds per glyph, which no signal
// shortens, as none interrupts the glyph maker's arithmetic. Each start is
// said on standard error, so that a test knows when to send its signal.
void TakeTestTime(unsigned glyph) {
    const char* asked = std::getenv("KORAVEL_TEST_CHARACTER_MS");
    if (asked == nullptr) return;
    std::fprintf(stderr, "koravel: making glyph %u slowly\n", glyph);
    timespec until;
    clock_gettime(CLOCK_MONOTONIC, &until);
    const long long nanoseconds = until.tv_nsec + std::atoll(asked) * 1000000LL;
    until.tv_sec += static_cast<time_t>(nanoseconds / 1000000000);
    until.tv_nsec = static_cast<long>(nanoseconds % 1000000000);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
    }
}
#endif

// The font as the show reads it: once a stop is asked for, no outline is
// read, so the making ends within one glyph's time however long the text.
class StoppableFont : public TextFont {
public:
    explicit StoppableFont(TextFont& font) : font_(font) {}
    bool Shape(const std::u32string& text, ShapedText& shaped) override { return font_.Shape(text, shaped); }
    bool GlyphOutline(std::uint32_t face, std::uint32_t glyphIndex, CharacterOutline& outline) override {
        outline.clear();
        if (StopRequested()) return false;
#ifdef KORAVEL_TEST_HOOKS
        TakeTestTime(++glyphsRead_);
#endif
        return font_.GlyphOutline(face, glyphIndex, outline);
    }
    FontMetrics Metrics() const override { return font_.Metrics(); }

private:
    TextFont& font_;
    unsigned glyphsRead_ = 0;
};

// The text's clock: KORAVEL_CLOCK's fixed start ("2026-12-09 12:34:56",
// a testing aid) counted on by the time elapsed since the show began, else
// the local time: now on a display, at the start counted on by the frames
// when rendering.
class TextClock {
public:
    explicit TextClock(bool live) : live_(live) {
        const char* fixed = std::getenv("KORAVEL_CLOCK");
        tm start{};
        if (fixed != nullptr && *fixed != '\0') {
            char rest = 0;
            if (std::sscanf(fixed, "%d-%d-%d %d:%d:%d%c", &start.tm_year, &start.tm_mon, &start.tm_mday, &start.tm_hour,
                            &start.tm_min, &start.tm_sec, &rest) == 6 &&
                start.tm_mon >= 1 && start.tm_mon <= 12 && start.tm_mday >= 1 && start.tm_mday <= 31 &&
                start.tm_hour >= 0 && start.tm_hour <= 23 && start.tm_min >= 0 && start.tm_min <= 59 &&
                start.tm_sec >= 0 && start.tm_sec <= 59) {
                start.tm_year -= 1900;
                start.tm_mon -= 1;
                start_ = timegm(&start);
                fixed_ = true;
                return;
            }
            Report("KORAVEL_CLOCK \"" + std::string(fixed) + "\" is no time like 2026-12-09 12:34:56; the local time is shown");
        }
        start_ = time(nullptr);
    }

    ClockTime At(long long elapsedMs) const {
        const time_t seconds = live_ && !fixed_ ? time(nullptr) : start_ + static_cast<time_t>(elapsedMs / 1000);
        tm fields{};
        if (fixed_) gmtime_r(&seconds, &fields);
        else localtime_r(&seconds, &fields);
        return {fields.tm_year + 1900, fields.tm_mon + 1, fields.tm_mday, fields.tm_hour, fields.tm_min,
                fields.tm_sec, elapsedMs / 1000};
    }

private:
    bool live_;
    bool fixed_ = false;
    time_t start_ = 0;
};

// The show of this process: started once, and put back into the slots when
// a resized window sets its scene up again.
struct Text {
    bool begun = false;
    bool shown = false;
    std::unique_ptr<HarfBuzzTextFont> font;
    std::unique_ptr<StoppableFont> stoppable;
    std::unique_ptr<TextClock> clock;
};

Text text;

}  // namespace

void ShowText(const HackOptions& options) {
    if (StopRequested()) return;
    if (text.begun) {
        if (text.shown) ShowTextAgain();
        return;
    }
    text.begun = true;
    const ShownText shown = ChooseShownText(options, LoadTextSettings());
    if (shown.text.empty()) return;
    text.font = std::make_unique<HarfBuzzTextFont>(shown.font, Report);
    text.stoppable = std::make_unique<StoppableFont>(*text.font);
    text.clock = std::make_unique<TextClock>(options.mode != HackMode::Render);
    if (!text.font->usable()) {
        Report("no font can be opened; the settings file's glyphs are shown");
        return;
    }
    text.shown = StartTextShow(*text.stoppable, shown.text, shown.pageSeconds, text.clock->At(0), Report);
}

void AdvanceText(long long elapsedMs) {
    if (text.shown) AdvanceTextShow(text.clock->At(elapsedMs));
}
