#pragma once
// Several horizontal thumbs on one slider track, one per stage of a setting with several values
// along one scale (page element HSLIDERM). The item has no window of its own: the thumbs are the
// windows, children of the track, each with its own control id; the track hears them all.
#include <memory>
#include "skin/GuiItem.h"
#include "skin/Slider.h"

namespace vt::skin {

class CSliderHMulti : public CGUIItem {
public:
    CSliderHMulti(std::unique_ptr<CPHSlider[]> thumbs, unsigned count, CSliderTrack* track);
    ~CSliderHMulti() override;

    // Every thumb: value range [min, max], positions 0 .. max - min, layout, cap range (min, max).
    void SetRange(int min, int max);
    // Interactive flag of every thumb; the thumb windows are enabled or disabled with it.
    void Enable(bool on);

    CPHSlider* Thumb(unsigned i) { return i < m_count ? &m_thumbs[i] : nullptr; }
    unsigned Count() const { return m_count; }

    BYTE m_enabled = 1;
    CSliderTrack* m_track = nullptr;
    std::unique_ptr<CPHSlider[]> m_thumbs;
    unsigned m_count = 0;
};

} // namespace vt::skin
