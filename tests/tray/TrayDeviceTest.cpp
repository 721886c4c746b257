// The tray's device side against the engine core hosted in this process: the notice reader, the
// device client, the device manager and the event connections.
#include <gtest/gtest.h>
#include <windows.h>
#include <dbt.h>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>
#include "InProcessEngine.h"
#include "tray/DeviceManager.h"
#include "tray/DeviceTable.h"
#include "tray/EventConnections.h"
#include "tray/VtDevice.h"

using namespace vt::tray;
using vt::test::ComPtr;

namespace {

constexpr int32_t kMouse = 0x19, kKeyboard = 0x1A, kHeadset = 0x1B;

std::vector<uint8_t> InterfaceRecord(const std::wstring& path, DWORD type = DBT_DEVTYP_DEVICEINTERFACE) {
    const size_t size = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name) + (path.size() + 1) * sizeof(wchar_t);
    std::vector<uint8_t> buffer(size);
    auto* r = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W*>(buffer.data());
    r->dbcc_size = DWORD(size);
    r->dbcc_devicetype = type;
    std::memcpy(r->dbcc_name, path.c_str(), (path.size() + 1) * sizeof(wchar_t));
    return buffer;
}

// Records the events that reach the tray's handlers (the in-process engine delivers on its own thread).
class RecordingHandlers : public ITrayEventHandlers {
public:
    void OnDpiChanged(int32_t pid, uint32_t x, uint32_t y) override { Add(L"dpi " + std::to_wstring(pid) + L" " + std::to_wstring(x) + L"," + std::to_wstring(y)); }
    void OnProfileChanged(int32_t pid, uint32_t value) override { Add(L"profile " + std::to_wstring(pid) + L" " + std::to_wstring(value)); }
    void OnMacroRecordStart(int32_t pid) override { Add(L"start " + std::to_wstring(pid)); }
    void OnMacroRecordStop(int32_t pid) override { Add(L"stop " + std::to_wstring(pid)); }
    void OnMacroRecordCancel(int32_t pid) override { Add(L"cancel " + std::to_wstring(pid)); }
    void OnMacroRecordAssign(int32_t pid, uint32_t a, uint32_t b) override { Add(L"assign " + std::to_wstring(pid) + L" " + std::to_wstring(b)); }
    void OnLaunchApp(int32_t pid, int32_t kind, const wchar_t* path) override { Add(L"launch " + std::to_wstring(kind) + L" " + path); }
    std::vector<std::wstring> Take() {
        std::lock_guard<std::mutex> l(m_lock);
        return std::exchange(m_events, {});
    }
private:
    void Add(std::wstring e) {
        std::lock_guard<std::mutex> l(m_lock);
        m_events.push_back(std::move(e));
    }
    std::mutex m_lock;
    std::vector<std::wstring> m_events;
};

class TrayDevice : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        ASSERT_TRUE(engine.Ready());
    }
    void TearDown() override { CoUninitialize(); }
    vt::test::InProcessTrayEngine engine;
};

} // namespace

