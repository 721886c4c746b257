#include "config/pages/HeadsetEqualiserPage.h"
#include "config/Items.h"
#include "config/pages/PageTable.h"
#include "skin/DropDownList.h"
#include "skin/Messages.h"
#include "skin/SkinStore.h"

namespace vt::config {

using namespace vt::skin;

namespace {
// Band sliders in band order: 31 Hz to 16 kHz.
constexpr int kBandSliders[kEqualiserBands] = {ctl::SLIDER_EQ_31HZ,  ctl::SLIDER_EQ_62HZ, ctl::SLIDER_EQ_125HZ,
                                               ctl::SLIDER_EQ_250HZ, ctl::SLIDER_EQ_500HZ, ctl::SLIDER_EQ_1KHZ,
                                               ctl::SLIDER_EQ_2KHZ,  ctl::SLIDER_EQ_4KHZ, ctl::SLIDER_EQ_8KHZ,
                                               ctl::SLIDER_EQ_16KHZ};
// The band thumbs' picture while the equaliser is off.
constexpr const char* kGreyedThumb = "cfg_vthumb_x.bmp";
} // namespace

CDmItems_Headset_EQS::CDmItems_Headset_EQS(PageContext& context)
    : CDmHeadsetLivePage(context), m_rules(context.headset, [&context] { return context.devices.HeadsetDevice(); }, context.popups) {}

int CDmItems_Headset_EQS::SliderPosition(int controlId) const {
    for (int i = 0; i < kEqualiserBands; ++i)
        if (kBandSliders[i] == controlId) return i;
    return -1;
}

void CDmItems_Headset_EQS::Initialise() {
    m_switch = BindButton(*this, ctl::BUTTON_EQ_EQUALIZERENABLE);
    m_presets = BindItem(*this, ctl::BUTTON_DROPDOWN_EQ_PRESETSELECT, kKindDropdownList);
    for (int i = 0; i < kEqualiserBands; ++i) {
        m_bands[i] = BindItem<CVertSlider>(*this, kBandSliders[i], kKindVertSlider);
        if (HBITMAP greyed = GetSkinImage(kGreyedThumb)) m_spareThumbs[i].Reset(CopyAsDib(greyed));
    }
    m_rules.SetOwner(m_ctx.Owner());
    m_rules.Initialise();
    ShowEqualiser();
}

void CDmItems_Headset_EQS::Refresh() { ShowEqualiser(); }

void CDmItems_Headset_EQS::ShowEqualiser() {
    const bool on = m_rules.SwitchOn();
    SetChecked(m_switch, on);
    if (auto* list = static_cast<CDropdownListItem*>(m_presets)) {
        const int selected = m_rules.FillPresets();
        list->ClearEntries();
        for (const std::wstring& name : m_rules.Presets()) list->AddEntry(name.c_str());
        if (selected >= 0) list->SelectEntry(selected);
        else list->m_current.clear();
        // Greyed while the equaliser is off.
        list->m_disabled = on ? 0 : 1;
        EnableItem(list, on);
    }
    const GainScale scale = m_rules.Scale();
    for (int i = 0; i < kEqualiserBands; ++i) {
        PlaceSlider(m_bands[i], scale.SliderMin(), scale.SliderMax(), m_rules.SliderValue(i));
        EnableItem(m_bands[i], on);
        if (m_bands[i] && m_bands[i]->m_trackItem) EnableWindow(m_bands[i]->m_trackItem->Hwnd(), on);
    }
    GreyThumbs(!on);
    if (Shown()) RepaintAll(m_ctx.Owner());
}

void CDmItems_Headset_EQS::GreyThumbs(bool grey) {
    if (grey == m_greyed) return;
    m_greyed = grey;
    for (int i = 0; i < kEqualiserBands; ++i) {
        if (!m_bands[i] || !m_spareThumbs[i]) continue;
        std::swap(m_bands[i]->m_thumb, m_spareThumbs[i]);
        if (m_bands[i]->Hwnd()) InvalidateRect(m_bands[i]->Hwnd(), nullptr, FALSE);
    }
}

void CDmItems_Headset_EQS::Enter() {
    m_rules.SetOwner(m_ctx.Owner());
    m_rules.Enter();
}

void CDmItems_Headset_EQS::Leave() {
    m_rules.Leave();
    ShowEqualiser();
}

bool CDmItems_Headset_EQS::OnItemCommand(CGUIItem& item, WORD) {
    if (&item == m_switch) {
        m_rules.SwitchClicked(IsChecked(m_switch));
        ShowEqualiser();
    }
    return false;
}

bool CDmItems_Headset_EQS::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (msg) {
    case WM_SLIDER_VALUE_CHANGING:
    case WM_SLIDER_VALUE_SET: {
        const int position = SliderPosition(int(lParam));
        if (position < 0) return false;
        result = 0;
        // A band follows the released value only; a refused change shows the model again.
        if (msg == WM_SLIDER_VALUE_SET) {
            m_rules.BandSet(position, int(wParam));
            ShowEqualiser();
        }
        return true;
    }
    case WM_DROPDOWN_SELCHANGE: {
        CGUIItem* item = FindItemByWindow(*this, reinterpret_cast<HWND>(lParam));
        if (!item || item != m_presets) return false;
        result = 0;
        if (m_rules.PresetChosen(int(wParam))) {
            // The headset's lighting follows the current preset.
            if (CDmPage* lighting = m_ctx.site.FindPage(kPageHeadsetLighting)) {
                lighting->Refresh();
                if (m_ctx.site.ShownPage() != lighting) lighting->Show(false);
            }
        }
        ShowEqualiser();
        return true;
    }
    default: return false;
    }
}

} // namespace vt::config
