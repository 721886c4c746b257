// Device layer benchmark, side by side against the registered engine stand-in (a second process)
// and the engine core hosted in-process:
//  - apply: a full write of 20 edited mouse profiles (every group, mask 1023) on the worker;
//  - apply of one edit: then one profile's DPI edited and applied again by the same device object
//    (the groups the engine holds already are not written again);
//  - open: Open and the read of every group of those 20 profiles, in one engine batch as the
//    program does at start;
//  - start-up: Open and read of the mouse, keyboard and headset in their factory state, in one
//    engine batch.
// Against the server, each round is run with the profiles' reads and writes on one thread and
// spread over the thread pool (VT_BENCH_THREADS, default the device layer's own count).
// Each with the engine calls made and the engine objects handed out (from the engine's call log).
// Between the phases the bench waits until the engine objects of the one before are released
// (a read leaves them to its threads, and the window's thread releases its own once its messages
// are handled, both while the program goes on); what that wait took after open and start-up is
// printed as well.
// The worker runs with its fixed pause after the write, which is taken off the apply times: they
// are what a user waits for less that pause (the job's engine objects are released within it).
#include "device/EngineBatch.h"
#include "device/HeadsetDevice.h"
#include "device/Keyboard.h"
#include "device/Mouse.h"
#include "device/ProfileSpread.h"
#include "EngineHost.h"
#include "KeyboardTestUtil.h"
#include "MouseModelUtil.h"
#include "StandinHost.h"
#include "profile/AudioConfig.h"
#include "profile/KeyboardConfig.h"
#include <windows.h>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <sstream>
#include <thread>
#include <vector>

using namespace vt::device;
using Clock = std::chrono::steady_clock;

