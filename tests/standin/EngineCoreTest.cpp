// The engine core hosted in-process: what the device layer and the tray rely on, group by group.
#include <gtest/gtest.h>
#include <algorithm>
#include <atomic>
#include <cstring>
#include <set>
#include <thread>
#include "Engine.h"
#include "EngineTestUtil.h"

using namespace vt::test::engine;
using vt::engine::Engine;
using vt::engine::EngineOptions;

namespace {

std::string GuidKey(const GUID& g) { return vt::engine::GuidText(g); }

class EngineCore : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        Start();
    }
    void TearDown() override {
        mgr.Reset();
        engine.reset();
        CoUninitialize();
    }
    void Start() {
        ctl.Reset();
        mgr.Reset();
        engine.reset();  // the last reference: its pending state is written now
        EngineOptions o;
        o.stateDir = dir.Path();
        o.notifyWindows = false;
        engine = Engine::Create(o);
        ASSERT_EQ(S_OK, vt::engine::CreateDeviceManager(engine, IID_IVtDeviceMgr, mgr.PutVoid()));
        ASSERT_EQ(S_OK, mgr.As(ctl));
    }
    ComPtr<IVtDevice> Dev(ULONG pid) { return DeviceOf(mgr.Get(), pid); }
    ComPtr<IVtProfileManager> Profiles(ULONG pid) { return Feature<IVtProfileManager>(Dev(pid).Get(), IID_IVtProfileManager); }
    ComPtr<IVtProfile> Active(ULONG pid) {
        ComPtr<IVtProfile> p;
        Profiles(pid)->GetActiveProfile(p.Put());
        return p;
    }
    GUID IdOf(IVtProfile* p) {
        GUID g{};
        p->GetId(&g);
        return g;
    }

    TempDir dir;
    std::shared_ptr<Engine> engine;
    ComPtr<IVtDeviceMgr> mgr;
    ComPtr<IVtSimControl> ctl;
};

std::vector<ULONG> EnumPids(IVtDeviceMgr* mgr) {
    std::vector<ULONG> pids;
    for (ULONG i = 0; i < 10; ++i) {
        ComPtr<IVtDevice> d;
        if (FAILED(mgr->EnumDevices(i, d.Put()))) break;
        VtDeviceInfo info{};
        if (SUCCEEDED(d->GetDeviceInfo(&info))) {
            pids.push_back(info.ProductId);
            CoTaskMemFree(info.DevicePath);
        } else {
            pids.push_back(0);
        }
    }
    return pids;
}

TEST_F(EngineCore, EnumListsPresentDevicesInStableOrderAndScriptedDuplicates) {
    EXPECT_EQ((std::vector<ULONG>{0x19, 0x1A, 0x1B}), EnumPids(mgr.Get()));
    ASSERT_EQ(S_OK, ctl->SetPresent(VT_PID_KEYBOARD, FALSE));
    EXPECT_EQ((std::vector<ULONG>{0x19, 0x1B}), EnumPids(mgr.Get()));
    ASSERT_EQ(S_OK, ctl->SetPresent(VT_PID_KEYBOARD, TRUE));
    ULONG order[] = {VT_PID_HEADSET, VT_PID_MOUSE, VT_PID_MOUSE};
    ASSERT_EQ(S_OK, ctl->SetEnumOrder(3, order));
    EXPECT_EQ((std::vector<ULONG>{0x1B, 0x19, 0x19}), EnumPids(mgr.Get()));
    ASSERT_EQ(S_OK, ctl->SetDeviceValue(VT_PID_HEADSET, L"infofail", 1));
    EXPECT_EQ((std::vector<ULONG>{0, 0x19, 0x19}), EnumPids(mgr.Get()));
    ComPtr<IVtDevice> d;
    EXPECT_EQ(E_FAIL, mgr->EnumDevices(3, d.Put()));
    EXPECT_EQ(E_POINTER, mgr->EnumDevices(0, nullptr));
}

TEST_F(EngineCore, DeviceInfoGivesProductIdFreshPathAndVersions) {
    ComPtr<IVtDevice> d = Dev(VT_PID_KEYBOARD);
    ASSERT_TRUE(d);
    VtDeviceInfo a{}, b{};
    ASSERT_EQ(S_OK, d->GetDeviceInfo(&a));
    ASSERT_EQ(S_OK, d->GetDeviceInfo(&b));
    EXPECT_EQ(VT_VENDOR_ID, a.VendorId);
    EXPECT_EQ(VT_PID_KEYBOARD, a.ProductId);
    ASSERT_TRUE(a.DevicePath && b.DevicePath);
    EXPECT_NE(a.DevicePath, b.DevicePath);
    EXPECT_STREQ(a.DevicePath, b.DevicePath);
    EXPECT_NE(nullptr, wcsstr(a.DevicePath, L"VID_2F3D&PID_001A"));
    wchar_t text[32];
    swprintf(text, 32, L"%d.%02d", int(a.FirmwareVersion.Major), int(a.FirmwareVersion.Minor));
    EXPECT_STREQ(L"1.03", text);
    CoTaskMemFree(a.DevicePath);
    CoTaskMemFree(b.DevicePath);
    ComPtr<IVtKeyboardInfo> info;
    ASSERT_EQ(S_OK, d.As(info));
    ULONG layout = 9;
    EXPECT_EQ(S_OK, info->GetLayout(&layout));
    EXPECT_EQ(0u, layout);
    EXPECT_EQ(E_NOINTERFACE, Dev(VT_PID_MOUSE).As(info));
}

TEST_F(EngineCore, ProfilesFollowCreationOrderAndDeleteShiftsIndices) {
    auto pm = Profiles(VT_PID_MOUSE);
    std::vector<GUID> ids{IdOf(Active(VT_PID_MOUSE).Get())};
    for (int i = 0; i < 3; ++i) {
        ComPtr<IVtProfile> p;
        ASSERT_EQ(S_OK, pm->CreateProfile(p.Put()));
        ids.push_back(IdOf(p.Get()));
    }
    std::set<std::string> unique;
    for (size_t i = 0; i < ids.size(); ++i) {
        ComPtr<IVtProfile> p;
        ASSERT_EQ(S_OK, pm->GetProfileByIndex(ULONG(i), p.Put()));
        EXPECT_EQ(GuidKey(ids[i]), GuidKey(IdOf(p.Get())));
        EXPECT_NE(GuidKey(GUID{}), GuidKey(ids[i]));
        unique.insert(GuidKey(ids[i]));
    }
    EXPECT_EQ(ids.size(), unique.size());
    ComPtr<IVtProfile> p;
    EXPECT_EQ(E_FAIL, pm->GetProfileByIndex(ULONG(ids.size()), p.Put()));
    ASSERT_EQ(S_OK, pm->GetProfileByIndex(1, p.Put()));
    ASSERT_EQ(S_OK, pm->DeleteProfile(p.Get()));
    ComPtr<IVtProfile> q;
    ASSERT_EQ(S_OK, pm->GetProfileByIndex(1, q.Put()));
    EXPECT_EQ(GuidKey(ids[2]), GuidKey(IdOf(q.Get())));
    // The deleted profile's object answers failures and never crashes; its id is gone for good.
    ULONG cch;
    WCHAR* name = nullptr;
    EXPECT_EQ(E_FAIL, p->GetName(&cch, &name));
    EXPECT_EQ(nullptr, name);
    EXPECT_EQ(E_FAIL, p->SetName(L"x"));
    ComPtr<IVtProfileProperties> props;
    EXPECT_TRUE(FAILED(p->CreateInterfaceInstance(IID_IVtProfileProperties, props.PutVoid())));
    EXPECT_EQ(E_FAIL, pm->GetProfileById(ids[1], q.Put()));
    EXPECT_EQ(E_FAIL, pm->DeleteProfile(p.Get()));
    ComPtr<IVtProfile> fresh;
    ASSERT_EQ(S_OK, pm->CreateProfile(fresh.Put()));
    EXPECT_EQ(0u, unique.count(GuidKey(IdOf(fresh.Get()))));
}

