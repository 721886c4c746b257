#include "audtest/LedPage.h"
#include "audtest/UserDialogs.h"
#include "audtest/resource.h"

#include <cwchar>

namespace vt::audtest {

namespace {

const wchar_t* ZoneName(ULONG id) {
    switch (id) {
    case 4: return L"Logo";
    case 10: return L"UnderGlow";
    case 11: return L"Strip";
    default: return nullptr;
    }
}

const wchar_t* const kEffects[] = {L"None", L"Blinking", L"Pulsating", L"SWControl", L"Apm"};
const int kEffectControls[] = {IDC_EFFECT, IDC_DURATION_LABEL, IDC_DURATION, IDC_DELAY_LABEL, IDC_DELAY};

} // namespace

void CLEDPage::OnInitDialog() {
    m_swatch.Attach(Item(IDC_COLOR_SWATCH));
    for (const wchar_t* effect : kEffects)
        SendMessageW(Item(IDC_EFFECT), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(effect));
    FillZones();
}

void CLEDPage::OnSetActive() { FillZones(); }

void CLEDPage::FillZones() {
    HWND list = Item(IDC_ZONE_LIST);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    if (!Device()) return;
    vt::win::ComPtr<IVtLighting> lighting;
    const HRESULT hr = ActiveProfileFeature(IID_IVtLighting, lighting.PutVoid());
    if (FAILED(hr) || !lighting) {
        Fail(L"Cannot reach the active profile's lighting", FAILED(hr) ? hr : E_POINTER);
        return;
    }
    for (ULONG index = 0;; ++index) {
        vt::win::ComPtr<IVtLightingZone> zone;
        if (FAILED(lighting->GetZone(index, zone.Put())) || !zone) break;
        ULONG id = 0;
        if (FAILED(zone->GetZoneId(&id)) || !ZoneName(id)) continue;
        const LRESULT entry = SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ZoneName(id)));
        if (entry >= 0) SendMessageW(list, LB_SETITEMDATA, static_cast<WPARAM>(entry), static_cast<LPARAM>(index));
    }
}

bool CLEDPage::SelectedZone(vt::win::ComPtr<IVtLightingZone>* zone) {
    HWND list = Item(IDC_ZONE_LIST);
    const LRESULT selected = SendMessageW(list, LB_GETCURSEL, 0, 0);
    if (selected == LB_ERR || !Device()) return false;
    const auto index = static_cast<ULONG>(SendMessageW(list, LB_GETITEMDATA, static_cast<WPARAM>(selected), 0));
    vt::win::ComPtr<IVtLighting> lighting;
    HRESULT hr = ActiveProfileFeature(IID_IVtLighting, lighting.PutVoid());
    if (SUCCEEDED(hr) && lighting) hr = lighting->GetZone(index, zone->Put());
    if (FAILED(hr) || !*zone) {
        Fail(L"Cannot reach the chosen lighting zone", FAILED(hr) ? hr : E_POINTER);
        return false;
    }
    return true;
}

void CLEDPage::ShowEffectControls(bool show) {
    for (int id : kEffectControls) ShowWindow(Item(id), show ? SW_SHOW : SW_HIDE);
}

void CLEDPage::ShowEffect(LONG mode, LONG first) {
    if (mode != 0 && mode != 1 && mode != 4) return;
    SendMessageW(Item(IDC_EFFECT), CB_SETCURSEL, static_cast<WPARAM>(mode), 0);
    wchar_t number[16];
    swprintf(number, 16, L"%ld", mode == 1 ? first : 0L);
    SetWindowTextW(Item(IDC_DURATION), number);
    SetWindowTextW(Item(IDC_DELAY), L"0");
    EnableWindow(Item(IDC_EFFECT), TRUE);
    const bool duration = mode == 1;
    EnableWindow(Item(IDC_DURATION_LABEL), duration);
    EnableWindow(Item(IDC_DURATION), duration);
    EnableWindow(Item(IDC_DELAY_LABEL), FALSE);
    EnableWindow(Item(IDC_DELAY), FALSE);
    ShowEffectControls(true);
}

void CLEDPage::ZoneSelected() {
    vt::win::ComPtr<IVtLightingZone> zone;
    if (!SelectedZone(&zone)) return;
    LONG on = 0;
    if (SUCCEEDED(zone->IsOn(&on))) Check(IDC_LED_ON, on != 0);
    vt::win::ComPtr<IVtLightingColor> colour;
    if (SUCCEEDED(zone->QueryInterface(IID_IVtLightingColor, colour.PutVoid()))) {
        DWORD value = 0;
        if (SUCCEEDED(colour->GetColor(&value))) m_swatch.SetColor(value);
        for (int id : {IDC_COLOR_SWATCH, IDC_COLOR_CHANGE}) {
            EnableWindow(Item(id), TRUE);
            ShowWindow(Item(id), SW_SHOW);
        }
    }
    vt::win::ComPtr<IVtLightingEffect> effect;
    if (FAILED(zone->QueryInterface(IID_IVtLightingEffect, effect.PutVoid()))) {
        ShowEffectControls(false);
        return;
    }
    LONG mode = 0, first = 0, second = 0;
    if (SUCCEEDED(effect->GetEffect(&mode, &first, &second))) ShowEffect(mode, first);
}

