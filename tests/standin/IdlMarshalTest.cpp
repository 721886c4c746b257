// The engine interfaces marshal between apartments through the registered proxy/stub DLL:
// counted strings, the device record with its path, property buffers and records.
#include <gtest/gtest.h>
#include <windows.h>
#include <cstring>
#include <string>
#include <thread>
#include "VtEngine.h"
#include "win/Handles.h"

using vt::win::ComPtr;

namespace {

wchar_t* CoString(const wchar_t* s, ULONG* cch) {
    size_t n = wcslen(s) + 1;
    auto* p = static_cast<wchar_t*>(CoTaskMemAlloc(n * sizeof(wchar_t)));
    memcpy(p, s, n * sizeof(wchar_t));
    *cch = static_cast<ULONG>(n);
    return p;
}

// One object with a device, a profile and a property face, living in the multithreaded apartment.
class Fake final : public IVtDevice, public IVtProfile, public IVtProfileProperties, public IVtButtonAssignments {
public:
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&m_ref); }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG r = InterlockedDecrement(&m_ref);
        if (!r) delete this;
        return r;
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (riid == IID_IUnknown || riid == IID_IVtDevice) *ppv = static_cast<IVtDevice*>(this);
        else if (riid == IID_IVtProfile) *ppv = static_cast<IVtProfile*>(this);
        else if (riid == IID_IVtProfileProperties) *ppv = static_cast<IVtProfileProperties*>(this);
        else if (riid == IID_IVtButtonAssignments) *ppv = static_cast<IVtButtonAssignments*>(this);
        else return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    // IVtDevice
    HRESULT STDMETHODCALLTYPE GetDeviceInfo(VtDeviceInfo* info) override {
        info->VendorId = VT_VENDOR_ID;
        info->ProductId = VT_PID_MOUSE;
        info->FirmwareVersion = {1, 2};
        ULONG cch;
        info->DevicePath = CoString(L"\\\\?\\hid#vid_2f3d&pid_0019#sim", &cch);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE CreateInterfaceInstance(REFIID riid, void** ppv) override {
        return QueryInterface(riid, ppv);
    }
    // IVtProfile
    HRESULT STDMETHODCALLTYPE GetId(GUID* id) override { *id = IID_IVtDpi; return S_OK; }
    HRESULT STDMETHODCALLTYPE GetName(ULONG* cch, WCHAR** name) override {
        *name = CoString(m_name.c_str(), cch);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetName(LPCWSTR name) override { m_name = name; return S_OK; }
    HRESULT STDMETHODCALLTYPE Apply() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Export(LPCWSTR) override { return E_NOTIMPL; }
    // IVtProfileProperties
    HRESULT STDMETHODCALLTYPE GetProperty(ULONG id, ULONG, BYTE* buffer, ULONG, ULONG* size) override {
        if (*size < 2) return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
        buffer[0] = 0x34; buffer[1] = 0x12;
        *size = 2;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetProperty(ULONG id, const BYTE* buffer, ULONG, ULONG size, ULONG) override {
        m_lastSize = size;
        m_lastByte = size ? buffer[size - 1] : 0;
        return S_OK;
    }
    // IVtButtonAssignments
    HRESULT STDMETHODCALLTYPE GetAssignments(ULONG* count, VtActionRecord* records) override {
        ULONG n = *count < 3 ? *count : 3;
        for (ULONG i = 0; i < n; ++i) {
            records[i] = {};
            records[i].Flag = 1;
            records[i].Index = i + 1;
            records[i].Type = 1;
            records[i].Payload[0] = static_cast<BYTE>(i + 1);
        }
        *count = n;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetAssignment(ULONG count, const VtActionRecord* records) override {
        m_lastSize = count;
        m_lastByte = count ? records[count - 1].Payload[19] : 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetButtonInfo(ULONG* count, ULONG* reserved, ULONG* mask) override {
        *count = 7; *reserved = 0; *mask = 0x19F;
        return S_OK;
    }

    ULONG m_lastSize = 0;
    BYTE m_lastByte = 0;
private:
    LONG m_ref = 1;
    std::wstring m_name = L"Profile \u00e9A";
};

// Hands the fake, made on a multithreaded-apartment thread, to this (single-threaded) apartment.
struct CrossApartment : ::testing::Test {
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        IStream* stream = nullptr;
        HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        // The multithreaded apartment lives as long as this thread keeps it initialised.
        mta = std::thread([&, ready] {
            CoInitializeEx(nullptr, COINIT_MULTITHREADED);
            fake = new Fake;
            CoMarshalInterThreadInterfaceInStream(IID_IVtDevice, static_cast<IVtDevice*>(fake), &stream);
            fake->Release();
            SetEvent(ready);
            WaitForSingleObject(done, 30000);
            CoUninitialize();
        });
        WaitForSingleObject(ready, 10000);
        CloseHandle(ready);
        ASSERT_TRUE(stream);
        ASSERT_EQ(S_OK, CoGetInterfaceAndReleaseStream(stream, IID_IVtDevice, device.PutVoid()));
    }
    void TearDown() override {
        device.Reset();
        SetEvent(done);
        if (mta.joinable()) mta.join();
        CloseHandle(done);
        CoUninitialize();
    }
    std::thread mta;
    HANDLE done = nullptr;
    Fake* fake = nullptr;
    ComPtr<IVtDevice> device;
};

TEST_F(CrossApartment, EngineIdlDeviceInfoCarriesItsPath) {
    VtDeviceInfo info{};
    ASSERT_EQ(S_OK, device->GetDeviceInfo(&info));
    EXPECT_EQ(VT_VENDOR_ID, info.VendorId);
    EXPECT_EQ(VT_PID_MOUSE, info.ProductId);
    EXPECT_EQ(2u, info.FirmwareVersion.Minor);
    ASSERT_NE(nullptr, info.DevicePath);
    EXPECT_STREQ(L"\\\\?\\hid#vid_2f3d&pid_0019#sim", info.DevicePath);
    CoTaskMemFree(info.DevicePath);
}

TEST_F(CrossApartment, EngineIdlNamesRoundTripAsCountedStrings) {
    ComPtr<IVtProfile> profile;
    ASSERT_EQ(S_OK, device->CreateInterfaceInstance(IID_IVtProfile, profile.PutVoid()));
    ASSERT_EQ(S_OK, profile->SetName(L"Mixed Case \u00fc"));
    ULONG cch = 0;
    WCHAR* name = nullptr;
    ASSERT_EQ(S_OK, profile->GetName(&cch, &name));
    ASSERT_NE(nullptr, name);
    EXPECT_STREQ(L"Mixed Case \u00fc", name);
    EXPECT_EQ(wcslen(name) + 1, cch);
    CoTaskMemFree(name);
}

TEST_F(CrossApartment, EngineIdlPropertyBuffersAndRecordsCross) {
    ComPtr<IVtProfileProperties> props;
    ASSERT_EQ(S_OK, device->CreateInterfaceInstance(IID_IVtProfileProperties, props.PutVoid()));
    BYTE buffer[256] = {};
    ULONG size = sizeof buffer;
    ASSERT_EQ(S_OK, props->GetProperty(VT_PROP_LINK_FLAGS, 0, buffer, 0, &size));
    EXPECT_EQ(2u, size);
    EXPECT_EQ(0x34, buffer[0]);
    buffer[255] = 0x77;
    ASSERT_EQ(S_OK, props->SetProperty(VT_PROP_LINKED_PROGRAM, buffer, 0, 256, 0));
    EXPECT_EQ(256u, fake->m_lastSize);
    EXPECT_EQ(0x77, fake->m_lastByte);

    ComPtr<IVtButtonAssignments> buttons;
    ASSERT_EQ(S_OK, device->CreateInterfaceInstance(IID_IVtButtonAssignments, buttons.PutVoid()));
    VtActionRecord records[7] = {};
    ULONG count = 7;
    ASSERT_EQ(S_OK, buttons->GetAssignments(&count, records));
    ASSERT_EQ(3u, count);
    EXPECT_EQ(3u, records[2].Index);
    EXPECT_EQ(3, records[2].Payload[0]);
    records[0].Payload[19] = 0x5A;
    ASSERT_EQ(S_OK, buttons->SetAssignment(1, records));
    EXPECT_EQ(0x5A, fake->m_lastByte);
}

}  // namespace