TEST_F(EngineCore, ProfileLimitAndLastProfileAreRefused) {
    auto pm = Profiles(VT_PID_HEADSET);
    for (int i = 1; i < 20; ++i) {
        ComPtr<IVtProfile> p;
        ASSERT_EQ(S_OK, pm->CreateProfile(p.Put())) << i;
    }
    ComPtr<IVtProfile> p;
    EXPECT_EQ(E_FAIL, pm->CreateProfile(p.Put()));
    EXPECT_FALSE(p);
    for (int i = 19; i >= 1; --i) {
        ASSERT_EQ(S_OK, pm->GetProfileByIndex(ULONG(i), p.Put()));
        ASSERT_EQ(S_OK, pm->DeleteProfile(p.Get()));
    }
    ASSERT_EQ(S_OK, pm->GetProfileByIndex(0, p.Put()));
    EXPECT_EQ(E_FAIL, pm->DeleteProfile(p.Get()));
    ComPtr<IVtProfile> active;
    EXPECT_EQ(S_OK, pm->GetActiveProfile(active.Put()));
}

TEST_F(EngineCore, NamesRoundTripExactlyAndAreBounded) {
    auto p = Active(VT_PID_MOUSE);
    for (std::wstring name : {std::wstring(L"MiXeD cAsE"), std::wstring(L""), std::wstring(L"\u00c9t\u00e9 \u4e2d"),
                              std::wstring(256, L'n')}) {
        ASSERT_EQ(S_OK, p->SetName(name.c_str()));
        EXPECT_EQ(name, NameOf(p.Get()));
    }
    std::wstring tooLong(257, L'x');
    EXPECT_EQ(E_INVALIDARG, p->SetName(tooLong.c_str()));
    EXPECT_EQ(std::wstring(256, L'n'), NameOf(p.Get()));
    EXPECT_EQ(E_POINTER, p->SetName(nullptr));
}

TEST_F(EngineCore, ActiveProfileFollowsSetAndDeleteWithEvents) {
    auto pm = Profiles(VT_PID_MOUSE);
    Sink* sink = new Sink;
    Connection c;
    ASSERT_EQ(S_OK, c.Connect(pm.Get(), IID__IProfileManagerEvents, static_cast<_IProfileManagerEvents*>(sink)));
    ComPtr<IVtProfile> second;
    ASSERT_EQ(S_OK, pm->CreateProfile(second.Put()));
    ASSERT_EQ(S_OK, pm->SetActiveProfile(second.Get()));
    ASSERT_TRUE(sink->WaitFor(1, 3000));
    EXPECT_EQ(1u, sink->Events()[0].a);
    ASSERT_EQ(S_OK, pm->SetActiveProfile(second.Get()));  // already active: applies and tells again
    ASSERT_TRUE(sink->WaitFor(2, 3000));
    EXPECT_EQ(GuidKey(IdOf(second.Get())), GuidKey(IdOf(Active(VT_PID_MOUSE).Get())));
    ASSERT_EQ(S_OK, pm->DeleteProfile(second.Get()));
    ASSERT_TRUE(sink->WaitFor(3, 3000));
    EXPECT_EQ(0u, sink->Events()[2].a);
    EXPECT_TRUE(Active(VT_PID_MOUSE));
    // A profile of another device is not this manager's.
    EXPECT_EQ(E_INVALIDARG, pm->SetActiveProfile(Active(VT_PID_KEYBOARD).Get()));
    sink->Release();
}

struct PropCase {
    USHORT mask, value;
    USHORT before, after;
    HRESULT hr;
};

TEST_F(EngineCore, LinkFlagsFollowMaskAndValue) {
    auto props = Feature<IVtProfileProperties>(Active(VT_PID_MOUSE).Get(), IID_IVtProfileProperties);
    const PropCase cases[] = {
        {1, 1, 0, 1, S_OK}, {4, 1, 1, 5, S_OK}, {2, 1, 5, 7, S_OK}, {2, 0, 7, 5, S_OK},
        {1, 0, 5, 4, S_OK}, {4, 0, 4, 0, S_OK}, {3, 1, 0, 0, E_INVALIDARG}, {8, 1, 0, 0, E_INVALIDARG},
        {1, 2, 0, 0, E_INVALIDARG},
    };
    for (const PropCase& c : cases) {
        USHORT word = 0xEEEE;
        ULONG size = 2;
        ASSERT_EQ(S_OK, props->GetProperty(VT_PROP_LINK_FLAGS, 0, reinterpret_cast<BYTE*>(&word), 0, &size));
        ASSERT_EQ(c.before, word) << c.mask << "/" << c.value;
        USHORT set[2] = {c.mask, c.value};
        EXPECT_EQ(c.hr, props->SetProperty(VT_PROP_LINK_FLAGS, reinterpret_cast<BYTE*>(set), 0, 4, 0));
        size = 2;
        props->GetProperty(VT_PROP_LINK_FLAGS, 0, reinterpret_cast<BYTE*>(&word), 0, &size);
        EXPECT_EQ(c.after, word) << c.mask << "/" << c.value;
    }
}

TEST_F(EngineCore, LinkedProgramIsEmptyUntilSetAndChecksSizes) {
    auto props = Feature<IVtProfileProperties>(Active(VT_PID_KEYBOARD).Get(), IID_IVtProfileProperties);
    BYTE buf[256];
    ULONG size = 256;
    ASSERT_EQ(S_OK, props->GetProperty(VT_PROP_LINKED_PROGRAM, 0, buf, 0, &size));
    EXPECT_EQ(0u, size);
    BYTE in[256] = {};
    memcpy(in, L"game.exe", 18);
    in[255] = 0x42;
    EXPECT_EQ(E_INVALIDARG, props->SetProperty(VT_PROP_LINKED_PROGRAM, in, 0, 255, 0));
    ASSERT_EQ(S_OK, props->SetProperty(VT_PROP_LINKED_PROGRAM, in, 0, 256, 0));
    size = 100;
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER), props->GetProperty(VT_PROP_LINKED_PROGRAM, 0, buf, 0, &size));
    EXPECT_EQ(100u, size);
    size = 256;
    ASSERT_EQ(S_OK, props->GetProperty(VT_PROP_LINKED_PROGRAM, 0, buf, 0, &size));
    EXPECT_EQ(256u, size);
    EXPECT_EQ(0, memcmp(in, buf, 256));
    size = 256;
    EXPECT_EQ(E_INVALIDARG, props->GetProperty(0x80000001, 0, buf, 0, &size));
}