namespace {

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// The worker's pause after a write, as the program has it.
constexpr DWORD kPauseMs = 500;

// Engine calls and the objects they handed out, from a call log.
struct Counts {
    size_t calls = 0, objects = 0;
};
// With VT_BENCH_METHODS set, each phase's calls are also printed by method.
void PrintMethods(const std::wstring& log) {
    const char* on = std::getenv("VT_BENCH_METHODS");
    if (!on || !*on) return;
    std::map<std::wstring, int> by;
    std::wistringstream lines(log);
    std::wstring line;
    while (std::getline(lines, line))
        if (!line.empty()) ++by[line.substr(0, line.find(L' '))];
    for (const auto& [m, n] : by) std::printf("    %5d %ls\n", n, m.c_str());
    std::printf("\n");
}

Counts Count(const std::wstring& log) {
    PrintMethods(log);
    static const wchar_t* const kHandOut[] = {
        L"IVtDeviceMgr.EnumDevices",         L"IVtDevice.CreateInterfaceInstance",
        L"IVtProfile.CreateInterfaceInstance", L"IVtProfileManager.GetProfileByIndex",
        L"IVtProfileManager.GetProfileById", L"IVtProfileManager.GetActiveProfile",
        L"IVtProfileManager.CreateProfile",  L"IVtProfileManager.ImportProfile",
        L"IVtLighting.GetZone",              L"IVtLighting.GetZoneById",
        L"IVtMacroStore.GetMacroByIndex",    L"IVtMacroStore.GetMacroById",
        L"IVtMacroStore.CreateMacro",        L"IVtAppLauncher.GetEntryByIndex",
        L"IVtAppLauncher.GetEntryById",      L"IVtAppLauncher.CreateEntry",
        L"IVtEntryCollection.GetEntry",      L"IVtEntryCollection.CreateEntry",
    };
    Counts c;
    std::wistringstream lines(log);
    std::wstring line;
    while (std::getline(lines, line)) {
        if (line.empty()) continue;
        ++c.calls;
        const std::wstring method = line.substr(0, line.find(L' '));
        for (const wchar_t* h : kHandOut)
            if (method == h) ++c.objects;
    }
    return c;
}

struct Figures {
    double applyMs = 0, editMs = 0, openMs = 0, startMs = 0;
    // What the releases after open and start-up took (the program makes them once its window is idle).
    double openReleaseMs = 0, startReleaseMs = 0;
    Counts apply, edit, open, start;
    bool ok = true;
};

using Log = std::function<std::wstring()>;

// Says which step of a round failed first.
void Failed(const char* step, bool ok) {
    static bool said = false;
    if (ok) said = false;
    else if (!said) std::printf("  %s failed\n", step), said = true;
}

// One round: 20 edited profiles applied, then opened and read again; then the three devices in
// their factory state opened and read.
Figures Round(IVtSimControl* control, const Log& log) {
    Figures f;
    control->Reset();
    {
        CMouse mouse;
        CDmConfig_Mouse config;
        f.ok = mouse.Open(&config) && mouse.TransferProfiles(&config, 1, kGroupAll);
        while (config.GetProfileCount() < 20) config.CreateProfile((L"Profile " + std::to_wstring(config.GetProfileCount())).c_str());
        vt::test::EditDeviceWide(&config, 5);
        for (int32_t i = 0; i < config.GetProfileCount(); ++i) vt::test::EditProfile(&config, config.GetProfileAt(i), i % 7);
        log();
        auto start = Clock::now();
        f.ok = mouse.TransferProfiles(&config, 0, kGroupAll) && f.ok;
        f.ok = mouse.WaitForWorker(60000) && f.ok;
        f.applyMs = Ms(Clock::now() - start) - kPauseMs;
        f.ok = mouse.GetLastWriteResult() == 1 && f.ok;
        Failed("apply", f.ok);
        f.apply = Count(log());
        IMouseProfile* edited = config.GetProfileAt(7);
        config.SetDpiStageValue(1, config.GetDpiStageValue(1, edited) + 100, edited);
        start = Clock::now();
        f.ok = mouse.TransferProfiles(&config, 0, kGroupAll) && f.ok;
        f.ok = mouse.WaitForWorker(60000) && f.ok;
        f.editMs = Ms(Clock::now() - start) - kPauseMs;
        f.ok = mouse.GetLastWriteResult() == 1 && f.ok;
        Failed("apply of one edit", f.ok);
        f.edit = Count(log());
    }
    {
        CMouse mouse;
        CDmConfig_Mouse config;
        auto start = Clock::now();
        {
            EngineBatch batch;
            f.ok = mouse.Open(&config) && mouse.TransferProfiles(&config, 1, kGroupAll) && f.ok;
        }
        f.openMs = Ms(Clock::now() - start);
        f.open = Count(log());
        // What the read kept is released after it; a user's next step comes later.
        start = Clock::now();
        ProfileSpread::AwaitReleases();
        f.openReleaseMs = Ms(Clock::now() - start);
        f.ok = config.GetProfileCount() == 20 && f.ok;
        Failed("open", f.ok);
    }
    control->Reset();
    log();
    {
        CDmConfig_Mouse mouseConfig;
        CDmConfig_Keyboard keyboardConfig;
        CDmConfig_Headset headsetConfig;
        CMouse mouse;
        CKeyboard keyboard;
        CAudioDevice headset(&kHeadsetDescription, &headsetConfig);
        auto start = Clock::now();
        {
            EngineBatch batch;
            f.ok = mouse.Open(&mouseConfig) && keyboard.Open(&keyboardConfig) && headset.Open() && f.ok;
            f.ok = mouse.TransferProfiles(&mouseConfig, 1, kGroupAll) &&
                   keyboard.TransferProfiles(&keyboardConfig, 1, kGroupAll) && headset.Apply(1, kHeadsetAll) && f.ok;
        }
        f.startMs = Ms(Clock::now() - start);
        Failed("start-up read", f.ok);
        f.start = Count(log());
        start = Clock::now();
        ProfileSpread::AwaitReleases();
        f.startReleaseMs = Ms(Clock::now() - start);
    }
    return f;
}

void Report(const char* where, const std::vector<Figures>& rounds) {
    bool ok = true;
    for (const Figures& f : rounds) ok = ok && f.ok;
    auto median = [&](auto get) {
        std::vector<double> v;
        for (const Figures& f : rounds) v.push_back(double(get(f)));
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    std::printf("%s: apply of 20 profiles, all groups:   %7.1f ms, %4.0f engine calls, %4.0f objects\n", where,
                median([](const Figures& f) { return f.applyMs; }), median([](const Figures& f) { return f.apply.calls; }),
                median([](const Figures& f) { return f.apply.objects; }));
    std::printf("%s: apply of one edit to 20 profiles:   %7.1f ms, %4.0f engine calls, %4.0f objects\n", where,
                median([](const Figures& f) { return f.editMs; }), median([](const Figures& f) { return f.edit.calls; }),
                median([](const Figures& f) { return f.edit.objects; }));
    std::printf("%s: open of 20 profiles, all groups:    %7.1f ms, %4.0f engine calls, %4.0f objects\n", where,
                median([](const Figures& f) { return f.openMs; }), median([](const Figures& f) { return f.open.calls; }),
                median([](const Figures& f) { return f.open.objects; }));
    std::printf("%s: start-up read of the three devices: %7.1f ms, %4.0f engine calls, %4.0f objects\n", where,
                median([](const Figures& f) { return f.startMs; }), median([](const Figures& f) { return f.start.calls; }),
                median([](const Figures& f) { return f.start.objects; }));
    std::printf("%s: then released: after open %.1f ms, after start-up %.1f ms\n", where,
                median([](const Figures& f) { return f.openReleaseMs; }),
                median([](const Figures& f) { return f.startReleaseMs; }));
    std::printf("%s: median of %zu rounds%s\n", where, rounds.size(), ok ? "" : "  (SOME ROUNDS FAILED)");
    std::fflush(stdout);
}

// The cost of single engine calls from this thread: a plain call, fetching and releasing a
// feature object, and a connection (each outside any batch).
void CallCost(const char* where) {
    EngineConnection c;
    if (!c.Connect(VT_PID_MOUSE)) return;
    vt::win::ComPtr<IVtRateList> rates;
    if (!c.Feature(IID_IVtRateList, rates)) return;
    vt::win::ComPtr<IVtDevice> device(c.Device());
    c.Disconnect();
    const int n = 200;
    ULONG code = 0;
    auto start = Clock::now();
    for (int i = 0; i < n; ++i) rates->GetRate(&code);
    double call = Ms(Clock::now() - start) / n;
    start = Clock::now();
    for (int i = 0; i < n; ++i) {
        vt::win::ComPtr<IVtAcceleration> a;
        device->CreateInterfaceInstance(IID_IVtAcceleration, a.PutVoid());
    }
    double fetch = Ms(Clock::now() - start) / n;
    start = Clock::now();
    for (int i = 0; i < 20; ++i) {
        EngineConnection other;
        other.Connect(VT_PID_MOUSE);
    }
    double connect = Ms(Clock::now() - start) / 20;
    std::printf("%s: one call %.3f ms, a feature object fetched and released %.3f ms, a connection %.2f ms\n", where,
                call, fetch, connect);
    // The same plain calls made from several threads at once, each on a connection of its own:
    // what a call costs when the engine serves them side by side.
    for (int threads : {2, 4, 8}) {
        std::vector<std::thread> pool;
        std::atomic<int> ready{0};
        std::atomic<bool> go{false};
        std::vector<double> took(size_t(threads), 0.0);
        for (int t = 0; t < threads; ++t)
            pool.emplace_back([&, t] {
                vt::win::ComInit mta(COINIT_MULTITHREADED);
                EngineConnection own;
                vt::win::ComPtr<IVtRateList> r;
                const bool usable = own.Connect(VT_PID_MOUSE) && own.Feature(IID_IVtRateList, r);
                ++ready;
                while (!go.load()) Sleep(0);
                ULONG got = 0;
                auto begin = Clock::now();
                for (int i = 0; usable && i < n; ++i) r->GetRate(&got);
                took[size_t(t)] = Ms(Clock::now() - begin);
            });
        const auto deadline = Clock::now() + std::chrono::seconds(30);
        while (ready.load() < threads && Clock::now() < deadline) Sleep(1);
        auto begin = Clock::now();
        go = true;
        for (auto& t : pool) t.join();
        const double all = Ms(Clock::now() - begin);
        std::printf("%s: %d threads calling at once: %.3f ms per call overall (%d calls in %.1f ms)\n", where, threads,
                    all / (n * threads), n * threads, all);
    }
    // Feature objects fetched and released from several threads at once, all in one apartment
    // on one connection: what an object costs when the engine hands them out side by side.
    for (int threads : {1, 4}) {
        double all = 0;
        std::thread whole([&] {
            vt::win::ComInit mta(COINIT_MULTITHREADED);
            EngineConnection own;
            if (!own.Connect(VT_PID_MOUSE)) return;
            IVtDevice* dev = own.Device();
            std::vector<std::thread> pool;
            std::atomic<int> ready{0};
            std::atomic<bool> go{false};
            for (int t = 0; t < threads; ++t)
                pool.emplace_back([&] {
                    vt::win::ComInit inMta(COINIT_MULTITHREADED);
                    ++ready;
                    while (!go.load()) Sleep(0);
                    for (int i = 0; i < n / 2; ++i) {
                        vt::win::ComPtr<IVtAcceleration> a;
                        dev->CreateInterfaceInstance(IID_IVtAcceleration, a.PutVoid());
                    }
                });
            const auto deadline = Clock::now() + std::chrono::seconds(30);
            while (ready.load() < threads && Clock::now() < deadline) Sleep(1);
            auto begin = Clock::now();
            go = true;
            for (auto& t : pool) t.join();
            all = Ms(Clock::now() - begin);
        });
        whole.join();
        std::printf("%s: %d threads fetching objects at once: %.3f ms per object overall (%d in %.1f ms)\n", where,
                    threads, all / (n / 2 * threads), n / 2 * threads, all);
    }
    std::fflush(stdout);
}

} // namespace

int main() {
    vt::win::ComInit com(COINIT_APARTMENTTHREADED);
    BuildCodeTables();
    if (!vt::test::kbd::LoadKeyboardDefinition()) std::printf("keyboard definition not found (VT_IMAGE_DIR)\n");
    DeviceCore::SetWorkerTimings(kPauseMs, 7500);
    const char* n = std::getenv("VT_BENCH_ROUNDS");
    const int rounds = n && std::atoi(n) > 0 ? std::atoi(n) : 5;
    const char* t = std::getenv("VT_BENCH_THREADS");
    const size_t threads = t && std::atoi(t) > 0 ? size_t(std::atoi(t)) : ProfileSpread::Threads();
    {
        vt::test::StandinEngine standin;
        if (!standin.Ready()) {
            std::printf("engine stand-in: not registered (run scripts/test once)\n");
        } else {
            standin.control->DelayCall(L"*", 0);
            standin.control->FailCall(L"*", 0, S_OK);
            CallCost("stand-in server");
            // Rounds with the profiles' reads and writes on one thread and spread over the pool,
            // taken in turn so both see the same load.
            std::vector<Figures> one, spread;
            for (int i = 0; i < rounds; ++i) {
                ProfileSpread::SetThreads(1);
                one.push_back(Round(standin.control.Get(), [&] { return standin.Log(true); }));
                ProfileSpread::SetThreads(threads);
                spread.push_back(Round(standin.control.Get(), [&] { return standin.Log(true); }));
            }
            Report("stand-in, 1 thread ", one);
            Report(("stand-in, " + std::to_string(threads) + " threads").c_str(), spread);
        }
    }
    {
        vt::test::InProcessEngine core;
        std::vector<Figures> figures;
        for (int i = 0; i < rounds; ++i) figures.push_back(Round(core.control.Get(), [&] { return core.Log(true); }));
        Report("in-process core", figures);
    }
    std::printf("apply times leave out the worker's fixed pause of %lu ms after the write\n", kPauseMs);
    return 0;
}
