// The audio manager's objects in this process against the headset simulator, a registry store of
// the test's own and fake audio endpoints.
#include "audmgr/Objects.h"
#include "audmgr/Store.h"
#include "standin/audio/FakeAudioEndpoints.h"
#include "standin/headset/HeadsetSimulator.h"
#include "win/AudioEndpoints.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

using namespace vt::aud;
using vt::sim::HeadsetPath;

namespace {

template <class T>
struct Ptr {
    T* p = nullptr;
    ~Ptr() { if (p) p->Release(); }
    T* operator->() const { return p; }
    T** operator&() { return &p; }
    void** V() { return reinterpret_cast<void**>(&p); }
    void Reset() { if (p) { p->Release(); p = nullptr; } }
};

// A store of this process's own; process ids are reused, so a key left behind by a process that
// died is removed before use.
std::wstring TestRoot() { return L"Software\\VeltoAudTest\\" + std::to_wstring(GetCurrentProcessId()); }
std::wstring TestDeviceKey() { return TestRoot() + L"\\{CE89CE08-D9EC-4A3B-B359-2F7EA6611A2F}"; }

class AudObjects : public testing::Test {
protected:
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        RegDeleteTreeW(HKEY_CURRENT_USER, TestRoot().c_str());
        SetStoreRoot(HKEY_CURRENT_USER, L"HKCU", TestDeviceKey());
        sim = vt::sim::MakeHeadsetSimulator();
        SetHidBackend(sim);
        endpoints = vt::sim::MakeFakeAudioEndpoints();
        vt::win::SetAudioEndpoints(endpoints);
        mgr = new CVtAudDeviceMgr;
    }
    void TearDown() override {
        mgr->Release();
        RegDeleteTreeW(HKEY_CURRENT_USER, TestRoot().c_str());
        SetHidBackend(nullptr);
        vt::win::SetAudioEndpoints(nullptr);
        CoUninitialize();
    }

    // Device 0, its profile manager and the profile of a built-in row.
    void Open() {
        ASSERT_EQ(mgr->EnumDevices(0, &device), S_OK);
        GUID iid = IID_IVtProfileManager;
        ASSERT_EQ(device->CreateInterfaceInstance(&iid, pm.V()), S_OK);
    }
    HRESULT Profile(int row, IVtProfile** p) { return pm->GetProfileById(kBuiltInProfiles[row].id, p); }
    static HRESULT Gains(IVtProfile* p, IVtEQGain** gain) {
        Ptr<IVtEqualizer> eq;
        HRESULT hr = p->CreateInterfaceInstance(IID_IVtEqualizer, eq.V());
        return SUCCEEDED(hr) ? eq->QueryInterface(IID_IVtEQGain, reinterpret_cast<void**>(gain)) : hr;
    }
    std::wstring ProfileKey(const GUID& id) { return TestDeviceKey() + L"\\Profiles\\" + GuidString(id); }
    std::wstring ProfilesKey() { return TestDeviceKey() + L"\\Profiles"; }
    std::vector<uint8_t> ReadValue(const std::wstring& key, const wchar_t* name) {
        StoreKey k;
        k.Open(key);
        auto v = k.ReadBinaryUpTo(name, 4096);
        return v ? *v : std::vector<uint8_t>{};
    }
    void MakeActive(int row) {
        StoreKey k;
        k.Open(ProfilesKey());
        k.WriteString(L"ActiveProfile", GuidString(kBuiltInProfiles[row].id));
    }
    // Output reports sent since `from` whose first bytes equal prefix.
    unsigned CountSent(unsigned from, std::vector<uint8_t> prefix) {
        unsigned n = 0;
        for (unsigned i = from; i < sim->SentCount(); ++i) {
            auto r = sim->SentReport(i);
            if (r.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), r.begin())) ++n;
        }
        return n;
    }

    std::shared_ptr<vt::sim::HeadsetSimulator> sim;
    std::shared_ptr<vt::sim::FakeAudioEndpoints> endpoints;
    CVtAudDeviceMgr* mgr = nullptr;
    Ptr<IVtAudDevice> device;
    Ptr<IVtProfileManager> pm;
};

// ---- device manager and device ----

TEST(AudParseVidPid, Paths) {
    struct Case { const wchar_t* path; HRESULT hr; USHORT vid, pid; };
    const Case cases[] = {
        {L"\\\\?\\hid#vid_2f3d&pid_001b&mi_00#7&1#{4d1e55b2}", S_OK, 0x2F3D, 0x1B},
        {L"\\\\?\\HID#VID_2F3D&PID_001B#7&1#{4D1E55B2}", S_OK, 0x2F3D, 0x1B},
        {L"\\\\?\\hid#vid_845e&pid_0001#0", S_OK, 0x845E, 1},
        {L"\\\\?\\hid#vid_2f3d&xyz#1", E_FAIL, 0, 0},
        {L"\\\\?\\hid#vid_2f3d&pid_0000#1", E_FAIL, 0, 0},
        {L"\\\\?\\hid#pid_001b&vid_", E_FAIL, 0, 0},
        {L"\\\\?\\hid#provider#vid_2f3d&pid_001b#", S_OK, 0x2F3D, 0x1B},
        {L"vid", E_FAIL, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::string(c.path, c.path + wcslen(c.path)));
        USHORT vid = 7, pid = 7;
        EXPECT_EQ(CVtAudDeviceMgr::ParseVidPid(c.path, &vid, &pid), c.hr);
        EXPECT_EQ(vid, c.hr == S_OK ? c.vid : 7);
        EXPECT_EQ(pid, c.hr == S_OK ? c.pid : 7);
    }
}