TEST_F(EngineCore, MouseGroupsRoundTrip) {
    auto profile = Active(VT_PID_MOUSE);
    auto dpi = Feature<IVtDpi>(profile.Get(), IID_IVtDpi);
    ASSERT_TRUE(dpi);
    ULONG a, mx, mn, step;
    ASSERT_EQ(S_OK, dpi->GetStageCapacity(&a, &mx));
    EXPECT_EQ(5u, mx);
    ASSERT_EQ(S_OK, dpi->GetDpiRange(&mn, &mx, &step));
    EXPECT_EQ(100u, mn);
    EXPECT_EQ(5600u, mx);
    VtDpiStage stages[] = {{400, 500}, {900, 900}, {5600, 100}};
    ASSERT_EQ(S_OK, dpi->SetDpiStages(3, stages));
    ASSERT_EQ(S_OK, dpi->SetActiveStage(2));
    ASSERT_EQ(S_OK, dpi->SetDpi(1234, 2345));
    VtDpiStage bad[] = {{50, 800}};
    EXPECT_EQ(E_INVALIDARG, dpi->SetDpiStages(1, bad));
    EXPECT_EQ(E_INVALIDARG, dpi->SetDpiStages(6, stages));
    EXPECT_EQ(E_INVALIDARG, dpi->SetActiveStage(4));
    EXPECT_EQ(E_INVALIDARG, dpi->SetActiveStage(0));
    ULONG count = 0;
    VtDpiStage* got = nullptr;
    // A second object for the same profile sees the same data.
    auto dpi2 = Feature<IVtDpi>(Active(VT_PID_MOUSE).Get(), IID_IVtDpi);
    ASSERT_EQ(S_OK, dpi2->GetDpiStages(&count, &got));
    ASSERT_EQ(3u, count);
    EXPECT_EQ(0, memcmp(stages, got, sizeof stages));
    CoTaskMemFree(got);
    ULONG stage = 0, x = 0, y = 0;
    dpi2->GetActiveStage(&stage);
    dpi2->GetDpi(&x, &y);
    EXPECT_EQ(2u, stage);
    EXPECT_EQ(1234u, x);
    EXPECT_EQ(2345u, y);
    VtDpiStage one[] = {{700, 700}};
    ASSERT_EQ(S_OK, dpi->SetDpiStages(1, one));
    dpi2->GetActiveStage(&stage);
    EXPECT_EQ(1u, stage);  // clamped to the new count

    auto buttons = Feature<IVtButtonAssignments>(profile.Get(), IID_IVtButtonAssignments);
    ULONG bc, second, mask;
    ASSERT_EQ(S_OK, buttons->GetButtonInfo(&bc, &second, &mask));
    EXPECT_EQ(7u, bc);
    EXPECT_EQ(0x19Fu, mask);
    VtActionRecord recs[7];
    count = 7;
    ASSERT_EQ(S_OK, buttons->GetAssignments(&count, recs));
    ASSERT_EQ(7u, count);
    std::vector<ULONG> indices;
    for (auto& r : recs) indices.push_back(r.Index);
    EXPECT_EQ((std::vector<ULONG>{1, 2, 3, 4, 5, 8, 9}), indices);
    VtActionRecord macro{};
    macro.Flag = 0;
    macro.Index = 8;
    macro.Type = 8;
    for (int i = 0; i < 16; ++i) macro.Payload[i] = BYTE(i + 1);
    macro.Payload[16] = 2;
    macro.Payload[17] = 3;
    ASSERT_EQ(S_OK, buttons->SetAssignment(1, &macro));
    VtActionRecord unknown = macro;
    unknown.Index = 6;  // not among the supported buttons
    EXPECT_EQ(E_INVALIDARG, buttons->SetAssignment(1, &unknown));
    count = 7;
    ASSERT_EQ(S_OK, buttons->GetAssignments(&count, recs));
    EXPECT_EQ(0, memcmp(&macro, &recs[5], 32));
    VtActionRecord reset{};
    reset.Flag = 1;
    reset.Index = 8;
    ASSERT_EQ(S_OK, buttons->SetAssignment(1, &reset));
    count = 7;
    buttons->GetAssignments(&count, recs);
    EXPECT_EQ(1u, recs[5].Type);
    EXPECT_EQ(6, recs[5].Payload[0]);  // scroll up, the factory record

    auto rate = Feature<IVtRateList>(Dev(VT_PID_MOUSE).Get(), IID_IVtRateList);
    ULONG code = 0;
    ASSERT_EQ(S_OK, rate->SetRate(8));
    EXPECT_EQ(E_INVALIDARG, rate->SetRate(4));
    rate->GetRate(&code);
    EXPECT_EQ(8u, code);
    ULONG* rates = nullptr;
    ASSERT_EQ(S_OK, rate->GetRateList(&count, &rates));
    ASSERT_EQ(3u, count);
    EXPECT_EQ(1000u, rates[2]);
    CoTaskMemFree(rates);
    auto accel = Feature<IVtAcceleration>(Dev(VT_PID_MOUSE).Get(), IID_IVtAcceleration);
    ASSERT_EQ(S_OK, accel->SetAcceleration(9));
    EXPECT_EQ(E_INVALIDARG, accel->SetAcceleration(11));
    ASSERT_EQ(S_OK, accel->Disable());
    LONG on = 1;
    accel->IsEnabled(&on);
    accel->GetAcceleration(&code);
    EXPECT_EQ(0, on);
    EXPECT_EQ(9u, code);
}

TEST_F(EngineCore, KeyboardTableDefaultsToSelfRemapsAndResets) {
    auto table = Feature<IVtAssignmentTable>(Active(VT_PID_KEYBOARD).Get(), IID_IVtAssignmentTable);
    ULONG first, n;
    ASSERT_EQ(S_OK, table->GetTableInfo(&first, &n));
    ASSERT_GT(n, 100u);
    std::vector<VtActionRecord> recs(n);
    ULONG count = n;
    ASSERT_EQ(S_OK, table->GetAssignments(&count, recs.data()));
    ASSERT_EQ(n, count);
    for (const auto& r : recs) {
        ASSERT_EQ(5u, r.Type);
        USHORT key;
        memcpy(&key, r.Payload, 2);
        EXPECT_EQ(r.Index & 0xFFFF, key);
    }
    VtActionRecord remap = recs[10];
    remap.Flag = 0;
    USHORT other = 0x1E;
    memcpy(remap.Payload, &other, 2);
    remap.Payload[5] = 0x01;  // modifier bit 24
    ASSERT_EQ(S_OK, table->SetAssignment(1, &remap));
    count = n;
    table->GetAssignments(&count, recs.data());
    EXPECT_EQ(0, memcmp(&remap, &recs[10], 32));
    VtActionRecord zero{};
    zero.Index = remap.Index;
    ASSERT_EQ(S_OK, table->SetAssignment(1, &zero));
    count = n;
    table->GetAssignments(&count, recs.data());
    USHORT key;
    memcpy(&key, recs[10].Payload, 2);
    EXPECT_EQ(remap.Index & 0xFFFF, key);
    EXPECT_EQ(0, recs[10].Payload[5]);
    VtActionRecord bad = zero;
    bad.Index = 0x7777;
    EXPECT_EQ(E_INVALIDARG, table->SetAssignment(1, &bad));
    // A small room gets only what fits.
    count = 3;
    ASSERT_EQ(S_OK, table->GetAssignments(&count, recs.data()));
    EXPECT_EQ(3u, count);
}

