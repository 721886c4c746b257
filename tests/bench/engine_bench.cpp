// Engine benchmark. Prints:
//  - the median (and 90th percentile) round trip of a typical read (IVtDpi::GetDpi) and write
//    (IVtDpi::SetDpi; the state file follows within milliseconds) from this process to the engine server;
//  - the time to write 20 mouse profiles with every group (name, link properties, DPI, buttons,
//    lighting) plus the device-wide groups, and to read them all back, with the number of calls;
//  - the same figures for the engine core hosted in-process (state files in a temporary folder).
//  - with "load <seconds>": calls per second of 3 client processes x 3 threads at once
//    (engine_testhelper.exe, next to this program), with their failures.
// Usage: engine_bench [seconds]      (round-trip sampling time per call kind, default 3)
//        engine_bench load [seconds] (default 60)
#include <windows.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <memory>
#include <thread>
#include <vector>
#include "ChildProcess.h"
#include "Engine.h"
#include "EngineTestUtil.h"

using namespace vt::test::engine;
using Clock = std::chrono::steady_clock;

namespace {

double Us(Clock::duration d) { return std::chrono::duration<double, std::micro>(d).count(); }

struct RoundTrip {
    double median = 0, p90 = 0;
    size_t samples = 0;
};

RoundTrip Sample(double seconds, const std::function<HRESULT(size_t)>& call) {
    std::vector<double> us;
    auto end = Clock::now() + std::chrono::duration<double>(seconds);
    for (size_t i = 0; Clock::now() < end && i < 200000; ++i) {
        auto t = Clock::now();
        if (FAILED(call(i))) return {};
        us.push_back(Us(Clock::now() - t));
    }
    std::sort(us.begin(), us.end());
    return {us[us.size() / 2], us[us.size() * 9 / 10], us.size()};
}

struct FullSet {
    double writeMs = 0, readMs = 0;
    size_t writeCalls = 0, readCalls = 0;
    bool ok = true;
};

FullSet TwentyProfiles(IVtDeviceMgr* mgr) {
    FullSet f;
    auto check = [&](HRESULT hr, size_t* calls) {
        ++*calls;
        if (FAILED(hr)) f.ok = false;
    };
    auto dev = DeviceOf(mgr, VT_PID_MOUSE);
    auto pm = Feature<IVtProfileManager>(dev.Get(), IID_IVtProfileManager);
    // Start from one profile, as a fresh engine has.
    for (;;) {
        ComPtr<IVtProfile> p;
        if (FAILED(pm->GetProfileByIndex(1, p.Put())) || FAILED(pm->DeleteProfile(p.Get()))) break;
    }
    auto t0 = Clock::now();
    size_t* w = &f.writeCalls;
    for (int i = 0; i < 20; ++i) {
        ComPtr<IVtProfile> p;
        if (i == 0) check(pm->GetProfileByIndex(0, p.Put()), w);
        else check(pm->CreateProfile(p.Put()), w);
        if (!p) return f;
        wchar_t name[32];
        swprintf(name, 32, L"Bench profile %d", i + 1);
        check(p->SetName(name), w);
        ComPtr<IVtProfileProperties> props;
        check(p->CreateInterfaceInstance(IID_IVtProfileProperties, props.PutVoid()), w);
        BYTE program[256] = {};
        memcpy(program, L"game.exe", 16);
        check(props->SetProperty(VT_PROP_LINKED_PROGRAM, program, 0, 256, 0), w);
        for (USHORT mask : {1, 2, 4}) {
            USHORT set[2] = {mask, USHORT(i & 1)};
            check(props->SetProperty(VT_PROP_LINK_FLAGS, reinterpret_cast<BYTE*>(set), 0, 4, 0), w);
        }
        ComPtr<IVtDpi> dpi;
        check(p->CreateInterfaceInstance(IID_IVtDpi, dpi.PutVoid()), w);
        VtDpiStage stages[5] = {{400, 400}, {800, 800}, {1600, 1600}, {3200, 3200}, {ULONG(100 + i * 100), 5600}};
        check(dpi->SetDpiStages(5, stages), w);
        check(dpi->SetActiveStage(2), w);
        check(dpi->SetDpi(800, 800), w);
        ComPtr<IVtButtonAssignments> buttons;
        check(p->CreateInterfaceInstance(IID_IVtButtonAssignments, buttons.PutVoid()), w);
        for (ULONG index : {1u, 2u, 3u, 4u, 5u, 8u, 9u}) {
            VtActionRecord r{1, index, 1, {BYTE(index % 12)}};
            check(buttons->SetAssignment(1, &r), w);
        }
        ComPtr<IVtLighting> lighting;
        check(p->CreateInterfaceInstance(IID_IVtLighting, lighting.PutVoid()), w);
        for (ULONG z = 0; z < 3; ++z) {
            ComPtr<IVtLightingZone> zone;
            check(lighting->GetZone(z, zone.Put()), w);
            ComPtr<IVtLightingEffect> effect;
            ComPtr<IVtLightingColor> color;
            zone.As(effect);
            zone.As(color);
            check(effect->SetEffect(4, 0, 0), w);
            check(zone->TurnOn(), w);
            check(color->SetColor(0x102030 * (z + 1)), w);
        }
    }
    auto rate = Feature<IVtRateList>(dev.Get(), IID_IVtRateList);
    auto accel = Feature<IVtAcceleration>(dev.Get(), IID_IVtAcceleration);
    check(rate->SetRate(1), w);
    check(accel->SetAcceleration(6), w);
    check(accel->Enable(), w);
    auto t1 = Clock::now();
    size_t* r = &f.readCalls;
    for (ULONG i = 0; i < 20; ++i) {
        ComPtr<IVtProfile> p;
        check(pm->GetProfileByIndex(i, p.Put()), r);
        if (!p) return f;
        ULONG cch;
        WCHAR* name = nullptr;
        check(p->GetName(&cch, &name), r);
        CoTaskMemFree(name);
        GUID id;
        check(p->GetId(&id), r);
        ComPtr<IVtProfileProperties> props;
        check(p->CreateInterfaceInstance(IID_IVtProfileProperties, props.PutVoid()), r);
        BYTE buf[256];
        ULONG size = 256;
        check(props->GetProperty(VT_PROP_LINKED_PROGRAM, 0, buf, 0, &size), r);
        size = 256;
        check(props->GetProperty(VT_PROP_LINK_FLAGS, 0, buf, 0, &size), r);
        ComPtr<IVtDpi> dpi;
        check(p->CreateInterfaceInstance(IID_IVtDpi, dpi.PutVoid()), r);
        ULONG n = 0, a, b, c;
        VtDpiStage* stages = nullptr;
        check(dpi->GetDpiStages(&n, &stages), r);
        CoTaskMemFree(stages);
        check(dpi->GetActiveStage(&a), r);
        check(dpi->GetDpi(&a, &b), r);
        check(dpi->GetDpiRange(&a, &b, &c), r);
        ComPtr<IVtButtonAssignments> buttons;
        check(p->CreateInterfaceInstance(IID_IVtButtonAssignments, buttons.PutVoid()), r);
        VtActionRecord recs[7];
        n = 7;
        check(buttons->GetAssignments(&n, recs), r);
        ComPtr<IVtLighting> lighting;
        check(p->CreateInterfaceInstance(IID_IVtLighting, lighting.PutVoid()), r);
        for (ULONG z = 0; z < 3; ++z) {
            ComPtr<IVtLightingZone> zone;
            check(lighting->GetZone(z, zone.Put()), r);
            ComPtr<IVtLightingEffect> effect;
            ComPtr<IVtLightingColor> color;
            zone.As(effect);
            zone.As(color);
            LONG on, mode, p1, p2;
            DWORD col;
            ULONG zid;
            check(zone->GetZoneId(&zid), r);
            check(zone->IsOn(&on), r);
            check(color->GetColor(&col), r);
            check(effect->GetEffect(&mode, &p1, &p2), r);
        }
    }
    ULONG code;
    LONG on;
    check(rate->GetRate(&code), r);
    check(accel->GetAcceleration(&code), r);
    check(accel->IsEnabled(&on), r);
    auto t2 = Clock::now();
    f.writeMs = Us(t1 - t0) / 1000;
    f.readMs = Us(t2 - t1) / 1000;
    return f;
}

void Report(const char* where, IVtDeviceMgr* mgr, double seconds) {
    ComPtr<IVtProfile> p;
    Feature<IVtProfileManager>(DeviceOf(mgr, VT_PID_MOUSE).Get(), IID_IVtProfileManager)->GetActiveProfile(p.Put());
    auto dpi = Feature<IVtDpi>(p.Get(), IID_IVtDpi);
    RoundTrip read = Sample(seconds, [&](size_t) { ULONG x, y; return dpi->GetDpi(&x, &y); });
    RoundTrip write = Sample(seconds, [&](size_t i) { return dpi->SetDpi(ULONG(800 + (i & 1) * 100), 800); });
    printf("%s: read round trip (IVtDpi::GetDpi): median %.1f us, p90 %.1f us, %zu calls\n", where, read.median, read.p90,
           read.samples);
    printf("%s: write round trip (IVtDpi::SetDpi; the state file is written behind): median %.1f us, p90 %.1f us, %zu calls\n",
           where, write.median, write.p90, write.samples);
    FullSet f = TwentyProfiles(mgr);
    printf("%s: 20 mouse profiles, every group: write %.0f ms (%zu calls), read back %.0f ms (%zu calls)%s\n", where,
           f.writeMs, f.writeCalls, f.readMs, f.readCalls, f.ok ? "" : "  [SOME CALLS FAILED]");
}

int Load(int seconds) {
    std::wstring helper = L"\"" + SiblingPath(L"engine_testhelper.exe") + L"\"";
    std::vector<std::unique_ptr<ChildProcess>> children;
    for (int i = 0; i < 3; ++i) {
        children.push_back(std::make_unique<ChildProcess>());
        if (!children.back()->Start(helper + L" load " + std::to_wstring(seconds) + L" 3 B" + std::to_wstring(i) + L" " +
                                    std::to_wstring(1 << i))) {
            printf("could not start %ls\n", helper.c_str());
            return 1;
        }
    }
    long calls = 0, failures = 0;
    int rc = 0;
    for (auto& c : children) {
        int code = c->Wait(DWORD(seconds) * 1000 + 60000);
        const std::string& out = c->Output();
        long n = 0, f = 0;
        size_t at = out.find("calls ");
        if (code < 0 || at == std::string::npos || sscanf(out.c_str() + at, "calls %ld failures %ld", &n, &f) != 2) rc = 1;
        calls += n;
        failures += f;
    }
    printf("load: 3 processes x 3 threads for %d s: %ld calls, %.0f calls/s, %ld failures\n", seconds, calls,
           double(calls) / seconds, failures);
    return rc || failures ? 1 : 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc > 1 && std::wstring(argv[1]) == L"load") {
        int seconds = argc > 2 ? _wtoi(argv[2]) : 60;
        if (seconds <= 0 || seconds > 600) seconds = 60;
        return Load(seconds);
    }
    double seconds = argc > 1 ? _wtof(argv[1]) : 3.0;
    if (seconds <= 0 || seconds > 60) seconds = 3.0;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int rc = 0;
    {
        ComPtr<IVtDeviceMgr> mgr;
        HRESULT hr = CoCreateInstance(CLSID_VtDeviceEngine, nullptr, 23, IID_IVtDeviceMgr, mgr.PutVoid());
        if (FAILED(hr)) {
            printf("engine server not available (0x%08lX): register the image first\n", static_cast<unsigned long>(hr));
            rc = 1;
        } else {
            ComPtr<IVtSimControl> ctl;
            mgr.As(ctl);
            ctl->Reset();
            Report("server (another process), single-threaded apartment", mgr.Get(), seconds);
            ctl->Reset();
            std::thread mta([&] {
                CoInitializeEx(nullptr, COINIT_MULTITHREADED);
                {
                    ComPtr<IVtDeviceMgr> m;
                    if (SUCCEEDED(CoCreateInstance(CLSID_VtDeviceEngine, nullptr, 23, IID_IVtDeviceMgr, m.PutVoid())))
                        Report("server (another process), multithreaded apartment", m.Get(), seconds);
                }
                CoUninitialize();
            });
            mta.join();
            ctl->Reset();
        }
        TempDir dir;
        vt::engine::EngineOptions o;
        o.stateDir = dir.Path();
        o.notifyWindows = false;
        auto engine = vt::engine::Engine::Create(o);
        ComPtr<IVtDeviceMgr> local;
        vt::engine::CreateDeviceManager(engine, IID_IVtDeviceMgr, local.PutVoid());
        Report("core in-process", local.Get(), seconds);
    }
    CoUninitialize();
    return rc;
}