TEST_F(AudObjects, EnumeratesEveryHeadsetInterface) {
    auto list = vt::sim::WineOwnInterfaces();
    list.push_back({HeadsetPath(0, 0x2F3D, 0x0019)});  // the mouse
    list.push_back({HeadsetPath(0)});
    list.push_back({L"\\\\?\\hid#vid_2f3d&pid_0000#bad"});
    list.push_back({HeadsetPath(1)});
    sim->SetInterfaces(list);
    IVtAudDevice* d0 = nullptr;
    IVtAudDevice* d1 = nullptr;
    ASSERT_EQ(mgr->EnumDevices(0, &d0), S_OK);
    ASSERT_EQ(mgr->EnumDevices(1, &d1), S_OK);
    _AUDDEVICEINFOTYPE info{};
    ASSERT_EQ(d1->GetDeviceInfo(&info), S_OK);
    EXPECT_EQ(std::wstring(info.pwszDevicePath), HeadsetPath(1));
    CoTaskMemFree(info.pwszDevicePath);
    d0->Release();
    d1->Release();
    EXPECT_NE(ReadValue(TestDeviceKey(), L"FW"), std::vector<uint8_t>(4, 0));
    IVtAudDevice* untouched = reinterpret_cast<IVtAudDevice*>(0x1234);
    EXPECT_EQ(mgr->EnumDevices(2, &untouched), E_FAIL);
    EXPECT_EQ(untouched, reinterpret_cast<IVtAudDevice*>(0x1234));
    EXPECT_EQ(ReadValue(TestDeviceKey(), L"FW"), std::vector<uint8_t>(4, 0));
    EXPECT_EQ(mgr->EnumDevices(0, nullptr), E_POINTER);
}

TEST_F(AudObjects, DeviceInformationAndFirmwareCache) {
    ASSERT_EQ(mgr->EnumDevices(0, &device), S_OK);
    // Five one-byte reads of the firmware registers, in this order.
    const uint16_t order[5] = {0x1001, 0x1002, 0x1003, 0x1004, 0x1005};
    unsigned reads = 0;
    for (unsigned i = 0; i < sim->SentCount(); ++i) {
        auto r = sim->SentReport(i);
        if (r[0] == 4 && r[1] == 0 && reads < 5) {
            EXPECT_EQ((r[3] << 8 | r[4]), order[reads]);
            EXPECT_EQ(r[2], 1);
            ++reads;
        }
    }
    EXPECT_EQ(reads, 5u);
    _AUDDEVICEINFOTYPE info{};
    ASSERT_EQ(device->GetDeviceInfo(&info), S_OK);
    EXPECT_EQ(info.dwVendorId, kVeltoVendorId);
    EXPECT_EQ(info.dwProductId, 0x1Bu);
    EXPECT_EQ(info.DriverVersion.Version, 0x10000u);  // shown as 1.0.0.0
    EXPECT_EQ(info.FirmwareVersion.Version, 0x00010003u);
    EXPECT_EQ(info.FirmwareVersion.InternalVersion, 0x00000007u);
    EXPECT_EQ(std::wstring(info.pwszDevicePath), HeadsetPath(0));
    CoTaskMemFree(info.pwszDevicePath);
    EXPECT_EQ(device->GetDeviceInfo(nullptr), E_POINTER);

    // A second device reads no firmware register while the cache holds bytes.
    const unsigned before = sim->SentCount();
    Ptr<IVtAudDevice> again;
    ASSERT_EQ(mgr->EnumDevices(0, &again), S_OK);
    EXPECT_EQ(sim->SentCount(), before);

    GUID other = IID_IVtEqualizer;
    void* pv = nullptr;
    EXPECT_EQ(device->CreateInterfaceInstance(&other, &pv), E_NOINTERFACE);
    GUID sync = IID_IVtSync;
    ASSERT_EQ(device->CreateInterfaceInstance(&sync, &pv), S_OK);
    static_cast<IUnknown*>(pv)->Release();
}

TEST_F(AudObjects, NoHeadsetAndUnopenableHeadset) {
    sim->SetInterfaces(vt::sim::WineOwnInterfaces());
    EXPECT_EQ(mgr->EnumDevices(0, &device), E_FAIL);
    auto list = vt::sim::WineOwnInterfaces();
    list.push_back({HeadsetPath(0), false});
    sim->SetInterfaces(list);
    EXPECT_EQ(mgr->EnumDevices(0, &device), E_FAIL);
    EXPECT_EQ(device.p, nullptr);
}

// ---- profile store ----

TEST_F(AudObjects, FreshStoreHoldsTheBuiltInProfiles) {
    Open();
    for (int row = 0; row < 10; ++row) {
        Ptr<IVtProfile> p;
        ASSERT_EQ(pm->GetProfileByIndex(row, &p), S_OK);
        GUID id{};
        p->GetId(&id);
        EXPECT_TRUE(IsEqualGUID(id, kBuiltInProfiles[row].id));
        ULONG cch = 0;
        WCHAR* name = nullptr;
        ASSERT_EQ(p->GetName(&cch, &name), S_OK);
        EXPECT_STREQ(name, kBuiltInProfiles[row].name);
        EXPECT_EQ(cch, wcslen(name) + 1);
        CoTaskMemFree(name);
    }
    Ptr<IVtProfile> none;
    EXPECT_EQ(pm->GetProfileByIndex(10, &none), E_FAIL);
    Ptr<IVtProfile> active;
    ASSERT_EQ(pm->GetActiveProfile(&active), S_OK);
    GUID id{};
    active->GetId(&id);
    EXPECT_TRUE(IsEqualGUID(id, kBuiltInProfiles[0].id));
    StoreKey k;
    k.Open(ProfilesKey());
    EXPECT_EQ(*k.ReadString(L"DefaultProfile", 260), GuidString(kBuiltInProfiles[0].id));
    EXPECT_EQ(ReadValue(ProfilesKey(), L"ProfileList").size(), 160u);
}