TEST_F(EngineCore, LightingZonesRoundTripPerProfile) {
    for (ULONG pid : {VT_PID_MOUSE, VT_PID_KEYBOARD, VT_PID_HEADSET}) {
        auto lighting = Feature<IVtLighting>(Active(pid).Get(), IID_IVtLighting);
        std::vector<ULONG> ids;
        for (ULONG i = 0;; ++i) {
            ComPtr<IVtLightingZone> z;
            if (FAILED(lighting->GetZone(i, z.Put()))) break;
            ULONG id = 0;
            z->GetZoneId(&id);
            ids.push_back(id);
            LONG on = 0;
            z->IsOn(&on);
            EXPECT_EQ(1, on);
        }
        EXPECT_EQ(pid == VT_PID_KEYBOARD ? (std::vector<ULONG>{4, 7, 10, 11}) : (std::vector<ULONG>{4, 10, 11}), ids);
        ComPtr<IVtLightingZone> zone;
        ASSERT_EQ(S_OK, lighting->GetZoneById(10, zone.Put()));
        ComPtr<IVtLightingColor> color;
        ComPtr<IVtLightingEffect> effect;
        ComPtr<IVtLightingBrightness> bright;
        ASSERT_EQ(S_OK, zone.As(color));
        ASSERT_EQ(S_OK, zone.As(effect));
        ASSERT_EQ(S_OK, zone.As(bright));
        ASSERT_EQ(S_OK, zone->TurnOff());
        ASSERT_EQ(S_OK, color->SetColor(0x123456));
        ASSERT_EQ(S_OK, effect->SetEffect(1, 300, 300));
        ASSERT_EQ(S_OK, bright->SetBrightness(40));
        ComPtr<IVtLightingZone> again;
        ASSERT_EQ(S_OK, Feature<IVtLighting>(Active(pid).Get(), IID_IVtLighting)->GetZone(ids.size() - 2, again.Put()));
        LONG on = 1, mode = 0, p1 = 0, p2 = 0, b = 0;
        DWORD c = 0;
        again->IsOn(&on);
        ComPtr<IVtLightingColor> color2;
        ComPtr<IVtLightingEffect> effect2;
        again.As(color2);
        again.As(effect2);
        color2->GetColor(&c);
        effect2->GetEffect(&mode, &p1, &p2);
        bright->GetBrightness(&b);
        EXPECT_EQ(0, on);
        EXPECT_EQ(0x123456u, c);
        EXPECT_EQ(1, mode);
        EXPECT_EQ(300, p2);
        EXPECT_EQ(40, b);
        EXPECT_EQ(E_FAIL, lighting->GetZoneById(5, zone.Put()));
    }
}

TEST_F(EngineCore, EqualizerIsPerProfile) {
    auto pm = Profiles(VT_PID_HEADSET);
    ComPtr<IVtProfile> second;
    ASSERT_EQ(S_OK, pm->CreateProfile(second.Put()));
    auto eq1 = Feature<IVtEqualizer>(Active(VT_PID_HEADSET).Get(), IID_IVtEqualizer);
    auto eq2 = Feature<IVtEqualizer>(second.Get(), IID_IVtEqualizer);
    ComPtr<IVtEQGain> g1, g2;
    ASSERT_EQ(S_OK, eq1.As(g1));
    ASSERT_EQ(S_OK, eq2.As(g2));
    VtEqualizerInfo info{};
    ASSERT_EQ(S_OK, eq1->GetInfo(&info));
    EXPECT_EQ(10u, info.TotalBand);
    SHORT mn, mx;
    ASSERT_EQ(S_OK, g1->QueryGainRange(0, &mn, &mx));
    EXPECT_EQ(-36, mn);
    EXPECT_EQ(15, mx);
    ASSERT_EQ(S_OK, g1->SetGain(3, -7));
    ASSERT_EQ(S_OK, g1->SetGain(9, 15));
    EXPECT_EQ(E_INVALIDARG, g1->SetGain(10, 0));
    EXPECT_EQ(E_INVALIDARG, g1->SetGain(0, 16));
    ASSERT_EQ(S_OK, eq2->Enable(0));
    SHORT g = 0;
    LONG on1 = 0, on2 = 1;
    g1->GetGain(3, &g);
    EXPECT_EQ(-7, g);
    g2->GetGain(3, &g);
    EXPECT_EQ(0, g);
    eq1->IsEnable(&on1);
    eq2->IsEnable(&on2);
    EXPECT_EQ(1, on1);
    EXPECT_EQ(0, on2);
    auto sync = Feature<IVtSync>(Dev(VT_PID_HEADSET).Get(), IID_IVtSync);
    ASSERT_EQ(S_OK, sync->SyncEnable(1));
    sync->IsSyncEnable(&on1);
    EXPECT_EQ(1, on1);
}

TEST_F(EngineCore, FeaturesADeviceLacksAnswerNoInterface) {
    struct Case { ULONG pid; const IID* iid; bool device; };
    const Case cases[] = {
        {VT_PID_KEYBOARD, &IID_IVtRateList, true}, {VT_PID_HEADSET, &IID_IVtAcceleration, true},
        {VT_PID_HEADSET, &IID_IVtMacroStore, true}, {VT_PID_MOUSE, &IID_IVtKeyboardMode, true},
        {VT_PID_MOUSE, &IID_IVtSync, true}, {VT_PID_MOUSE, &IID_IVtMacroRecorder, true},
        {VT_PID_MOUSE, &IID_IVtDpi, true}, {VT_PID_KEYBOARD, &IID_IVtDpi, false},
        {VT_PID_KEYBOARD, &IID_IVtButtonAssignments, false}, {VT_PID_MOUSE, &IID_IVtAssignmentTable, false},
        {VT_PID_MOUSE, &IID_IVtEqualizer, false}, {VT_PID_HEADSET, &IID_IVtMacro, false},
    };
    for (const Case& c : cases) {
        void* p = reinterpret_cast<void*>(1);
        HRESULT hr = c.device ? Dev(c.pid)->CreateInterfaceInstance(*c.iid, &p)
                              : Active(c.pid)->CreateInterfaceInstance(*c.iid, &p);
        EXPECT_EQ(E_NOINTERFACE, hr) << c.pid;
        EXPECT_EQ(nullptr, p);
    }
    // The mouse is a launch-event source although nothing writes its launch entries.
    EXPECT_TRUE(Feature<IVtAppLauncher>(Dev(VT_PID_MOUSE).Get(), IID_IVtAppLauncher));
}

