#include "scroll_bar.h"

#include "context_menus.h"
#include "control_factory.h"
#include "numeric_text.h"
#include "window_logic.h"
#include "win32_text.h"

namespace win32_window {

using regulator::ScrollRequest;

HWND ScrollBar::Create(HWND parent, int id, Annotations& annotations) {
    annotations_ = &annotations;
    hwnd_ = CreateChild(L"SCROLLBAR", L"", WS_VISIBLE | WS_TABSTOP | SBS_VERT, 0, parent, id);
    CustomiseScrollBar(hwnd_);
    return hwnd_;
}

void ScrollBar::Show(const regulator::ScaleState& scale) {
    SCROLLINFO shown{};
    shown.cbSize = sizeof shown;
    shown.fMask = SIF_RANGE | SIF_POS;
    GetScrollInfo(hwnd_, SB_CTL, &shown);
    if (shown.nMin == scale.min && shown.nMax == scale.max && shown.nPos == scale.value) return;
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_POS;
    info.nMin = scale.min;
    info.nMax = scale.max;
    info.nPos = scale.value;
    SetScrollInfo(hwnd_, SB_CTL, &info, TRUE);
}

void ScrollBar::SetValueForReaders(std::int16_t temperature) {
    annotations_->SetText(hwnd_, AccProperty::Value, Wide(regulator::IntegerToText(temperature)));
}

void ScrollBar::ReportValue(std::int16_t temperature) {
    SetValueForReaders(temperature);
    NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, hwnd_, OBJID_CLIENT, CHILDID_SELF);
}

std::optional<int> ScrollBar::UserValue(WORD request, WORD thumbPosition, const regulator::ScaleState& scale) {
    switch (request) {
        case SB_LINEUP:
            return ScrollTarget(scale, ScrollRequest::LineUp);
        case SB_LINEDOWN:
            return ScrollTarget(scale, ScrollRequest::LineDown);
        case SB_PAGEUP:
            return ScrollTarget(scale, ScrollRequest::PageUp);
        case SB_PAGEDOWN:
            return ScrollTarget(scale, ScrollRequest::PageDown);
        case SB_TOP:
            return ScrollTarget(scale, ScrollRequest::Top);
        case SB_BOTTOM:
            return ScrollTarget(scale, ScrollRequest::Bottom);
        case SB_THUMBPOSITION:
            return static_cast<std::int16_t>(thumbPosition);
        default:  // SB_THUMBTRACK, SB_ENDSCROLL
            return std::nullopt;
    }
}

}  // namespace win32_window
