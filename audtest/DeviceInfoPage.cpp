#include "audtest/DeviceInfoPage.h"
#include "audtest/resource.h"

#include <objbase.h>

#include <cwchar>

namespace vt::audtest {

namespace {

// "<label>: high.low.high.low" of a version pair's two words each.
void ShowVersion(HWND text, const wchar_t* label, const _AUDVERSION& v) {
    wchar_t line[96];
    swprintf(line, 96, L"%ls: %u.%u.%u.%u", label, HIWORD(v.Version), LOWORD(v.Version),
             HIWORD(v.InternalVersion), LOWORD(v.InternalVersion));
    SetWindowTextW(text, line);
}

} // namespace

void CDeviceInfoPage::OnSetActive() {
    auto device = Device();
    if (!device) return;
    _AUDDEVICEINFOTYPE info{};
    const HRESULT hr = device->GetDeviceInfo(&info);
    if (FAILED(hr)) {
        Fail(L"Cannot read the device information", hr);
        return;
    }
    ShowVersion(Item(IDC_FIRMWARE_VERSION), L"Firmware version", info.FirmwareVersion);
    ShowVersion(Item(IDC_DRIVER_VERSION), L"Driver version", info.DriverVersion);
    wchar_t line[64];
    swprintf(line, 64, L"Vendor ID: 0x%04x", static_cast<unsigned>(info.dwVendorId));
    SetWindowTextW(Item(IDC_VENDOR_ID), line);
    swprintf(line, 64, L"Product ID: 0x%04x", static_cast<unsigned>(info.dwProductId));
    SetWindowTextW(Item(IDC_PRODUCT_ID), line);
    CoTaskMemFree(info.pwszDevicePath);
}

} // namespace vt::audtest