TEST(TrayDeviceNotice, PathsOfTheMakersDevicesBecomeDeviceMessages) {
    struct Case {
        WPARAM event;
        std::wstring path;
        DWORD type;
        std::vector<std::pair<UINT, WPARAM>> expected;
    } cases[] = {
        {DBT_DEVICEARRIVAL, L"\\\\?\\HID#VID_2F3D&PID_0019#7&1&0#{4d1e55b2-f16f-11cf-88cb-001111000030}", DBT_DEVTYP_DEVICEINTERFACE,
         {{WM_TRAY_DEVICE_ARRIVED, 0x19}}},
        {DBT_DEVICEARRIVAL, L"\\\\?\\hid#vid_2f3d&pid_001a#7&1&0#{guid}", DBT_DEVTYP_DEVICEINTERFACE, {{WM_TRAY_DEVICE_ARRIVED, 0x1A}}},
        {DBT_DEVICEREMOVECOMPLETE, L"\\\\?\\HID#VID_2F3D&PID_001B#x", DBT_DEVTYP_DEVICEINTERFACE, {{WM_TRAY_DEVICE_REMOVED, 0x1B}}},
        {DBT_DEVICEARRIVAL, L"\\\\?\\HID#VID_845E&PID_0019#x", DBT_DEVTYP_DEVICEINTERFACE, {}},   // another vendor
        {DBT_DEVICEARRIVAL, L"\\\\?\\HID#VID_2F3D&PID_010E#x", DBT_DEVTYP_DEVICEINTERFACE, {}},   // not in the tray's table
        {DBT_DEVICEARRIVAL, L"\\\\?\\HID#VID_2F3D&PID_0019#x", DBT_DEVTYP_VOLUME, {}},            // not an interface
        {DBT_DEVICEQUERYREMOVE, L"\\\\?\\HID#VID_2F3D&PID_0019#x", DBT_DEVTYP_DEVICEINTERFACE, {}},
        {DBT_DEVNODES_CHANGED, L"", DBT_DEVTYP_DEVICEINTERFACE, {{WM_TRAY_DEVICE_NODES_CHANGED, 0}}},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> record = InterfaceRecord(c.path, c.type);
        auto got = ReadDeviceNotice(c.event, c.event == DBT_DEVNODES_CHANGED ? nullptr
                                                                            : reinterpret_cast<DEV_BROADCAST_HDR*>(record.data()));
        std::vector<std::pair<UINT, WPARAM>> pairs;
        for (const DeviceNotice& n : got) pairs.push_back({n.message, n.pid});
        EXPECT_EQ(pairs, c.expected) << std::string(c.path.begin(), c.path.end());
    }
    // A record whose size ends inside the path is read only that far, terminator or not.
    std::vector<uint8_t> record = InterfaceRecord(L"\\\\?\\HID#VID_2F3D&PID_0019#x");
    auto* r = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W*>(record.data());
    r->dbcc_size = DWORD(offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name) + 12 * sizeof(wchar_t));  // "\\?\HID#VID_"
    EXPECT_TRUE(ReadDeviceNotice(DBT_DEVICEARRIVAL, reinterpret_cast<DEV_BROADCAST_HDR*>(record.data())).empty());
    EXPECT_TRUE(ReadDeviceNotice(DBT_DEVICEARRIVAL, nullptr).empty());
}

TEST_F(TrayDevice, ProfilesAreFoundByTheirExactNames) {
    ASSERT_TRUE(engine.AddProfile(kMouse, L"Game"));
    ASSERT_TRUE(engine.AddProfile(kMouse, L"game"));
    CVtDevice client(kMouse);
    ASSERT_TRUE(client.IsPresent());
    std::vector<std::wstring> names;
    ASSERT_TRUE(client.GetProfileNames(names));
    EXPECT_EQ(names, (std::vector<std::wstring>{L"Profile 1", L"Game", L"game"}));
    std::wstring active;
    ASSERT_TRUE(client.GetActiveProfileName(active));
    EXPECT_EQ(active, L"Profile 1");
    ASSERT_TRUE(client.ActivateProfile(L"game"));
    ASSERT_TRUE(client.GetActiveProfileName(active));
    EXPECT_EQ(active, L"game");
    EXPECT_FALSE(client.ActivateProfile(L"GAME"));
    _Profile_Setting_ setting;
    EXPECT_FALSE(client.GetProfileSetting(L"GAME", setting));
}

TEST_F(TrayDevice, LinkedProgramsAndFlagsAreReadBack) {
    ASSERT_TRUE(engine.AddProfile(kKeyboard, L"Racing"));
    CVtDevice client(kKeyboard);
    ASSERT_TRUE(client.SetProfileProgramPath(L"Racing", L"racer.exe"));
    ASSERT_TRUE(client.SetProfileFlags(L"Racing", true, false, true));
    std::vector<_Profile_Setting_> list;
    ASSERT_TRUE(client.GetProfileSettings(list));
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].name, L"Profile 1");
    EXPECT_EQ(list[0].program, L"");
    EXPECT_EQ(list[1].name, L"Racing");
    EXPECT_EQ(list[1].program, L"racer.exe");
    EXPECT_EQ(list[1].autoSwitch, 1);
    EXPECT_EQ(list[1].showDpi, 0);
    EXPECT_EQ(list[1].showProfile, 1);
    ASSERT_TRUE(client.SetProfileAutoSwitch(L"Racing", false));
    _Profile_Setting_ one;
    ASSERT_TRUE(client.GetProfileSetting(L"Racing", one));
    EXPECT_EQ(one.autoSwitch, 0);
    EXPECT_EQ(one.showProfile, 1);
}