TEST_F(EngineCore, MacrosLaunchEntriesAndCollectionsRoundTrip) {
    auto store = Feature<IVtMacroStore>(Dev(VT_PID_KEYBOARD).Get(), IID_IVtMacroStore);
    ComPtr<IVtMacro> m;
    ASSERT_EQ(S_OK, store->CreateMacro(m.Put()));
    EXPECT_EQ(L"", NameOf(m.Get()));
    ASSERT_EQ(S_OK, m->SetName(L"New Macro 1"));
    struct { ULONG zero, count; LONG t1; USHORT k1, f1; LONG t2; LONG ms; LONG t3; USHORT fl, data; ULONG slack[2]; } buf
        = {0, 3, 2, 0x1E, 1, 3, 120, 1, 0x200, 120, {0, 0}};
    ASSERT_EQ(S_OK, m->SetEvents(sizeof buf, reinterpret_cast<BYTE*>(&buf)));
    buf.count = 4;  // claims more events than the buffer holds
    EXPECT_EQ(E_INVALIDARG, m->SetEvents(sizeof buf, reinterpret_cast<BYTE*>(&buf)));
    ULONG cb = 0;
    BYTE* got = nullptr;
    ASSERT_EQ(S_OK, m->GetEvents(&cb, &got));
    buf.count = 3;
    ASSERT_EQ(sizeof buf, cb);
    EXPECT_EQ(0, memcmp(&buf, got, cb));
    CoTaskMemFree(got);
    GUID id;
    m->GetId(&id);
    ComPtr<IVtMacro> byId;
    ASSERT_EQ(S_OK, store->GetMacroById(id, byId.Put()));
    EXPECT_EQ(L"New Macro 1", NameOf(byId.Get()));
    ASSERT_EQ(S_OK, store->DeleteMacro(m.Get()));
    EXPECT_EQ(E_FAIL, byId->SetName(L"gone"));
    EXPECT_EQ(E_FAIL, store->GetMacroByIndex(0, m.Put()));
    auto mouseStore = Feature<IVtMacroStore>(Dev(VT_PID_MOUSE).Get(), IID_IVtMacroStore);
    for (int i = 0; i < 4; ++i) ASSERT_EQ(S_OK, mouseStore->CreateMacro(m.Put()));
    EXPECT_EQ(E_FAIL, mouseStore->CreateMacro(m.Put()));

    auto launcher = Feature<IVtAppLauncher>(Dev(VT_PID_KEYBOARD).Get(), IID_IVtAppLauncher);
    ComPtr<IVtLaunchEntry> e;
    ASSERT_EQ(S_OK, launcher->CreateEntry(e.Put()));
    ASSERT_EQ(S_OK, e->SetPath(L"C:\\Games\\Some Game.EXE"));
    ComPtr<IVtLaunchEntry> e0;
    ASSERT_EQ(S_OK, launcher->GetEntryByIndex(0, e0.Put()));
    ULONG cch;
    WCHAR* path = nullptr;
    ASSERT_EQ(S_OK, e0->GetPath(&cch, &path));
    EXPECT_EQ(L"C:\\Games\\Some Game.EXE", TakeString(path));
    std::wstring longPath(MAX_PATH, L'a');
    EXPECT_EQ(E_INVALIDARG, e->SetPath(longPath.c_str()));

    auto coll = Feature<IVtEntryCollection>(Dev(VT_PID_HEADSET).Get(), IID_IVtEntryCollection);
    ComPtr<IVtCollectionEntry> c1, c2, c3, dup;
    ASSERT_EQ(S_OK, coll->CreateEntry(50, c1.Put()));
    ASSERT_EQ(S_OK, coll->CreateEntry(20, c2.Put()));
    ASSERT_EQ(S_OK, coll->CreateEntry(90, c3.Put()));
    EXPECT_EQ(E_ACCESSDENIED, coll->CreateEntry(20, dup.Put()));
    EXPECT_EQ(E_ACCESSDENIED, c1->SetNumber(90));
    ASSERT_EQ(S_OK, c1->SetNumber(10));  // order stays as created
    ASSERT_EQ(S_OK, c2->SetColor(0x00FF00));
    std::vector<ULONG> numbers;
    for (ULONG i = 0;; ++i) {
        ComPtr<IVtCollectionEntry> x;
        if (FAILED(coll->GetEntry(i, x.Put()))) break;
        ULONG n;
        x->GetNumber(&n);
        numbers.push_back(n);
    }
    EXPECT_EQ((std::vector<ULONG>{10, 20, 90}), numbers);
    ASSERT_EQ(S_OK, coll->DeleteEntry(c1.Get()));
    ComPtr<IVtCollectionEntry> firstNow;
    ASSERT_EQ(S_OK, coll->GetEntry(0, firstNow.Put()));
    DWORD color;
    firstNow->GetColor(&color);
    EXPECT_EQ(0x00FF00u, color);
    ComPtr<IVtKeyEntries> keys;
    ASSERT_EQ(S_OK, coll.As(keys));
    ASSERT_EQ(S_OK, keys->SetValue2(16, 0xABCDEF));
    EXPECT_EQ(E_INVALIDARG, keys->SetValue1(17, 1));
    EXPECT_EQ(E_INVALIDARG, keys->SetValue1(0, 1));
    ULONG v = 0;
    keys->GetValue2(16, &v);
    EXPECT_EQ(0xABCDEFu, v);
    // A macro deleted through another device's store is refused.
    ComPtr<IVtMacro> km;
    ASSERT_EQ(S_OK, store->CreateMacro(km.Put()));
    EXPECT_EQ(E_INVALIDARG, mouseStore->DeleteMacro(km.Get()));
}

TEST_F(EngineCore, ExportImportCopiesEveryGroupIntoANewProfile) {
    for (ULONG pid : {VT_PID_MOUSE, VT_PID_KEYBOARD, VT_PID_HEADSET}) {
        auto p = Active(pid);
        p->SetName(L"Exported \u00c5");
        BYTE prog[256] = {};
        memcpy(prog, L"a.exe", 10);
        Feature<IVtProfileProperties>(p.Get(), IID_IVtProfileProperties)->SetProperty(VT_PROP_LINKED_PROGRAM, prog, 0, 256, 0);
        ComPtr<IVtLightingZone> z;
        Feature<IVtLighting>(p.Get(), IID_IVtLighting)->GetZone(0, z.Put());
        z->TurnOff();
        if (pid == VT_PID_MOUSE) {
            VtDpiStage s[] = {{300, 300}, {600, 700}};
            Feature<IVtDpi>(p.Get(), IID_IVtDpi)->SetDpiStages(2, s);
        }
        if (pid == VT_PID_HEADSET) Feature<IVtEQGain>(p.Get(), IID_IVtEQGain)->SetGain(1, -20);
        std::wstring file = dir.File(L"p.vtp");
        ASSERT_EQ(S_OK, p->Export(file.c_str()));
        ComPtr<IVtProfile> imported;
        ASSERT_EQ(S_OK, Profiles(pid)->ImportProfile(file.c_str(), imported.Put()));
        EXPECT_NE(GuidKey(IdOf(p.Get())), GuidKey(IdOf(imported.Get())));
        EXPECT_EQ(L"Exported \u00c5", NameOf(imported.Get()));
        ComPtr<IVtProfile> viaIndex;
        ASSERT_EQ(S_OK, Profiles(pid)->GetProfileByIndex(1, viaIndex.Put()));
        ComPtr<IVtLightingZone> z2;
        Feature<IVtLighting>(viaIndex.Get(), IID_IVtLighting)->GetZone(0, z2.Put());
        LONG on = 1;
        z2->IsOn(&on);
        EXPECT_EQ(0, on);
        ULONG size = 256;
        BYTE got[256];
        Feature<IVtProfileProperties>(viaIndex.Get(), IID_IVtProfileProperties)->GetProperty(VT_PROP_LINKED_PROGRAM, 0, got, 0, &size);
        EXPECT_EQ(256u, size);
        EXPECT_EQ(0, memcmp(prog, got, 256));
        if (pid == VT_PID_MOUSE) {
            ULONG n = 0;
            VtDpiStage* s = nullptr;
            Feature<IVtDpi>(viaIndex.Get(), IID_IVtDpi)->GetDpiStages(&n, &s);
            ASSERT_EQ(2u, n);
            EXPECT_EQ(700u, s[1].Y);
            CoTaskMemFree(s);
        }
        if (pid == VT_PID_HEADSET) {
            SHORT g = 0;
            Feature<IVtEQGain>(viaIndex.Get(), IID_IVtEQGain)->GetGain(1, &g);
            EXPECT_EQ(-20, g);
        }
        // A profile file of another device kind is refused.
        ULONG other = pid == VT_PID_MOUSE ? VT_PID_KEYBOARD : VT_PID_MOUSE;
        EXPECT_EQ(E_FAIL, Profiles(other)->ImportProfile(file.c_str(), imported.Put()));
    }
}

