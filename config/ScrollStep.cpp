#include "config/ConfigControls.h"

const ScrollBarSetting scrollBarTable[kScrollBarCount] = {
    {IDC_WIDTH_BAR, IDC_WIDTH_SHOW, &Settings::HABA, 0, 30, 5},
    {IDC_STEP_BAR, IDC_STEP_SHOW, &Settings::STEPRAG, 0, 30, 1},
    {IDC_OWN_STEP_BAR1, IDC_OWN_STEP_SHOW1, &Settings::STEPRAG1, 0, 30, 1},
    {IDC_OWN_STEP_BAR2, IDC_OWN_STEP_SHOW2, &Settings::STEPRAG2, 0, 30, 1},
    {IDC_OWN_STEP_BAR3, IDC_OWN_STEP_SHOW3, &Settings::STEPRAG3, 0, 30, 1},
    {IDC_OWN_STEP_BAR4, IDC_OWN_STEP_SHOW4, &Settings::STEPRAG4, 0, 30, 1},
    {IDC_OWN_STEP_BAR5, IDC_OWN_STEP_SHOW5, &Settings::STEPRAG5, 0, 30, 1},
    {IDC_OWN_STEP_BAR6, IDC_OWN_STEP_SHOW6, &Settings::STEPRAG6, 0, 30, 1},
    {IDC_OWN_STEP_BAR7, IDC_OWN_STEP_SHOW7, &Settings::STEPRAG7, 0, 30, 1},
    {IDC_OWN_STEP_BAR8, IDC_OWN_STEP_SHOW8, &Settings::STEPRAG8, 0, 30, 1},
    {IDC_OWN_STEP_BAR9, IDC_OWN_STEP_SHOW9, &Settings::STEPRAG9, 0, 30, 1},
    {IDC_SIZE_BAR, IDC_SIZE_SHOW, &Settings::SIZE, 1, 50, 5},
    {IDC_SIZEY_BAR, IDC_SIZEY_SHOW, &Settings::SIZEY, 1, 50, 5},
    {IDC_MOVE_BAR, IDC_MOVE_SHOW, &Settings::SIZEIDO, 0, 20, 5},
    {IDC_TIMER_BAR, IDC_TIMER_SHOW, &Settings::TIMER, 10, 300, 5},
};

int FindScrollBar(int barId) {
    for (int i = 0; i < kScrollBarCount; ++i)
        if (scrollBarTable[i].barId == barId) return i;
    return -1;
}

std::int32_t NextScrollValue(std::int32_t value, const ScrollBarSetting& bar, int code, int thumbPosition) {
    // Steps are taken in 64 bits: a stored value near the ends of the 32-bit
    // range must not wrap round on its way to the bound.
    auto down = [&](std::int64_t step) {
        std::int64_t next = std::int64_t{value} - step;
        return static_cast<std::int32_t>(next < bar.minimum ? bar.minimum : next);
    };
    auto up = [&](std::int64_t step) {
        std::int64_t next = std::int64_t{value} + step;
        return static_cast<std::int32_t>(next > bar.maximum ? bar.maximum : next);
    };
    switch (code) {
        case kScrollLineLeft: return down(1);
        case kScrollLineRight: return up(1);
        case kScrollPageLeft: return down(bar.pageStep);
        case kScrollPageRight: return up(bar.pageStep);
        case kScrollThumbPosition:
        case kScrollThumbTrack: return thumbPosition;
        default: return value;
    }
}
