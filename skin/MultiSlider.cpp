#include "skin/MultiSlider.h"
#include "skin/CtlBuilders.h"
#include "skin/PageReader.h"
#include "skin/Vocabulary.h"
#include "win/Strings.h"

namespace vt::skin {

CSliderHMulti::CSliderHMulti(std::unique_ptr<CPHSlider[]> thumbs, unsigned count, CSliderTrack* track)
    : m_track(track), m_thumbs(std::move(thumbs)), m_count(m_thumbs ? count : 0) {
    SetRange(1, 32);
}

CSliderHMulti::~CSliderHMulti() {
    if (m_track && m_thumbs) {
        for (unsigned i = 0; i < m_count; ++i)
            if (m_track->m_thumbItem == &m_thumbs[i]) m_track->m_thumbItem = nullptr;
    }
    m_thumbs.reset();
    m_count = 0;
}

void CSliderHMulti::SetRange(int min, int max) {
    for (unsigned i = 0; i < m_count; ++i) {
        CPHSlider& t = m_thumbs[i];
        t.SetValueRange(min, max);
        t.SetCapRange(min, max);
    }
}

void CSliderHMulti::Enable(bool on) {
    m_enabled = on ? 1 : 0;
    for (unsigned i = 0; i < m_count; ++i) {
        m_thumbs[i].SetInteractive(on);
        if (m_thumbs[i].Hwnd()) EnableWindow(m_thumbs[i].Hwnd(), on ? TRUE : FALSE);
    }
}

CGUIItem* ReadMultiSlider(pugi::xml_node e, CGUIItems& items, HWND parent) {
    const int id = ReadItemName(e);
    if (id == -1) return nullptr;
    pugi::xml_node stages = e.child("STAGES");
    if (!stages || !stages.child("STAGE")) return nullptr;
    unsigned count = 0;
    for (pugi::xml_node s = stages.child("STAGE"); s; s = s.next_sibling("STAGE")) ++count;
    if (count > 5) count = 5;
    auto* track = static_cast<CSliderTrack*>(ReadTrackRef(e, items));
    if (!track || !track->Hwnd()) return nullptr;   // the thumbs are children of their track

    std::unique_ptr<CPHSlider[]> thumbs(new CPHSlider[count]);
    HBITMAP normal = ChildSkinImage(e, "SBMN");
    HBITMAP hover = ChildSkinImage(e, "SBMO");
    thumbs[0].SetMultiplier(ReadMultiplier(e));
    RECT r = ReadItemRect(e, id);
    unsigned k = 0;
    for (pugi::xml_node s = stages.child("STAGE"); s && k < count; s = s.next_sibling("STAGE"), ++k) {
        CPHSlider& t = thumbs[k];
        t.m_controlId = FindControlIdByName(vt::win::Utf8ToWide(TrimmedText(s)));
        if (!t.CreateSliderWindow(CopyAsDib(normal), track->Hwnd(), CopyAsDib(hover), nullptr, true, r)) continue;
        t.SetValueRange(1, 32);
        std::wstring tooltip, prefix;
        ReadTooltipWithPrefix(s, tooltip, prefix);
        const wchar_t pos[2] = {ReadTooltipPosition(s), 0};
        if (k == 0) track->m_thumbItem = &t;
        t.SetThumbToolTip(tooltip.c_str(), TooltipPositionCode(pos), prefix.c_str());
        t.SetItemFields(t.m_controlId, kKindThumb, t.Hwnd(), track->Hwnd());
    }
    auto* multi = new CSliderHMulti(std::move(thumbs), count, track);
    multi->Enable(ReadInteractive(e));
    multi->SetItemFields(id, kKindSliderHMulti, track->Hwnd(), parent);
    return multi;
}

} // namespace vt::skin