TEST_F(AudObjects, RefusalsOfTheStore) {
    Open();
    const auto listBefore = ReadValue(ProfilesKey(), L"ProfileList");
    Ptr<IVtProfile> created;
    EXPECT_EQ(pm->CreateProfile(&created), E_FAIL);  // the ten built-ins fill the limit
    EXPECT_EQ(ReadValue(ProfilesKey(), L"ProfileList"), listBefore);
    Ptr<IVtProfile> rock;
    ASSERT_EQ(Profile(6, &rock), S_OK);
    EXPECT_EQ(rock->SetName(L"Stone"), E_FAIL);
    EXPECT_EQ(pm->DeleteProfile(rock.p), E_FAIL);
    EXPECT_EQ(pm->DeleteProfile(nullptr), E_POINTER);
    EXPECT_EQ(pm->SetActiveProfile(nullptr), E_POINTER);
    EXPECT_EQ(rock->SetName(nullptr), E_POINTER);
    EXPECT_EQ(pm->Reserved9(), E_NOTIMPL);
    EXPECT_EQ(pm->ImportProfile(L"x.vtp", &created), E_NOTIMPL);
    // Before Init every operation is refused.
    auto* fresh = new CVtProfileManager;
    IVtProfile* p = nullptr;
    EXPECT_EQ(fresh->GetProfileByIndex(0, &p), E_ABORT);
    EXPECT_EQ(fresh->CreateProfile(&p), E_ABORT);
    EXPECT_EQ(fresh->GetActiveProfile(&p), E_ABORT);
    fresh->Release();
    auto* blank = new CVtProfile;
    EXPECT_EQ(blank->Apply(), E_ABORT);
    EXPECT_EQ(blank->Save(), E_ABORT);
    EXPECT_EQ(blank->Export(L"c:\\x.vtp"), E_ABORT);
    blank->Release();
}