TEST_F(TrayDevice, AProgramValueFillingAllItsBytesIsReadWithinThem) {
    // 256 bytes of text and no terminator: the name ends with the value.
    ComPtr<IVtProfileProperties> properties;
    ComPtr<IVtProfile> profile;
    ASSERT_TRUE(SUCCEEDED(engine.Profiles(kMouse)->GetActiveProfile(profile.Put())));
    ASSERT_TRUE(SUCCEEDED(profile->CreateInterfaceInstance(IID_IVtProfileProperties, properties.PutVoid())));
    std::wstring full(128, L'a');
    ASSERT_TRUE(SUCCEEDED(properties->SetProperty(VT_PROP_LINKED_PROGRAM, reinterpret_cast<const BYTE*>(full.data()), 0, 256, 0)));
    CVtDevice client(kMouse);
    _Profile_Setting_ setting;
    ASSERT_TRUE(client.GetProfileSetting(L"Profile 1", setting));
    EXPECT_EQ(setting.program, full);
}

TEST_F(TrayDevice, FlagWritesStopAtTheFirstFailure) {
    CVtDevice client(kMouse);
    ASSERT_TRUE(SUCCEEDED(engine.control->FailCall(L"IVtProfileProperties.SetProperty", 2, E_FAIL)));
    EXPECT_FALSE(client.SetProfileFlags(L"Profile 1", true, true, true));
    _Profile_Setting_ setting;
    ASSERT_TRUE(client.GetProfileSetting(L"Profile 1", setting));
    EXPECT_EQ(setting.autoSwitch, 1);
    EXPECT_EQ(setting.showDpi, 0);
    EXPECT_EQ(setting.showProfile, 0);  // never written after the failure
}

TEST_F(TrayDevice, AnAbsentDeviceAnswersNothing) {
    ASSERT_TRUE(SUCCEEDED(engine.control->SetPresent(kHeadset, 0)));
    CVtDevice client(kHeadset);
    EXPECT_FALSE(client.IsPresent());
    std::vector<std::wstring> names;
    std::vector<_Profile_Setting_> settings;
    std::wstring text;
    uint32_t a, b, c;
    EXPECT_FALSE(client.GetProfileNames(names));
    EXPECT_FALSE(client.GetProfileSettings(settings));
    EXPECT_FALSE(client.GetActiveProfileName(text));
    EXPECT_FALSE(client.GetDpiRange(a, b, c));
    EXPECT_FALSE(client.MakeMacroName(text));
    EXPECT_EQ(client.ConnectProfileEvents(nullptr), nullptr);
    EXPECT_EQ(client.ConnectAudioSync(), nullptr);
    CVtDevice unknown(0x1234);
    EXPECT_FALSE(unknown.IsPresent());
}

TEST(TrayMacroName, NumbersOfNewMacroNames) {
    struct Case { const wchar_t* name; uint64_t number; } cases[] = {
        {L"New Macro1", 1}, {L"New Macro7", 7}, {L"New Macro 12", 12}, {L"Other 99", 0}, {L"My New Macro 5", 0},
        {L"New Macro", 0}, {L"New Macro3x", 3}, {L"New Macro99999999999999999999999", 1000000000000000000ull},
    };
    for (const Case& c : cases) EXPECT_EQ(NewMacroNumber(c.name), c.number) << std::wstring(c.name).size();
}

TEST_F(TrayDevice, TheNextMacroNameFollowsTheLargestNumber) {
    for (const wchar_t* name : {L"New Macro1", L"Other 99", L"New Macro7", L"My New Macro 50"})
        ASSERT_TRUE(engine.AddMacro(kKeyboard, name));
    CVtDevice client(kKeyboard);
    std::wstring name;
    ASSERT_TRUE(client.MakeMacroName(name));
    EXPECT_EQ(name, L"New Macro8");
}

