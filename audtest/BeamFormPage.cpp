#include "audtest/BeamFormPage.h"
#include "audtest/resource.h"

namespace vt::audtest {

void CBeamFormPage::Show() {
    if (!Device()) return;
    vt::win::ComPtr<IVtBeamForm> bf;
    HRESULT hr = ActiveProfileFeature(IID_IVtBeamForm, bf.PutVoid());
    long on = 0;
    if (SUCCEEDED(hr) && bf) hr = bf->IsEnable(&on);
    if (FAILED(hr) || !bf) {
        Fail(L"Cannot read the beam forming switch", FAILED(hr) ? hr : E_POINTER);
        return;
    }
    Check(IDC_BF_ENABLED, on != 0);
}

void CBeamFormPage::OnCommand(UINT id, UINT code) {
    if (id != IDC_BF_ENABLED || code != BN_CLICKED || !Device()) return;
    const bool on = Checked(IDC_BF_ENABLED);
    vt::win::ComPtr<IVtBeamForm> bf;
    HRESULT hr = ActiveProfileFeature(IID_IVtBeamForm, bf.PutVoid());
    if (SUCCEEDED(hr) && bf) hr = bf->Enable(on ? 1 : 0);
    if (FAILED(hr) || !bf) Fail(on ? L"Cannot switch beam forming on" : L"Cannot switch beam forming off",
                                FAILED(hr) ? hr : E_POINTER);
}

} // namespace vt::audtest