// A user profile (written straight into the store, as the built-ins fill the limit) that is
// active and deleted: "Default" becomes active and is applied, and the key is really gone.
TEST_F(AudObjects, DeletingTheActiveUserProfile) {
    Open();
    const GUID user = {0x11111111, 0x2222, 0x3333, {1, 2, 3, 4, 5, 6, 7, 8}};
    {
        StoreKey k;
        ASSERT_EQ(k.Create(ProfileKey(user)), ERROR_SUCCESS);
        k.WriteString(L"Name", L"Mine");
        StoreKey list;
        list.Open(ProfilesKey());
        auto ids = ReadProfileList(list);
        ids.push_back(user);
        list.WriteBinary(L"ProfileList", ids.data(), ids.size() * 16);
        list.WriteString(L"ActiveProfile", GuidString(user));
    }
    Ptr<IVtProfile> p;
    ASSERT_EQ(pm->GetProfileByIndex(10, &p), S_OK);
    ASSERT_EQ(p->SetName(L"Renamed"), S_OK);
    const unsigned applies = sim->ApplyCount();
    ASSERT_EQ(pm->DeleteProfile(p.p), S_OK);
    EXPECT_EQ(sim->ApplyCount(), applies + 1);
    StoreKey gone;
    EXPECT_EQ(gone.Open(ProfileKey(user)), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(ReadValue(ProfilesKey(), L"ProfileList").size(), 160u);
    Ptr<IVtProfile> active;
    ASSERT_EQ(pm->GetActiveProfile(&active), S_OK);
    GUID id{};
    active->GetId(&id);
    EXPECT_TRUE(IsEqualGUID(id, kBuiltInProfiles[0].id));
}

TEST_F(AudObjects, DamagedStoreValues) {
    Open();
    StoreKey profiles;
    profiles.Open(ProfilesKey());
    // A list naming an absent profile: the profile object exists, its reads fail cleanly.
    const GUID ghost = {0xDEADBEEF, 1, 2, {3, 4, 5, 6, 7, 8, 9, 10}};
    profiles.WriteBinary(L"ProfileList", &ghost, 16);
    Ptr<IVtProfile> p;
    ASSERT_EQ(pm->GetProfileByIndex(0, &p), S_OK);
    ULONG cch = 5;
    WCHAR* name = reinterpret_cast<WCHAR*>(1);
    EXPECT_TRUE(FAILED(p->GetName(&cch, &name)));
    EXPECT_EQ(name, nullptr);
    Ptr<IVtEqualizer> eq;
    ASSERT_EQ(p->CreateInterfaceInstance(IID_IVtEqualizer, eq.V()), S_OK);
    // A list of the wrong size or type, an empty one, or none at all.
    const uint8_t odd[17] = {};
    profiles.WriteBinary(L"ProfileList", odd, 17);
    Ptr<IVtProfile> q;
    EXPECT_EQ(pm->GetProfileByIndex(0, &q), E_FAIL);
    EXPECT_EQ(pm->CreateProfile(&q), E_FAIL);  // a damaged list is left for repair, not replaced
    EXPECT_EQ(ReadValue(ProfilesKey(), L"ProfileList").size(), 17u);
    profiles.WriteDword(L"ProfileList", 5);
    EXPECT_EQ(pm->GetProfileByIndex(0, &q), E_FAIL);
    RegDeleteValueW(profiles.Get(), L"ProfileList");
    EXPECT_EQ(pm->GetProfileByIndex(0, &q), E_FAIL);
    // Without a list a new profile starts one, so that it can be found by index.
    ASSERT_EQ(pm->CreateProfile(&q), S_OK);
    ULONG newCch = 0;
    WCHAR* newName = nullptr;
    ASSERT_EQ(q->GetName(&newCch, &newName), S_OK);
    EXPECT_STREQ(newName, L"New");
    CoTaskMemFree(newName);
    q.Reset();
    ASSERT_EQ(pm->GetProfileByIndex(0, &q), S_OK);
    EXPECT_EQ(ReadValue(ProfilesKey(), L"ProfileList").size(), 16u);
    q.Reset();
    // An active id that is not an id.
    profiles.WriteString(L"ActiveProfile", L"{not a guid}");
    EXPECT_TRUE(FAILED(pm->GetActiveProfile(&q)));
    profiles.WriteDword(L"ActiveProfile", 1);
    EXPECT_TRUE(FAILED(pm->GetActiveProfile(&q)));
    // Feature values of the wrong size or type read as defaults.
    StoreKey k;
    k.Open(ProfileKey(kBuiltInProfiles[2].id));
    const uint8_t shortEq[10] = {};
    k.WriteBinary(L"EQ", shortEq, 10);
    k.WriteDword(L"LED", 0);
    k.WriteBinary(L"LEDCOLOR", shortEq, 10);
    k.WriteString(L"BFMode", L"on");
    Ptr<IVtProfile> ostrell;
    ASSERT_EQ(Profile(2, &ostrell), S_OK);
    Ptr<IVtEQGain> gain;
    ASSERT_EQ(Gains(ostrell.p, &gain), S_OK);
    SHORT g = 0;
    EXPECT_EQ(gain->GetGain(0, &g), S_OK);
    EXPECT_EQ(g, -12);
    Ptr<IVtLighting> lighting;
    ASSERT_EQ(ostrell->CreateInterfaceInstance(IID_IVtLighting, lighting.V()), S_OK);
    Ptr<IVtLightingZone> zone;
    ASSERT_EQ(lighting->GetZone(0, &zone), S_OK);
    LONG on = 0;
    zone->IsOn(&on);
    EXPECT_EQ(on, 1);
    Ptr<IVtBeamForm> bf;
    ASSERT_EQ(ostrell->CreateInterfaceInstance(IID_IVtBeamForm, bf.V()), S_OK);
    long bfOn = 1;
    EXPECT_EQ(bf->IsEnable(&bfOn), S_OK);
    EXPECT_EQ(bfOn, 0);
    // A name stored without its terminating null, and an over-long one, are terminated.
    const wchar_t raw[3] = {L'A', L'b', L'c'};
    RegSetValueExW(k.Get(), L"Name", 0, REG_SZ, reinterpret_cast<const BYTE*>(raw), sizeof raw);
    ASSERT_EQ(ostrell->GetName(&cch, &name), S_OK);
    EXPECT_STREQ(name, L"Abc");
    CoTaskMemFree(name);
    k.WriteString(L"Name", std::wstring(600, L'x'));
    ASSERT_EQ(ostrell->GetName(&cch, &name), S_OK);
    EXPECT_EQ(wcslen(name), 260u);
    CoTaskMemFree(name);
}

TEST_F(AudObjects, KeysRemovedUnderLiveObjects) {
    Open();
    Ptr<IVtProfile> rock;
    ASSERT_EQ(Profile(6, &rock), S_OK);
    Ptr<IVtLighting> lighting;
    ASSERT_EQ(rock->CreateInterfaceInstance(IID_IVtLighting, lighting.V()), S_OK);
    Ptr<IVtEqualizer> eq;
    ASSERT_EQ(rock->CreateInterfaceInstance(IID_IVtEqualizer, eq.V()), S_OK);
    Ptr<IVtBeamForm> bf;
    ASSERT_EQ(rock->CreateInterfaceInstance(IID_IVtBeamForm, bf.V()), S_OK);
    Ptr<IVtLightingZone> zone;
    ASSERT_EQ(lighting->GetZone(0, &zone), S_OK);
    ASSERT_EQ(RegDeleteTreeW(HKEY_CURRENT_USER, TestDeviceKey().c_str()), ERROR_SUCCESS);

    Ptr<IVtProfile> p;
    EXPECT_EQ(pm->GetProfileByIndex(0, &p), E_FAIL);
    EXPECT_TRUE(FAILED(pm->GetProfileById(kBuiltInProfiles[0].id, &p)));
    EXPECT_TRUE(FAILED(pm->GetActiveProfile(&p)));
    EXPECT_TRUE(FAILED(pm->CreateProfile(&p)));
    EXPECT_EQ(p.p, nullptr);
    ULONG cch = 0;
    WCHAR* name = nullptr;
    EXPECT_TRUE(FAILED(rock->GetName(&cch, &name)));
    Ptr<IVtPersistSettings> profileSave;
    ASSERT_EQ(rock->QueryInterface(IID_IVtPersistSettings, profileSave.V()), S_OK);
    EXPECT_TRUE(FAILED(profileSave->Save()));
    Ptr<IVtPersistSettings> persist;
    ASSERT_EQ(eq->QueryInterface(IID_IVtPersistSettings, persist.V()), S_OK);
    EXPECT_EQ(persist->Save(), E_FAIL);
    // The objects keep answering from what they hold; nothing is written to the headset, as no
    // profile is active any more.
    sim->ClearLog();
    EXPECT_EQ(zone->TurnOff(), S_OK);
    Ptr<IVtLightingEffect> effect;
    zone->QueryInterface(IID_IVtLightingEffect, effect.V());
    LONG mode = 9;
    EXPECT_EQ(effect->GetEffect(&mode, nullptr, nullptr), S_OK);
    EXPECT_EQ(mode, 9);
    EXPECT_EQ(bf->Enable(1), S_OK);
    EXPECT_EQ(rock->Apply(), S_OK);
    EXPECT_EQ(CountSent(0, {4, 0x40, 11}), 0u);
}

// ---- equaliser and beam forming ----

TEST_F(AudObjects, EqualiserGains) {
    Open();
    Ptr<IVtProfile> ostrell;
    ASSERT_EQ(Profile(2, &ostrell), S_OK);
    Ptr<IVtEQGain> gain;
    ASSERT_EQ(Gains(ostrell.p, &gain), S_OK);
    auto eq = ReadValue(ProfileKey(kBuiltInProfiles[2].id), L"EQ");
    ASSERT_EQ(eq.size(), 80u);
    int16_t band0 = 0;
    std::memcpy(&band0, eq.data() + 6, 2);
    EXPECT_EQ(band0, -3072);
    SHORT lo = 0, hi = 0;
    EXPECT_EQ(gain->QueryGainRange(9, &lo, &hi), S_OK);
    EXPECT_EQ(lo, -36);
    EXPECT_EQ(hi, 15);
    EXPECT_EQ(gain->QueryGainRange(10, &lo, &hi), E_POINTER);
    EXPECT_EQ(gain->SetGain(10, 0), E_FAIL);
    SHORT g = 0;
    EXPECT_EQ(gain->GetGain(10, &g), E_FAIL);
    EXPECT_EQ(gain->GetGain(0, nullptr), E_FAIL);
    ASSERT_EQ(gain->SetGain(3, -7), S_OK);
    EXPECT_EQ(gain->GetGain(3, &g), S_OK);
    EXPECT_EQ(g, -7);
    eq = ReadValue(ProfileKey(kBuiltInProfiles[2].id), L"EQ");
    EXPECT_EQ(eq[3 * 8 + 6], 0x00);
    EXPECT_EQ(eq[3 * 8 + 7], 0xF9);
    // A gain that does not fit the stored dB x 256 is refused, not wrapped.
    EXPECT_EQ(gain->SetGain(3, 200), E_INVALIDARG);
    EXPECT_EQ(gain->SetGain(3, -129), E_INVALIDARG);
    EXPECT_EQ(gain->GetGain(3, &g), S_OK);
    EXPECT_EQ(g, -7);
    EXPECT_EQ(sim->SentCount(), 5u);  // only the firmware reads: the profile is not active
}

TEST_F(AudObjects, EqualiserOnTheActiveProfile) {
    Open();
    MakeActive(1);
    Ptr<IVtProfile> dravon;
    ASSERT_EQ(Profile(1, &dravon), S_OK);
    Ptr<IVtEqualizer> eq;
    ASSERT_EQ(dravon->CreateInterfaceInstance(IID_IVtEqualizer, eq.V()), S_OK);
    Ptr<IVtEQGain> gain;
    ASSERT_EQ(eq->QueryInterface(IID_IVtEQGain, gain.V()), S_OK);
    const unsigned commits = sim->CommitCount();
    ASSERT_EQ(gain->SetGain(5, 4), S_OK);  // the stored value: "EQ" is not rewritten, the block is sent
    const uint8_t expected[11] = {0x55, 0x41, 0x9b, 0x85, 0x1e, 0x3a, 0x65, 0x7a, 0x8d, 0xc4, 0x03};
    for (int i = 0; i < 11; ++i) EXPECT_NEAR(sim->Memory(0x1021 + 55 + i), expected[i], i % 2 == 0 ? 1 : 0) << i;
    EXPECT_EQ(CountSent(0, {4, 0x40, 11, 0x10, 0x58}), 1u);
    sim->ClearLog();
    ASSERT_EQ(gain->SetGain(5, 4), S_OK);
    EXPECT_EQ(CountSent(0, {4, 0x40, 11, 0x10, 0x58}), 1u);
    EXPECT_GE(sim->CommitCount(), commits + 1);

    // Enable with any non-zero value touches bit 0 of the control register only.
    sim->SetMemory(0x1137, 0xF0);
    ASSERT_EQ(eq->Enable(2), S_OK);
    EXPECT_EQ(sim->Memory(0x1137), 0xF1);
    LONG on = 0;
    ASSERT_EQ(eq->IsEnable(&on), S_OK);
    EXPECT_EQ(on, 1);
    ASSERT_EQ(eq->Enable(0), S_OK);
    EXPECT_EQ(sim->Memory(0x1137), 0xF0);
    EXPECT_EQ(eq->IsEnable(nullptr), E_POINTER);

    // A damaged band type is never written as an all-zero (silencing) block.
    {
        StoreKey k;
        k.Open(ProfileKey(kBuiltInProfiles[1].id));
        auto bands = ReadValue(ProfileKey(kBuiltInProfiles[1].id), L"EQ");
        bands[2 * 8] = 7;
        k.WriteBinary(L"EQ", bands.data(), 80);
    }
    Ptr<IVtEQGain> damaged;
    ASSERT_EQ(Gains(dravon.p, &damaged), S_OK);
    sim->ClearLog();
    ASSERT_EQ(damaged->SetGain(2, 3), S_OK);
    EXPECT_EQ(CountSent(0, {4, 0x40, 11}), 0u);

    // A commit register that never clears ends in failure within the bound, not in a hang.
    auto f = sim->GetFaults();
    f.commitPendingReads = -1;
    sim->SetFaults(f);
    sim->SetMemory(0x1138, 1);
    EXPECT_EQ(gain->SetGain(4, 2), E_FAIL);
    EXPECT_EQ(eq->Enable(1), E_FAIL);
    SHORT g = 0;
    gain->GetGain(4, &g);
    EXPECT_EQ(g, 2);
    auto stored = ReadValue(ProfileKey(kBuiltInProfiles[1].id), L"EQ");
    EXPECT_EQ(static_cast<int8_t>(stored[4 * 8 + 7]), 2);  // the store agrees with the object
}

TEST_F(AudObjects, EqualiserSaveRestoresDefaultsOnly) {
    Open();
    MakeActive(3);
    Ptr<IVtProfile> kharvi;
    ASSERT_EQ(Profile(3, &kharvi), S_OK);
    Ptr<IVtEqualizer> eq;
    ASSERT_EQ(kharvi->CreateInterfaceInstance(IID_IVtEqualizer, eq.V()), S_OK);
    Ptr<IVtEQGain> gain;
    eq->QueryInterface(IID_IVtEQGain, gain.V());
    gain->SetGain(0, 9);
    sim->SetMemory(0x1137, 1);
    Ptr<IVtPersistSettings> persist;
    ASSERT_EQ(eq->QueryInterface(IID_IVtPersistSettings, persist.V()), S_OK);
    ASSERT_EQ(persist->Save(), S_OK);
    SHORT g = 0;
    gain->GetGain(0, &g);
    EXPECT_EQ(g, -5);
    EXPECT_EQ(sim->Memory(0x1137), 1);
    VtEqualizerInfo info{};
    ASSERT_EQ(eq->GetInfo(&info), S_OK);
    EXPECT_EQ(info.TotalBand, 10u);
}

TEST_F(AudObjects, BeamForming) {
    Open();
    Ptr<IVtProfile> metal;
    ASSERT_EQ(Profile(7, &metal), S_OK);
    Ptr<IVtBeamForm> bf;
    ASSERT_EQ(metal->CreateInterfaceInstance(IID_IVtBeamForm, bf.V()), S_OK);
    sim->ClearLog();
    ASSERT_EQ(bf->Enable(1), S_OK);
    EXPECT_EQ(sim->SentCount(), 0u);  // inactive: registry only
    StoreKey k;
    k.Open(ProfileKey(kBuiltInProfiles[7].id));
    EXPECT_EQ(*k.ReadDword(L"BFMode"), 1u);
    MakeActive(7);
    sim->SetMemory(0x1136, 0x21);
    ASSERT_EQ(bf->Enable(2), S_OK);
    EXPECT_EQ(sim->Memory(0x1136), 0x29);  // bit 3 only
    long on = 0;
    bf->IsEnable(&on);
    EXPECT_EQ(on, 1);
    ASSERT_EQ(bf->Enable(0), S_OK);
    EXPECT_EQ(sim->Memory(0x1136), 0x21);
    EXPECT_EQ(*k.ReadDword(L"BFMode"), 0u);
    _vtbeamforminfo_ info{1};
    EXPECT_EQ(bf->GetInfo(&info), S_OK);
    EXPECT_EQ(info.SupportFeature, 0u);
    EXPECT_EQ(bf->GetInfo(nullptr), E_POINTER);
}

// ---- lighting ----

TEST_F(AudObjects, LightingZones) {
    Open();
    Ptr<IVtProfile> techno;
    ASSERT_EQ(Profile(5, &techno), S_OK);
    Ptr<IVtLighting> lighting;
    ASSERT_EQ(techno->CreateInterfaceInstance(IID_IVtLighting, lighting.V()), S_OK);
    for (ULONG i = 0; i < 3; ++i) {
        Ptr<IVtLightingZone> zone;
        ASSERT_EQ(lighting->GetZone(i, &zone), S_OK);
        LONG on = 0;
        zone->IsOn(&on);
        EXPECT_EQ(on, 1);
        Ptr<IVtLightingColor> colour;
        ASSERT_EQ(zone->QueryInterface(IID_IVtLightingColor, colour.V()), S_OK);
        DWORD c = 0;
        colour->GetColor(&c);
        EXPECT_EQ(c, 0x00FF0000u);
        Ptr<IVtLightingEffect> effect;
        ASSERT_EQ(zone->QueryInterface(IID_IVtLightingEffect, effect.V()), S_OK);
        LONG mode = -1;
        effect->GetEffect(&mode, nullptr, nullptr);
        EXPECT_EQ(mode, 4);
    }
    Ptr<IVtLightingZone> zone;
    EXPECT_EQ(lighting->GetZone(3, &zone), E_FAIL);
    EXPECT_EQ(lighting->GetZoneById(5, &zone), E_FAIL);
    ASSERT_EQ(lighting->GetZoneById(4, &zone), S_OK);
    ULONG id = 0;
    zone->GetZoneId(&id);
    EXPECT_EQ(id, 4u);
    Ptr<IVtLightingEffect> effect;
    zone->QueryInterface(IID_IVtLightingEffect, effect.V());
    EXPECT_EQ(effect->SetEffect(1, 0, 0), E_NOTIMPL);
    EXPECT_EQ(effect->SetEffect(0, 0, 0), S_OK);
    LONG mode = -1;
    effect->GetEffect(&mode, nullptr, nullptr);
    EXPECT_EQ(mode, 0);
    EXPECT_EQ(effect->GetEffect(nullptr, nullptr, nullptr), E_POINTER);
    Ptr<IVtLightingBrightness> brightness;
    ASSERT_EQ(zone->QueryInterface(IID_IVtLightingBrightness, brightness.V()), S_OK);
    EXPECT_EQ(brightness->GetBrightness(&mode), E_NOTIMPL);

    // Inactive: registry only. Active and off: SetColor stores it; TurnOn sends it.
    Ptr<IVtLightingColor> colour;
    zone->QueryInterface(IID_IVtLightingColor, colour.V());
    sim->ClearLog();
    ASSERT_EQ(colour->SetColor(0x00112233), S_OK);
    EXPECT_EQ(sim->SentCount(), 0u);
    auto colours = ReadValue(ProfileKey(kBuiltInProfiles[5].id), L"LEDCOLOR");
    EXPECT_EQ(colours[4], 0x33);
    MakeActive(5);
    ASSERT_EQ(zone->TurnOff(), S_OK);
    EXPECT_EQ(sim->BusRegister(0x61, 8), 0x00);
    sim->ClearLog();
    ASSERT_EQ(colour->SetColor(0x00445566), S_OK);
    EXPECT_EQ(sim->SentCount(), 0u);
    ASSERT_EQ(zone->TurnOn(), S_OK);
    EXPECT_EQ(sim->BusRegister(0x61, 8), 0x3F);
    EXPECT_EQ(sim->BusRegister(0x61, 2), 0x66);  // red
    EXPECT_EQ(sim->BusRegister(0x61, 3), 0x55);
    EXPECT_EQ(sim->BusRegister(0x61, 4), 0x44);
    EXPECT_EQ(sim->Memory(0x001A), 0x66);
    EXPECT_EQ(CountSent(0, {6, 0x01, 0xC2, 0x00, 0xA8, 0x3F}), 1u);
    auto led = ReadValue(ProfileKey(kBuiltInProfiles[5].id), L"LED");
    EXPECT_EQ(led[1], 0x01);  // on, effect 0
    // Saving restores the defaults.
    Ptr<IVtPersistSettings> persist;
    ASSERT_EQ(lighting->QueryInterface(IID_IVtPersistSettings, persist.V()), S_OK);
    ASSERT_EQ(persist->Save(), S_OK);
    EXPECT_EQ(ReadValue(ProfileKey(kBuiltInProfiles[5].id), L"LED"), (std::vector<uint8_t>{0x81, 0x81, 0x81}));
}

// ---- profile apply, save and export ----

TEST_F(AudObjects, SetActiveProfileAppliesEverything) {
    Open();
    Ptr<IVtProfile> dravon;
    ASSERT_EQ(Profile(1, &dravon), S_OK);
    sim->ClearLog();
    const unsigned applies = sim->ApplyCount();
    ASSERT_EQ(pm->SetActiveProfile(dravon.p), S_OK);
    EXPECT_EQ(sim->ApplyCount(), applies + 1);
    for (int b = 0; b < 10; ++b)
        EXPECT_EQ(CountSent(0, {4, 0x40, 11, static_cast<uint8_t>((0x1021 + 11 * b) >> 8),
                                static_cast<uint8_t>((0x1021 + 11 * b) & 0xFF)}), 1u) << b;
    EXPECT_EQ(sim->BusRegister(0x60, 8), 0x3F);
    EXPECT_EQ(sim->Memory(0x17 + 2), 0xFF);  // blue
    EXPECT_EQ(CountSent(0, {4, 0x40, 1, 0x04, 0x0A, 0xC1}), 1u);
    // An apply register that stays busy ends the apply within its bound, as a failure.
    auto busy = sim->GetFaults();
    busy.applyBusyReads = -1;
    sim->SetFaults(busy);
    EXPECT_EQ(dravon->Apply(), E_FAIL);
    busy.applyBusyReads = 2;
    sim->SetFaults(busy);
    // A device that disappears in the middle answers failures, quickly.
    auto f = sim->GetFaults();
    f.disconnectAfterReports = 7;
    sim->SetFaults(f);
    const DWORD start = GetTickCount();
    EXPECT_EQ(dravon->Apply(), E_FAIL);
    EXPECT_LT(GetTickCount() - start, 3000u);
    sim->Reconnect();
}

TEST_F(AudObjects, ProfileSaveRestoresEveryFeature) {
    Open();
    Ptr<IVtProfile> dance;
    ASSERT_EQ(Profile(8, &dance), S_OK);
    Ptr<IVtBeamForm> bf;
    dance->CreateInterfaceInstance(IID_IVtBeamForm, bf.V());
    bf->Enable(1);
    Ptr<IVtPersistSettings> persist;
    ASSERT_EQ(dance->QueryInterface(IID_IVtPersistSettings, persist.V()), S_OK);
    ASSERT_EQ(persist->Save(), S_OK);
    StoreKey k;
    k.Open(ProfileKey(kBuiltInProfiles[8].id));
    EXPECT_EQ(*k.ReadDword(L"BFMode"), 0u);
    EXPECT_EQ(ReadValue(ProfileKey(kBuiltInProfiles[8].id), L"LED").size(), 3u);
}

TEST_F(AudObjects, ExportOverwritesAndWaits) {
    Open();
    Ptr<IVtProfile> campaign;
    ASSERT_EQ(Profile(4, &campaign), S_OK);
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring path = std::wstring(temp) + L"aud export " + std::to_wstring(GetCurrentProcessId()) + L".vtp";
    DeleteFileW(path.c_str());
    for (int i = 0; i < 2; ++i) {  // the second export goes over the existing file
        SCOPED_TRACE(i);
        const DWORD start = GetTickCount();
        EXPECT_EQ(campaign->Export(path.c_str()), S_OK);
        EXPECT_LT(GetTickCount() - start, CVtProfile::kExportTimeoutMs);
        HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        wchar_t head[40] = {};
        DWORD got = 0;
        ReadFile(h, head, sizeof head - 2, &got, nullptr);
        CloseHandle(h);
        EXPECT_EQ(std::wstring(head + 1, 35), L"Windows Registry Editor Version 5.0");
    }
    DeleteFileW(path.c_str());
    EXPECT_EQ(campaign->Export(nullptr), E_POINTER);
    EXPECT_TRUE(FAILED(campaign->Export(L"Z:\\no\\such\\folder\\x.vtp")));
}

// ---- volume sync ----

TEST_F(AudObjects, VolumeSync) {
    const int mic = endpoints->Add(vt::win::AudioFlow::Capture, L"Microphone (Velto Corvel)");
    endpoints->Add(vt::win::AudioFlow::Render, L"Speakers (Velto Corvel)");
    Open();
    Ptr<IVtSync> sync;
    ASSERT_EQ(device->QueryInterface(IID_IVtSync, sync.V()), S_OK);
    LONG on = 1;
    sync->IsSyncEnable(&on);
    EXPECT_EQ(on, 0);
    ASSERT_EQ(sync->SyncEnable(1), S_OK);
    ASSERT_EQ(sync->SyncEnable(1), S_OK);
    sync->IsSyncEnable(&on);
    EXPECT_EQ(on, 1);
    Sleep(150);  // the thread's handle is open

    auto waitFor = [&](auto pred) {
        for (int i = 0; i < 100 && !pred(); ++i) Sleep(20);
        return pred();
    };
    sim->SetMicMuted(true);
    EXPECT_TRUE(waitFor([&] { return endpoints->Get(mic).muted; }));
    sim->SetMicMuted(true);  // the same state again changes nothing
    Sleep(250);
    EXPECT_EQ(endpoints->Get(mic).setMuteCalls, 1u);
    sim->SetMicMuted(false);
    EXPECT_TRUE(waitFor([&] { return !endpoints->Get(mic).muted; }));

    auto s = endpoints->Get(mic);
    s.level = 0.98f;
    endpoints->Set(mic, s);
    sim->SetVolumeKeys(true, false);
    EXPECT_TRUE(waitFor([&] { return endpoints->Get(mic).level >= 1.0f; }));
    Sleep(300);
    EXPECT_EQ(endpoints->Get(mic).level, 1.0f);
    // Up held, then down alone: the level goes down (the up key no longer counts).
    sim->SetVolumeKeys(false, true);
    EXPECT_TRUE(waitFor([&] { return endpoints->Get(mic).level < 0.9f; }));
    sim->SetVolumeKeys(false, false);
    Sleep(250);
    const float settled = endpoints->Get(mic).level;
    Sleep(300);
    EXPECT_EQ(endpoints->Get(mic).level, settled);

    const DWORD start = GetTickCount();
    ASSERT_EQ(sync->SyncEnable(0), S_OK);
    EXPECT_LT(GetTickCount() - start, 1000u);
    sync->IsSyncEnable(&on);
    EXPECT_EQ(on, 0);
}

TEST_F(AudObjects, VolumeSyncWithoutEndpointOrDevice) {
    Open();
    Ptr<IVtSync> sync;
    ASSERT_EQ(device->QueryInterface(IID_IVtSync, sync.V()), S_OK);
    ASSERT_EQ(sync->SyncEnable(1), S_OK);
    sim->SetVolumeKeys(true, false);
    sim->SetMicMuted(true);
    Sleep(300);
    LONG on = 0;
    sync->IsSyncEnable(&on);
    EXPECT_EQ(on, 1);
    sim->Disconnect();  // reads fail at once: the thread keeps its pace and stops on request
    Sleep(200);
    const DWORD start = GetTickCount();
    ASSERT_EQ(sync->SyncEnable(0), S_OK);
    EXPECT_LT(GetTickCount() - start, 1000u);
    sim->Reconnect();
    // Releasing a device whose sync is on stops the thread.
    ASSERT_EQ(sync->SyncEnable(1), S_OK);
}

// ---- the real endpoint seam under Wine ----

TEST(AudCoreAudio, FindsNoHeadsetEndpoint) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    {
        auto real = vt::win::MakeCoreAudioEndpoints();
        for (const auto& name : real->Names(vt::win::AudioFlow::Capture))
            EXPECT_EQ(name.find(vt::win::kHeadsetEndpointName), std::wstring::npos);
        EXPECT_EQ(real->Find(vt::win::AudioFlow::Capture, vt::win::kHeadsetEndpointName), nullptr);
        EXPECT_EQ(real->Find(vt::win::AudioFlow::Render, vt::win::kHeadsetEndpointName), nullptr);
    }
    CoUninitialize();
}

TEST(AudFakeAudio, ChangesArriveFromAnotherThread) {
    auto fake = vt::sim::MakeFakeAudioEndpoints();
    const int i = fake->Add(vt::win::AudioFlow::Capture, L"Microphone (Velto Corvel)");
    auto ep = fake->Find(vt::win::AudioFlow::Capture, L"Velto Corvel");
    ASSERT_NE(ep, nullptr);
    struct Listener : vt::win::IAudioEndpointListener {
        DWORD thread = 0;
        float level = 0;
        bool agc = false;
        void OnVolumeChanged(float l, bool) override { level = l; thread = GetCurrentThreadId(); }
        void OnAutoGainChanged(bool on) override { agc = on; }
    } listener;
    ASSERT_TRUE(ep->Listen(&listener));
    fake->ChangeFromOutside(i, 0.25f, true, true);
    EXPECT_EQ(listener.level, 0.25f);
    EXPECT_TRUE(listener.agc);
    EXPECT_NE(listener.thread, GetCurrentThreadId());
    bool muted = false;
    ep->GetMute(&muted);
    EXPECT_TRUE(muted);
    ep->Listen(nullptr);
}

} // namespace
