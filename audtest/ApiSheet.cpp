#include "audtest/ApiSheet.h"
#include "audtest/BeamFormPage.h"
#include "audtest/DeviceInfoPage.h"
#include "audtest/DevicePage.h"
#include "audtest/EqualizerPage.h"
#include "audtest/LedPage.h"
#include "audtest/MixerPage.h"
#include "audtest/ProfilesPage.h"
#include "audtest/resource.h"

#include <objbase.h>

namespace vt::audtest {

namespace {

template <class Page>
std::unique_ptr<CSheetPage> Make(CVtAudApiSheet& sheet, UINT templateId) {
    return std::make_unique<Page>(sheet, templateId);
}

// The pages in sheet order: template and page class.
struct PageRow {
    UINT templateId;
    std::unique_ptr<CSheetPage> (*make)(CVtAudApiSheet&, UINT);
};
const PageRow kPages[] = {
    {IDD_DEVICES, Make<CDevicePage>},
    {IDD_DEVICE_INFO, Make<CDeviceInfoPage>},
    {IDD_PROFILES, Make<CProfilesPage>},
    {IDD_EQUALIZER, Make<CEqualizerPage>},
    {IDD_LED, Make<CLEDPage>},
    {IDD_BEAMFORM, Make<CBeamFormPage>},
    {IDD_MIXER, Make<CMixerPage>},
};

const wchar_t kCaption[] = L"Velto Middleware Audio Test Application";

} // namespace

CVtAudApiSheet::CVtAudApiSheet(HINSTANCE resources) : m_resources(resources) {
    for (const PageRow& row : kPages) m_pages.push_back(row.make(*this, row.templateId));
}

CVtAudApiSheet::~CVtAudApiSheet() {
    Close();
    ReleaseAudioManager();
}

void CVtAudApiSheet::OpenAudioManager() {
    ReleaseAudioManager();
    HRESULT hr = CoCreateInstance(CLSID_VtAudDeviceMgr, nullptr, CLSCTX_ALL, IID_IVtAudDeviceMgr,
                                  m_manager.PutVoid());
    if (FAILED(hr) || !m_manager) {
        m_manager.Reset();
        return;
    }
    vt::win::ComPtr<IVtAudDevice> first;
    if (SUCCEEDED(m_manager->EnumDevices(0, first.Put()))) m_device = first;
}

void CVtAudApiSheet::ReleaseAudioManager() {
    m_device.Reset();
    m_manager.Reset();
}

PROPSHEETHEADERW CVtAudApiSheet::Header(std::vector<PROPSHEETPAGEW>& pages, DWORD flags) {
    for (auto& page : m_pages) pages.push_back(page->Descriptor(m_resources));
    PROPSHEETHEADERW header{};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW | PSH_USEICONID | flags;
    header.hwndParent = nullptr;
    header.hInstance = m_resources;
    header.pszIcon = MAKEINTRESOURCEW(IDR_MAINFRAME);
    header.pszCaption = kCaption;
    header.nPages = static_cast<UINT>(pages.size());
    header.nStartPage = 0;
    header.ppsp = pages.data();
    return header;
}

INT_PTR CVtAudApiSheet::RunModal() {
    std::vector<PROPSHEETPAGEW> pages;
    PROPSHEETHEADERW header = Header(pages, 0);
    const INT_PTR result = PropertySheetW(&header);
    // Released before the pages and before COM goes, however the sheet was closed.
    ReleaseAudioManager();
    return result;
}

HWND CVtAudApiSheet::CreateModeless() {
    Close();
    std::vector<PROPSHEETPAGEW> pages;
    PROPSHEETHEADERW header = Header(pages, PSH_MODELESS);
    m_modeless = reinterpret_cast<HWND>(PropertySheetW(&header));
    if (m_modeless && !IsWindow(m_modeless)) m_modeless = nullptr;
    return m_modeless;
}

void CVtAudApiSheet::Close() {
    if (m_modeless && IsWindow(m_modeless)) DestroyWindow(m_modeless);
    m_modeless = nullptr;
}

} // namespace vt::audtest