TEST_F(EngineCore, MacroExportImportMakesANewMacro) {
    auto store = Feature<IVtMacroStore>(Dev(VT_PID_KEYBOARD).Get(), IID_IVtMacroStore);
    ComPtr<IVtMacro> m;
    ASSERT_EQ(S_OK, store->CreateMacro(m.Put()));
    m->SetName(L"Combo");
    struct { ULONG zero, count; LONG t; LONG ms; ULONG slack[2]; } buf = {0, 1, 3, 0xFFFFFF, {0, 0}};
    ASSERT_EQ(S_OK, m->SetEvents(sizeof buf, reinterpret_cast<BYTE*>(&buf)));
    std::wstring file = dir.File(L"m.vtm");
    ASSERT_EQ(S_OK, m->Export(file.c_str()));
    ComPtr<IVtMacro> copy;
    ASSERT_EQ(S_OK, store->ImportMacro(file.c_str(), copy.Put()));
    GUID a, b;
    m->GetId(&a);
    copy->GetId(&b);
    EXPECT_NE(GuidKey(a), GuidKey(b));
    EXPECT_EQ(L"Combo", NameOf(copy.Get()));
    ULONG cb;
    BYTE* ev = nullptr;
    ASSERT_EQ(S_OK, copy->GetEvents(&cb, &ev));
    ASSERT_EQ(sizeof buf, cb);
    EXPECT_EQ(0, memcmp(&buf, ev, cb));
    CoTaskMemFree(ev);
}

TEST_F(EngineCore, DpiEventsReachTheProfilesSinksWhicheverObjectChangedIt) {
    auto profile = Active(VT_PID_MOUSE);
    auto source = Feature<IVtDpi>(profile.Get(), IID_IVtDpi);
    Sink* sink = new Sink;
    Connection c;
    ASSERT_EQ(S_OK, c.Connect(source.Get(), IID__IDPIEvents, static_cast<_IDPIEvents*>(sink)));
    ULONG objects = 0, sinks = 0;
    ctl->GetCounts(&objects, &sinks);
    EXPECT_EQ(1u, sinks);
    auto other = Feature<IVtDpi>(Active(VT_PID_MOUSE).Get(), IID_IVtDpi);
    ASSERT_EQ(S_OK, other->SetDpi(2000, 2100));
    ASSERT_EQ(S_OK, other->SetDpi(2000, 2100));  // unchanged: no event
    ASSERT_EQ(S_OK, other->SetActiveStage(5));
    ASSERT_TRUE(sink->WaitFor(2, 3000));
    ASSERT_TRUE(engine->WaitEventsIdle(3000));
    auto ev = sink->Events();
    ASSERT_EQ(2u, ev.size());
    EXPECT_EQ(2000u, ev[0].a);
    EXPECT_EQ(2100u, ev[0].b);
    EXPECT_EQ(5600u, ev[1].a);
    // Another profile's DPI is another source.
    ComPtr<IVtProfile> second;
    Profiles(VT_PID_MOUSE)->CreateProfile(second.Put());
    Feature<IVtDpi>(second.Get(), IID_IVtDpi)->SetDpi(300, 300);
    ASSERT_EQ(S_OK, c.Disconnect());
    other->SetDpi(400, 400);
    ASSERT_TRUE(engine->WaitEventsIdle(3000));
    EXPECT_EQ(2u, sink->Count());
    ctl->GetCounts(&objects, &sinks);
    EXPECT_EQ(0u, sinks);
    // The engine holds no reference to the sink after Unadvise.
    sink->AddRef();
    EXPECT_EQ(1u, sink->Release());
    sink->Release();
}

// Unadvises itself from inside its first event.
class SelfUnadvising final : public _IProfileManagerEvents {
public:
    ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(InterlockedIncrement(&ref)); }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG r = InterlockedDecrement(&ref);
        if (!r) delete this;
        return ULONG(r);
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        *ppv = nullptr;
        if (riid != IID_IUnknown && riid != IID__IProfileManagerEvents) return E_NOINTERFACE;
        *ppv = this;
        AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnProfileChanged(ULONG) override {
        ++calls;
        if (cp) {
            unadvise = cp->Unadvise(cookie);
            cp->Release();
            cp = nullptr;
        }
        return S_OK;
    }
    LONG ref = 1;
    std::atomic<int> calls{0};
    IConnectionPoint* cp = nullptr;
    DWORD cookie = 0;
    HRESULT unadvise = E_PENDING;
};

TEST_F(EngineCore, UnadviseFromInsideTheEventAndAfterwardsNothingArrives) {
    auto pm = Profiles(VT_PID_KEYBOARD);
    ComPtr<IVtProfile> p = Active(VT_PID_KEYBOARD);
    {
        auto* self = new SelfUnadvising;
        ComPtr<IConnectionPointContainer> cpc;
        ASSERT_EQ(S_OK, pm.As(cpc));
        ASSERT_EQ(S_OK, cpc->FindConnectionPoint(IID__IProfileManagerEvents, &self->cp));
        ASSERT_EQ(S_OK, self->cp->Advise(self, &self->cookie));
        pm->SetActiveProfile(p.Get());
        pm->SetActiveProfile(p.Get());
        ASSERT_TRUE(engine->WaitEventsIdle(5000));
        EXPECT_EQ(1, self->calls.load());
        EXPECT_EQ(S_OK, self->unadvise);
        EXPECT_EQ(1, self->ref);  // the engine let go of it: only ours is left
        self->Release();
    }
    Sink* sink = new Sink;
    Connection c;
    ASSERT_EQ(S_OK, c.Connect(pm.Get(), IID__IProfileManagerEvents, static_cast<_IProfileManagerEvents*>(sink)));
    for (int i = 0; i < 20; ++i) pm->SetActiveProfile(p.Get());
    ASSERT_EQ(S_OK, c.Disconnect());
    size_t seen = sink->Count();
    ASSERT_TRUE(engine->WaitEventsIdle(5000));
    EXPECT_EQ(seen, sink->Count());
    sink->Release();
}