TEST_F(TrayDevice, RecordingLightsAndTheFinishedMacro) {
    CVtDevice client(kKeyboard);
    ComPtr<IVtDevice> device = engine.Device(kKeyboard);
    ComPtr<IVtKeyboardMode> mode;
    ASSERT_TRUE(SUCCEEDED(device->CreateInterfaceInstance(IID_IVtKeyboardMode, mode.PutVoid())));
    ComPtr<IVtProfile> profile;
    ASSERT_TRUE(SUCCEEDED(engine.Profiles(kKeyboard)->GetActiveProfile(profile.Put())));
    ComPtr<IVtLighting> lighting;
    ASSERT_TRUE(SUCCEEDED(profile->CreateInterfaceInstance(IID_IVtLighting, lighting.PutVoid())));
    auto zone7 = [&](LONG* on, LONG* effect, LONG* p1, DWORD* colour) {
        ComPtr<IVtLightingZone> zone;
        ASSERT_TRUE(SUCCEEDED(lighting->GetZoneById(7, zone.Put())));
        ComPtr<IVtLightingEffect> e;
        ComPtr<IVtLightingColor> c;
        ASSERT_TRUE(SUCCEEDED(zone.As(e)) && SUCCEEDED(zone.As(c)));
        LONG p2 = 0;
        zone->IsOn(on);
        e->GetEffect(effect, p1, &p2);
        c->GetColor(colour);
    };
    ULONG m = 0;
    LONG on = 0, effect = 0, p1 = 0;
    DWORD colour = 0;

    ASSERT_TRUE(client.BeginRecordingLights());
    mode->GetMode(&m);
    zone7(&on, &effect, &p1, &colour);
    EXPECT_EQ(m, 2u);
    EXPECT_EQ(on, 1);
    EXPECT_EQ(effect, 0);
    EXPECT_EQ(colour, 255u);

    ASSERT_TRUE(client.PauseRecordingLights());
    zone7(&on, &effect, &p1, &colour);
    EXPECT_EQ(effect, 1);
    EXPECT_EQ(p1, 300);

    // The key to assign: the first key of the keyboard's table.
    ComPtr<IVtAssignmentTable> table;
    ASSERT_TRUE(SUCCEEDED(profile->CreateInterfaceInstance(IID_IVtAssignmentTable, table.PutVoid())));
    ULONG first = 0, count = 0;
    ASSERT_TRUE(SUCCEEDED(table->GetTableInfo(&first, &count)));
    std::vector<VtActionRecord> records(count);
    ULONG n = count;
    ASSERT_TRUE(SUCCEEDED(table->GetAssignments(&n, records.data())));
    const ULONG key = records[0].Index;

    const std::vector<TrayMacroEvent> events = {{2, 0x1E, 0}, {3, 250, 0}, {2, 0x1E, 1}};
    ASSERT_TRUE(client.FinishRecording(0, key, events));
    mode->GetMode(&m);
    zone7(&on, &effect, &p1, &colour);
    EXPECT_EQ(m, 1u);
    EXPECT_EQ(on, 0);

    ComPtr<IVtMacroStore> store;
    ASSERT_TRUE(SUCCEEDED(device->CreateInterfaceInstance(IID_IVtMacroStore, store.PutVoid())));
    ComPtr<IVtMacro> macro;
    ASSERT_TRUE(SUCCEEDED(store->GetMacroByIndex(0, macro.Put())));
    WCHAR* name = nullptr;
    ULONG cch = 0;
    ASSERT_TRUE(SUCCEEDED(macro->GetName(&cch, &name)));
    EXPECT_EQ(TakeEngineText(name, cch), L"New Macro1");
    BYTE* buffer = nullptr;
    ULONG cb = 0;
    ASSERT_TRUE(SUCCEEDED(macro->GetEvents(&cb, &buffer)));
    const std::vector<uint8_t> expected = BuildMacroEventBuffer(events);
    EXPECT_EQ(std::vector<uint8_t>(buffer, buffer + cb), expected);
    CoTaskMemFree(buffer);
    GUID id{};
    macro->GetId(&id);

    n = count;
    ASSERT_TRUE(SUCCEEDED(table->GetAssignments(&n, records.data())));
    EXPECT_EQ(records[0].Type, 8u);
    EXPECT_EQ(std::memcmp(records[0].Payload, &id, 16), 0);
    EXPECT_EQ(records[0].Payload[16], 1);
}

