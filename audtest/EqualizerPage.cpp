#include "audtest/EqualizerPage.h"
#include "audtest/resource.h"

namespace vt::audtest {

void CEqualizerPage::OnInitDialog() { Show(true); }
void CEqualizerPage::OnSetActive() { Show(false); }

void CEqualizerPage::EnableBands(bool on) {
    // Each trackbar is drawn whole again: a disabled one may otherwise keep its old thumb on screen.
    for (int band = 0; band < kBands; ++band) {
        EnableWindow(Band(band), on);
        InvalidateRect(Band(band), nullptr, TRUE);
    }
}

void CEqualizerPage::Show(bool ranges) {
    if (!Device()) return;
    vt::win::ComPtr<IVtEqualizer> eq;
    HRESULT hr = ActiveProfileFeature(IID_IVtEqualizer, eq.PutVoid());
    if (FAILED(hr) || !eq) {
        Fail(L"Cannot reach the active profile's equaliser", FAILED(hr) ? hr : E_POINTER);
        return;
    }
    LONG on = 0;
    hr = eq->IsEnable(&on);
    if (FAILED(hr)) {
        Fail(L"Cannot read the equaliser switch", hr);
        return;
    }
    Check(IDC_EQ_ENABLED, on != 0);
    vt::win::ComPtr<IVtEQGain> gain;
    if (SUCCEEDED(eq->QueryInterface(IID_IVtEQGain, gain.PutVoid()))) {
        for (int band = 0; band < kBands; ++band) {
            SHORT low = 0, high = 0, value = 0;
            // The range goes below zero: minimum and maximum are set apart (TBM_SETRANGE packs
            // them into 16-bit words).
            if (ranges && SUCCEEDED(gain->QueryGainRange(band, &low, &high))) {
                SendMessageW(Band(band), TBM_SETRANGEMIN, TRUE, low);
                SendMessageW(Band(band), TBM_SETRANGEMAX, TRUE, high);
                // Some trackbars place the thumb again only when the position changes: move it to
                // the range's end first, so the position set below always places it.
                SendMessageW(Band(band), TBM_SETPOS, FALSE, high);
            }
            hr = gain->GetGain(band, &value);
            if (FAILED(hr)) {
                Fail(L"Cannot read the band gains", hr);
                break;
            }
            SendMessageW(Band(band), TBM_SETPOS, TRUE, value);
        }
    }
    EnableBands(on != 0);
}

void CEqualizerPage::OnCommand(UINT id, UINT code) {
    if (id != IDC_EQ_ENABLED || code != BN_CLICKED || !Device()) return;
    vt::win::ComPtr<IVtEqualizer> eq;
    HRESULT hr = ActiveProfileFeature(IID_IVtEqualizer, eq.PutVoid());
    if (FAILED(hr) || !eq) {
        Fail(L"Cannot reach the active profile's equaliser", FAILED(hr) ? hr : E_POINTER);
        return;
    }
    const bool on = Checked(IDC_EQ_ENABLED);
    vt::win::ComPtr<IVtEQGain> gain;
    if (SUCCEEDED(eq->QueryInterface(IID_IVtEQGain, gain.PutVoid()))) {
        for (int band = 0; band < kBands; ++band) {
            SHORT value = 0;
            if (SUCCEEDED(gain->GetGain(band, &value))) SendMessageW(Band(band), TBM_SETPOS, TRUE, value);
        }
    }
    EnableBands(on);
    hr = eq->Enable(on ? 1 : 0);
    if (FAILED(hr)) Fail(on ? L"Cannot switch the equaliser on" : L"Cannot switch the equaliser off", hr);
}

void CEqualizerPage::OnHScroll(UINT code, HWND control) {
    if (code != TB_ENDTRACK || !Device()) return;
    const int id = GetDlgCtrlID(control);
    const int band = (id >= IDC_EQ_BAND0 && id <= IDC_EQ_BAND9) ? id - IDC_EQ_BAND0 : 0;
    vt::win::ComPtr<IVtEqualizer> eq;
    vt::win::ComPtr<IVtEQGain> gain;
    HRESULT hr = ActiveProfileFeature(IID_IVtEqualizer, eq.PutVoid());
    if (SUCCEEDED(hr) && eq) hr = eq->QueryInterface(IID_IVtEQGain, gain.PutVoid());
    if (FAILED(hr) || !gain) {
        Fail(L"Cannot reach the active profile's equaliser", FAILED(hr) ? hr : E_POINTER);
        return;
    }
    const auto position = static_cast<SHORT>(SendMessageW(Band(band), TBM_GETPOS, 0, 0));
    hr = gain->SetGain(band, position);
    if (FAILED(hr)) {
        // The trackbar goes back to the gain the audio manager keeps.
        SHORT kept = 0;
        if (SUCCEEDED(gain->GetGain(band, &kept))) SendMessageW(Band(band), TBM_SETPOS, TRUE, kept);
        Fail(L"Cannot set the band's gain", hr);
    }
}

} // namespace vt::audtest