void CLEDPage::ChangeColour() {
    vt::win::ComPtr<IVtLightingZone> zone;
    if (!SelectedZone(&zone)) return;
    vt::win::ComPtr<IVtLightingColor> colour;
    if (FAILED(zone->QueryInterface(IID_IVtLightingColor, colour.PutVoid()))) return;
    COLORREF chosen = 0;
    if (!UserDialogs().ChooseColour(m_hwnd, &chosen)) return;
    const HRESULT hr = colour->SetColor(chosen);
    if (FAILED(hr)) {
        // The swatch keeps the colour the zone has.
        Fail(L"Cannot set the zone's colour", hr);
        return;
    }
    m_swatch.SetColor(chosen);
}

void CLEDPage::SwitchZone() {
    const UINT state = IsDlgButtonChecked(m_hwnd, IDC_LED_ON);
    if (state == BST_INDETERMINATE) return;
    vt::win::ComPtr<IVtLightingZone> zone;
    if (!SelectedZone(&zone)) return;
    const HRESULT hr = state == BST_CHECKED ? zone->TurnOn() : zone->TurnOff();
    if (FAILED(hr)) {
        Fail(state == BST_CHECKED ? L"Cannot switch the zone on" : L"Cannot switch the zone off", hr);
        LONG on = 0;
        if (SUCCEEDED(zone->IsOn(&on))) Check(IDC_LED_ON, on != 0);
    }
}

void CLEDPage::EffectChosen() {
    vt::win::ComPtr<IVtLightingZone> zone;
    if (!SelectedZone(&zone)) return;
    vt::win::ComPtr<IVtLightingEffect> effect;
    if (FAILED(zone->QueryInterface(IID_IVtLightingEffect, effect.PutVoid()))) {
        ShowEffectControls(false);
    } else {
        const LRESULT choice = SendMessageW(Item(IDC_EFFECT), CB_GETCURSEL, 0, 0);
        HRESULT hr = S_OK;
        if (choice == 0 || choice == 4) {
            ShowEffect(static_cast<LONG>(choice), 0);
            hr = effect->SetEffect(static_cast<LONG>(choice), 0, 0);
        } else if (choice == 1) {
            ShowEffect(1, 0);
        }
        if (FAILED(hr)) Fail(L"Cannot set the zone's effect", hr);
    }
    vt::win::ComPtr<IVtLightingBrightness> brightness;
    if (FAILED(zone->QueryInterface(IID_IVtLightingBrightness, brightness.PutVoid()))) {
        ShowWindow(Item(IDC_BRIGHTNESS), SW_HIDE);
        return;
    }
    LONG value = 0;
    if (SUCCEEDED(brightness->GetBrightness(&value))) {
        HWND slider = Item(IDC_BRIGHTNESS);
        SendMessageW(slider, TBM_SETRANGEMIN, FALSE, 0);
        SendMessageW(slider, TBM_SETRANGEMAX, FALSE, 100);
        SendMessageW(slider, TBM_SETTICFREQ, 1, 0);
        SendMessageW(slider, TBM_SETPOS, TRUE, value);
        EnableWindow(slider, TRUE);
        ShowWindow(slider, SW_SHOW);
    }
}

void CLEDPage::OnCommand(UINT id, UINT code) {
    if (id == IDC_ZONE_LIST && code == LBN_SELCHANGE) ZoneSelected();
    else if (id == IDC_COLOR_CHANGE && code == BN_CLICKED) ChangeColour();
    else if (id == IDC_LED_ON && code == BN_CLICKED) SwitchZone();
    else if (id == IDC_EFFECT && code == CBN_SELENDOK) EffectChosen();
}

bool CLEDPage::OnNotify(NMHDR* hdr, LRESULT* result) {
    // Releasing the brightness slider sends nothing to the zone.
    if (hdr->idFrom == IDC_BRIGHTNESS && hdr->code == NM_RELEASEDCAPTURE) {
        *result = 0;
        return true;
    }
    return false;
}

bool CLEDPage::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, INT_PTR* result) {
    // A read-only edit asks its parent for the colours of a static control.
    if ((msg == WM_CTLCOLORSTATIC || msg == WM_CTLCOLOREDIT) && reinterpret_cast<HWND>(lParam) == m_swatch.Window()) {
        *result = reinterpret_cast<INT_PTR>(m_swatch.CtlColor(reinterpret_cast<HDC>(wParam)));
        return true;
    }
    return false;
}

} // namespace vt::audtest