TEST_F(TrayDevice, ConnectionsFollowTheTableAndEveryDeviceIsConnected) {
    ASSERT_TRUE(SUCCEEDED(engine.control->SetPresent(kHeadset, 0)));
    CDeviceManager manager;
    manager.FillDeviceMap();
    RecordingHandlers handlers;
    // An absent device gets empty slots and still counts as not connected.
    EXPECT_TRUE(manager.ConnectDeviceEvents(kHeadset, &handlers));
    EXPECT_FALSE(manager.IsDeviceConnected(kHeadset));
    // Connecting twice changes nothing.
    EXPECT_TRUE(manager.ConnectDeviceEvents(kMouse, &handlers));
    EXPECT_FALSE(manager.ConnectDeviceEvents(kMouse, &handlers));
    EXPECT_EQ(engine.Sinks(), 3u);  // DPI, profile, launch
    // With the lowest id connected already, the others are still connected.
    EXPECT_FALSE(manager.ConnectAllDevices(&handlers));  // the headset is absent
    EXPECT_TRUE(manager.IsDeviceConnected(kKeyboard));
    EXPECT_EQ(engine.Sinks(), 6u);  // + profile, launch, macro recording
    EXPECT_EQ(manager.ClientCount(), 0u);

    // Events of the connected sources reach the handlers with the device's id.
    ASSERT_TRUE(SUCCEEDED(engine.control->RecordAction(1, 0)));
    ASSERT_TRUE(SUCCEEDED(engine.control->Press(kMouse, 1)));  // left click: no event
    ASSERT_TRUE(engine.WaitEvents());
    EXPECT_EQ(handlers.Take(), (std::vector<std::wstring>{L"start 26"}));

    // The headset arrives: its sync connection is made, without sinks.
    ASSERT_TRUE(SUCCEEDED(engine.control->SetPresent(kHeadset, 1)));
    EXPECT_TRUE(manager.ConnectDeviceEvents(kHeadset, &handlers));
    EXPECT_TRUE(manager.AllDevicesConnected());
    auto syncOn = [&] {
        ComPtr<IVtSync> sync;
        LONG on = -1;
        if (SUCCEEDED(engine.Device(kHeadset)->CreateInterfaceInstance(IID_IVtSync, sync.PutVoid()))) sync->IsSyncEnable(&on);
        return on;
    };
    EXPECT_EQ(syncOn(), 1);

    manager.DisconnectDeviceEvents(kKeyboard);
    EXPECT_FALSE(manager.IsDeviceConnected(kKeyboard));
    EXPECT_EQ(engine.Sinks(), 3u);
    manager.DisconnectAll();
    EXPECT_EQ(engine.Sinks(), 0u);
    EXPECT_FALSE(manager.AllDevicesConnected());
    EXPECT_EQ(syncOn(), 0);
}

namespace {

// A source whose connection point keeps the sink after Unadvise, as an engine stub may.
class HoldingSource : public IConnectionPointContainer, public IConnectionPoint {
public:
    IUnknown* held = nullptr;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IConnectionPointContainer) *out = static_cast<IConnectionPointContainer*>(this);
        else if (iid == IID_IConnectionPoint) *out = static_cast<IConnectionPoint*>(this);
        else { *out = nullptr; return E_NOINTERFACE; }
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** out) override {
        if (iid != IID__IDPIEvents) return E_NOINTERFACE;
        *out = this;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override {
        sink->QueryInterface(IID__IDPIEvents, reinterpret_cast<void**>(&held));
        *cookie = 7;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD) override { return RPC_E_DISCONNECTED; }
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }
};

} // namespace

TEST(TrayEventSink, ASinkOutlivesItsConnectionWhileTheSourceHoldsIt) {
    RecordingHandlers handlers;
    HoldingSource source;
    auto* connection = new CDpiEventConnection(kMouse, static_cast<IConnectionPointContainer*>(&source), &handlers, IID__IDPIEvents);
    EXPECT_TRUE(connection->Advised());
    ASSERT_NE(source.held, nullptr);
    delete connection;  // the failed Unadvise leaves the source's reference: the sink lives on
    auto* sink = static_cast<_IDPIEvents*>(source.held);
    EXPECT_EQ(sink->OnDpiChanged(800, 800), S_OK);
    EXPECT_EQ(handlers.Take(), (std::vector<std::wstring>{L"dpi 25 800,800"}));
    EXPECT_EQ(sink->Release(), 0u);
}

TEST(TrayEventSink, AnswersItsOwnInterfaceOnlyAndDropsEventsWithoutAHandler) {
    auto* sink = new CMacroEventSink(kKeyboard, nullptr);
    void* out = nullptr;
    EXPECT_EQ(sink->QueryInterface(IID_IUnknown, &out), S_OK);
    EXPECT_EQ(sink->QueryInterface(IID__IOTFMacroRecordingEvents, &out), S_OK);
    EXPECT_EQ(sink->QueryInterface(IID__IDPIEvents, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(sink->QueryInterface(IID_IDispatch, &out), E_NOINTERFACE);
    EXPECT_EQ(sink->OnRecordStart(), S_OK);
    EXPECT_EQ(sink->OnRecordAssign(0, 5), S_OK);
    EXPECT_EQ(sink->Release(), 2u);
    EXPECT_EQ(sink->Release(), 1u);
    EXPECT_EQ(sink->Release(), 0u);
}
