#pragma once
// What the headset pages share about their vertical sliders: placing a thumb on a value of a range
// without the slider reporting it (a value shown is never a value set), and the pages' own slider
// messages.
#include <windows.h>
#include "config/Items.h"
#include "skin/Slider.h"

namespace vt::config {

// Gives the slider the range [min, max] and shows the value, clamped to that range. The slider does
// not report the move: only a user's release reports a value.
inline void PlaceSlider(vt::skin::CVertSlider* slider, int min, int max, int value) {
    if (!slider) return;
    if (slider->m_valueMin != min || slider->m_valueMax != max) {
        slider->SetValueRange(min, max);
        // The thumb stands where the old range put it: it is placed again whatever the value.
        slider->m_position = -1;
    }
    slider->SetSliderValue(value);
}

// The slider's value as it shows it (0 without a slider).
inline int ShownValue(const vt::skin::CVertSlider* slider) { return slider ? slider->Value() : 0; }

// Repaints a slider's track (the fill under the thumb follows the value).
inline void RepaintTrack(vt::skin::CGUIItem* track) {
    if (HWND w = ItemWindow(track)) InvalidateRect(w, nullptr, FALSE);
}

} // namespace vt::config