TEST_F(EngineCore, PressedButtonsRunTheirRecords) {
    auto pm = Profiles(VT_PID_MOUSE);
    auto profile = Active(VT_PID_MOUSE);
    ComPtr<IVtProfile> second;
    ASSERT_EQ(S_OK, pm->CreateProfile(second.Put()));
    auto buttons = Feature<IVtButtonAssignments>(profile.Get(), IID_IVtButtonAssignments);
    auto launcher = Feature<IVtAppLauncher>(Dev(VT_PID_MOUSE).Get(), IID_IVtAppLauncher);
    ComPtr<IVtLaunchEntry> entry;
    launcher->CreateEntry(entry.Put());
    entry->SetPath(L"C:\\tool.exe");
    GUID entryId;
    entry->GetId(&entryId);
    VtActionRecord up{1, 4, 1, {9}};
    VtActionRecord select{1, 5, 4, {3, 0, 0, 0, 0}};
    VtActionRecord next{1, 8, 3, {1}};
    VtActionRecord launch{1, 9, 9, {}};
    memcpy(launch.Payload, &entryId, 16);
    for (auto* r : {&up, &select, &next, &launch}) ASSERT_EQ(S_OK, buttons->SetAssignment(1, r));
    Sink* sink = new Sink;
    Connection dpiC, pmC, appC;
    ASSERT_EQ(S_OK, dpiC.Connect(Feature<IVtDpi>(profile.Get(), IID_IVtDpi).Get(), IID__IDPIEvents, static_cast<_IDPIEvents*>(sink)));
    ASSERT_EQ(S_OK, pmC.Connect(pm.Get(), IID__IProfileManagerEvents, static_cast<_IProfileManagerEvents*>(sink)));
    ASSERT_EQ(S_OK, appC.Connect(launcher.Get(), IID__IApplicationEvent, static_cast<_IApplicationEvent*>(sink)));
    ASSERT_EQ(S_OK, ctl->Press(VT_PID_MOUSE, 4));  // stage 3 -> 4
    ASSERT_EQ(S_OK, ctl->Press(VT_PID_MOUSE, 5));  // stage select 1
    ASSERT_EQ(S_OK, ctl->Press(VT_PID_MOUSE, 9));  // launch
    ASSERT_EQ(S_OK, ctl->Press(VT_PID_MOUSE, 8));  // next profile
    EXPECT_EQ(E_INVALIDARG, ctl->Press(VT_PID_MOUSE, 6));
    ASSERT_TRUE(sink->WaitFor(4, 3000));
    auto ev = sink->Events();
    ASSERT_EQ(4u, ev.size());
    EXPECT_EQ("dpi", ev[0].what);
    EXPECT_EQ(4000u, ev[0].a);
    EXPECT_EQ("dpi", ev[1].what);
    EXPECT_EQ(800u, ev[1].a);
    EXPECT_EQ("launch", ev[2].what);
    EXPECT_EQ(1u, ev[2].a);
    EXPECT_EQ(L"C:\\tool.exe", ev[2].path);
    EXPECT_EQ("profile", ev[3].what);
    EXPECT_EQ(1u, ev[3].a);
    sink->Release();
}

TEST_F(EngineCore, MacroRecordingSequenceRaisesItsEvents) {
    auto recorder = Feature<IUnknown>(Dev(VT_PID_KEYBOARD).Get(), IID_IVtMacroRecorder);
    Sink* sink = new Sink;
    Connection c;
    ASSERT_EQ(S_OK, c.Connect(recorder.Get(), IID__IOTFMacroRecordingEvents, static_cast<_IOTFMacroRecordingEvents*>(sink)));
    EXPECT_EQ(E_FAIL, ctl->RecordAction(2, 0x1E));  // no target before a recording stopped
    ASSERT_EQ(S_OK, ctl->RecordAction(1, 0));
    ASSERT_EQ(S_OK, ctl->RecordAction(1, 0));
    EXPECT_EQ(E_INVALIDARG, ctl->RecordAction(2, 0x9999));
    ASSERT_EQ(S_OK, ctl->RecordAction(2, 0x1E));
    ASSERT_EQ(S_OK, ctl->RecordAction(1, 0));
    ASSERT_EQ(S_OK, ctl->RecordAction(3, 0));
    ASSERT_TRUE(sink->WaitFor(5, 3000));
    auto ev = sink->Events();
    std::vector<std::string> what;
    for (auto& e : ev) what.push_back(e.what);
    EXPECT_EQ((std::vector<std::string>{"start", "stop", "assign", "start", "cancel"}), what);
    EXPECT_EQ(0u, ev[2].a);
    EXPECT_EQ(0x1Eu, ev[2].b);
    auto mode = Feature<IVtKeyboardMode>(Dev(VT_PID_KEYBOARD).Get(), IID_IVtKeyboardMode);
    ULONG m = 0;
    ASSERT_EQ(S_OK, mode->SetMode(2));
    EXPECT_EQ(E_INVALIDARG, mode->SetMode(3));
    mode->GetMode(&m);
    EXPECT_EQ(2u, m);
    sink->Release();
}

TEST_F(EngineCore, FaultInjectionFailsTheNthCallAndLogsCalls) {
    auto p = Active(VT_PID_MOUSE);
    ASSERT_EQ(S_OK, ctl->FailCall(L"IVtProfile.SetName", 2, E_ABORT));
    EXPECT_EQ(S_OK, p->SetName(L"a"));
    EXPECT_EQ(E_ABORT, p->SetName(L"b"));
    EXPECT_EQ(S_OK, p->SetName(L"c"));
    BSTR log = nullptr;
    ASSERT_EQ(S_OK, ctl->GetCallLog(TRUE, &log));
    std::wstring text(log, SysStringLen(log));
    SysFreeString(log);
    EXPECT_NE(std::wstring::npos, text.find(L"IVtProfile.SetName b\n"));
    ASSERT_EQ(S_OK, ctl->DelayCall(L"IVtProfile.GetId", 150));
    DWORD t = GetTickCount();
    GUID g;
    p->GetId(&g);
    EXPECT_GE(GetTickCount() - t, 120u);
    ASSERT_EQ(S_OK, ctl->DelayCall(L"*", 0));  // clears every delay
    t = GetTickCount();
    p->GetId(&g);
    EXPECT_LT(GetTickCount() - t, 100u);
}

TEST_F(EngineCore, ConcurrentThreadsLoseNoUpdate) {
    auto p = Active(VT_PID_MOUSE);
    GUID id = IdOf(p.Get());
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    const USHORT masks[3] = {1, 2, 4};
    for (int t = 0; t < 6; ++t) {
        threads.emplace_back([&, t] {
            CoInitializeEx(nullptr, COINIT_MULTITHREADED);
            {
                ComPtr<IVtDeviceMgr> m;
                vt::engine::CreateDeviceManager(engine, IID_IVtDeviceMgr, m.PutVoid());
                auto pm = Feature<IVtProfileManager>(DeviceOf(m.Get(), VT_PID_MOUSE).Get(), IID_IVtProfileManager);
                ComPtr<IVtProfile> mine;
                pm->GetProfileById(id, mine.Put());
                auto props = Feature<IVtProfileProperties>(mine.Get(), IID_IVtProfileProperties);
                auto keys = Feature<IVtKeyEntries>(DeviceOf(m.Get(), VT_PID_MOUSE).Get(), IID_IVtKeyEntries);
                for (int i = 0; i < 300; ++i) {
                    USHORT set[2] = {masks[t % 3], USHORT(i == 299 ? 1 : i & 1)};
                    if (t < 3 && FAILED(props->SetProperty(VT_PROP_LINK_FLAGS, reinterpret_cast<BYTE*>(set), 0, 4, 0))) ++failures;
                    if (FAILED(keys->SetValue1(ULONG(t + 1), ULONG(i)))) ++failures;
                }
            }
            CoUninitialize();
        });
    }
    for (auto& th : threads) th.join();
    EXPECT_EQ(0, failures.load());
    USHORT word = 0;
    ULONG size = 2;
    Feature<IVtProfileProperties>(p.Get(), IID_IVtProfileProperties)->GetProperty(VT_PROP_LINK_FLAGS, 0, reinterpret_cast<BYTE*>(&word), 0, &size);
    EXPECT_EQ(7, word);
    auto keys = Feature<IVtKeyEntries>(Dev(VT_PID_MOUSE).Get(), IID_IVtKeyEntries);
    for (ULONG k = 1; k <= 6; ++k) {
        ULONG v = 0;
        keys->GetValue1(k, &v);
        EXPECT_EQ(299u, v);
    }
}

// ---- Persistence ----

TEST_F(EngineCore, StateSurvivesARestart) {
    std::string before;
    {
        auto p = Active(VT_PID_KEYBOARD);
        p->SetName(L"Kept");
        ComPtr<IVtProfile> second;
        Profiles(VT_PID_KEYBOARD)->CreateProfile(second.Put());
        Profiles(VT_PID_KEYBOARD)->SetActiveProfile(second.Get());
        before = engine->Dump();
    }
    Start();
    EXPECT_EQ(before, engine->Dump());
    ComPtr<IVtProfile> first;
    ASSERT_EQ(S_OK, Profiles(VT_PID_KEYBOARD)->GetProfileByIndex(0, first.Put()));
    EXPECT_EQ(L"Kept", NameOf(first.Get()));
    EXPECT_TRUE(engine->LogLines().empty());
}

TEST_F(EngineCore, CorruptStateFileIsKeptAsideAndDefaultsStart) {
    Active(VT_PID_MOUSE)->SetName(L"Before");
    mgr.Reset();
    ctl.Reset();
    engine.reset();
    std::wstring file = dir.File(L"mouse.vtstate");
    std::vector<uint8_t> bytes = ReadAll(file);
    ASSERT_GT(bytes.size(), 100u);
    bytes[bytes.size() / 2] ^= 0x5A;
    ASSERT_TRUE(WriteAll(file, bytes));
    Start();
    EXPECT_EQ(L"Profile 1", NameOf(Active(VT_PID_MOUSE).Get()));
    ASSERT_EQ(1u, engine->LogLines().size());
    EXPECT_NE(std::wstring::npos, engine->LogLines()[0].find(L"corrupt"));
    int aside = 0;
    for (const auto& name : dir.List())
        if (name.rfind(L"mouse.vtstate.corrupt-", 0) == 0) {
            ++aside;
            EXPECT_EQ(bytes, ReadAll(dir.File(name)));  // kept byte for byte
        }
    EXPECT_EQ(1, aside);
    // A second corruption does not overwrite the first copy kept aside.
    mgr.Reset();
    ctl.Reset();
    engine.reset();
    ASSERT_TRUE(WriteAll(file, {1, 2, 3}));
    Start();
    aside = 0;
    for (const auto& name : dir.List())
        if (name.rfind(L"mouse.vtstate.corrupt-", 0) == 0) ++aside;
    EXPECT_EQ(2, aside);
}

// A state file with a device value its setter would refuse: the value is loaded as its default and
// logged, everything else in the file is kept, the file is not put aside, and the setter refuses
// the same value.
TEST_F(EngineCore, StateValuesOutOfRangeLoadAsDefaultsLikeTheSettersRefuseThem) {
    struct Case { const wchar_t* name; uint32_t value; const char* json; uint32_t expected; bool logged; };
    const Case cases[] = {
        {L"buttonmask", 0, "buttonMask", 0x19F, true},
        {L"buttonmask", 1u << 23, "buttonMask", 0x19F, true},
        {L"buttonmask", 0x7, "buttonMask", 0x7, false},
        {L"buttoncount", 0xFFFFFFFF, "buttonCount", 7, true},
        {L"buttoncount", 23, "buttonCount", 23, false},
        {L"rate", 0xFFFFFFFF, "rate", 2, true},
        {L"rate", 0, "rate", 2, true},
        {L"rate", 4, "rate", 2, true},
        {L"rate", 8, "rate", 8, false},
        {L"acceleration", 0, "acceleration", 5, true},
        {L"acceleration", 11, "acceleration", 5, true},
        {L"acceleration", 10, "acceleration", 10, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.json) + " " + std::to_string(c.value));
        const vt::engine::DeviceValueRule* rule = vt::engine::FindDeviceValueRule(vt::engine::Mouse, c.name);
        ASSERT_NE(nullptr, rule);
        // The setter's answer for the value.
        HRESULT set;
        auto dev = Dev(VT_PID_MOUSE);
        if (std::wstring(c.name) == L"rate") set = Feature<IVtRateList>(dev.Get(), IID_IVtRateList)->SetRate(c.value);
        else if (std::wstring(c.name) == L"acceleration")
            set = Feature<IVtAcceleration>(dev.Get(), IID_IVtAcceleration)->SetAcceleration(c.value);
        else set = ctl->SetDeviceValue(VT_PID_MOUSE, c.name, c.value);
        EXPECT_EQ(c.logged ? E_INVALIDARG : S_OK, set);
        // A state file holding the value, written as the engine writes them.
        mgr.Reset();
        ctl.Reset();
        engine.reset();
        vt::engine::Device d = vt::engine::FactoryDevice(vt::engine::Mouse);
        d.profiles[0].name = L"Kept";
        d.*rule->field = c.value;
        ASSERT_TRUE(WriteAll(dir.File(L"mouse.vtstate"), vt::engine::SaveDevice(d)));
        Start();
        std::string want = "\"";  // "<name>":<expected>, in the dump
        want.append(c.json).append("\":").append(std::to_string(c.expected)).append(",");
        std::string dump = engine->Dump();
        EXPECT_NE(std::string::npos, dump.find(want));
        EXPECT_NE(std::string::npos, dump.find("\"name\":\"Kept\""));
        auto log = engine->LogLines();
        ASSERT_EQ(c.logged ? 1u : 0u, log.size());
        if (c.logged) {
            EXPECT_NE(std::wstring::npos, log[0].find(std::wstring(c.name) + L" " + std::to_wstring(c.value) + L" is out of range"));
        }
        for (const auto& n : dir.List()) EXPECT_EQ(std::wstring::npos, n.find(L"corrupt")) << n;
        // Loaded again, the value stays what was loaded, with nothing more to say.
        mgr.Reset();
        ctl.Reset();
        engine.reset();
        Start();
        EXPECT_NE(std::string::npos, engine->Dump().find(want));
        EXPECT_TRUE(engine->LogLines().empty());
    }
}

TEST_F(EngineCore, MissingStateFilesStartFromFactoryDefaults) {
    engine->Flush();
    auto d = engine->Dump();
    EXPECT_NE(std::string::npos, d.find("\"stages\":[[800,800],[1200,1200],[1800,1800],[4000,4000],[5600,5600]],\"activeStage\":3,\"current\":[1800,1800]"));
    EXPECT_NE(std::string::npos, d.find("\"rate\":2,\"acceleration\":5,\"accelerationEnabled\":true"));
    EXPECT_NE(std::string::npos, d.find("\"equalizer\":{\"on\":true,\"gains\":[0,0,0,0,0,0,0,0,0,0]}"));
    for (const wchar_t* f : {L"mouse.vtstate", L"keyboard.vtstate", L"headset.vtstate"})
        EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(dir.File(f).c_str())) << f;
}

}  // namespace
