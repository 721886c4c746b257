// Engine churn benchmark: client processes whose threads fetch and release engine objects as fast
// as they can (connections, devices, profiles, every feature, interfaces asked for by
// QueryInterface, objects handed between threads and released on another), while this process
// asks the engine a small question every 50 ms and times the answer. Prints objects fetched per
// second, the longest single call anywhere and how many calls took over 1 s. A server that stops
// answering for 20 s is reported as hung (the clients are ended; every wait here is bounded).
// Usage: engine_churn [seconds] [processes] [threads]     (default 20 s, 3 processes x 4 threads)
//        engine_churn worker <seconds> <threads> <tag>    (one client process; started by the above)
#include <windows.h>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>
#include "ChildProcess.h"
#include "EngineTestUtil.h"

using namespace vt::test::engine;
using Clock = std::chrono::steady_clock;

namespace {

constexpr DWORD kHangMs = 20000;

struct Tally {
    std::atomic<long long> calls{0}, objects{0}, failures{0}, slow{0};  // slow: calls over 1 s
    std::atomic<long long> maxUs{0};
    void Note(Clock::duration d, HRESULT hr) {
        long long us = std::chrono::duration_cast<std::chrono::microseconds>(d).count();
        ++calls;
        if (FAILED(hr)) ++failures;
        if (us > 1000000) ++slow;
        long long m = maxUs.load();
        while (us > m && !maxUs.compare_exchange_weak(m, us)) {}
    }
};

// Times one engine call; a failure counts unless it may end a list.
template <class F>
HRESULT Timed(Tally& t, F&& call, bool mayEndList = false) {
    auto start = Clock::now();
    HRESULT hr = call();
    t.Note(Clock::now() - start, mayEndList && hr == E_FAIL ? S_OK : hr);
    return hr;
}

// Objects one thread hands to another, which calls them once more and releases them there.
struct Handover {
    std::mutex lock;
    std::deque<ComPtr<IVtProfile>> profiles;
    void Put(ComPtr<IVtProfile> p) {
        std::lock_guard<std::mutex> l(lock);
        if (profiles.size() < 64) profiles.push_back(std::move(p));
    }
    ComPtr<IVtProfile> Take() {
        std::lock_guard<std::mutex> l(lock);
        if (profiles.empty()) return {};
        ComPtr<IVtProfile> p = std::move(profiles.front());
        profiles.pop_front();
        return p;
    }
};

// One round: every present device, its first profile and active profile, every feature the
// device and the profile offer, one call on each, two QueryInterface hops; all released again.
void Round(IVtDeviceMgr* mgr, Tally& t, Handover* handover) {
    static const IID* const profileFeatures[] = {&IID_IVtProfileProperties, &IID_IVtLighting, &IID_IVtDpi,
                                                 &IID_IVtButtonAssignments, &IID_IVtAssignmentTable,
                                                 &IID_IVtEqualizer};
    static const IID* const deviceFeatures[] = {&IID_IVtEntryCollection, &IID_IVtRateList, &IID_IVtAcceleration,
                                                &IID_IVtMacroStore, &IID_IVtAppLauncher, &IID_IVtKeyboardMode,
                                                &IID_IVtSync};
    for (ULONG i = 0;; ++i) {
        ComPtr<IVtDevice> dev;
        if (FAILED(Timed(t, [&] { return mgr->EnumDevices(i, dev.Put()); }, true))) break;
        ++t.objects;
        ComPtr<IVtDeviceIdentity> identity;
        ULONG pid = 0, vid = 0;
        if (SUCCEEDED(Timed(t, [&] { return dev.As(identity); }))) Timed(t, [&] { return identity->GetIds(&pid, &vid); });
        for (const IID* iid : deviceFeatures) {
            ComPtr<IUnknown> f;
            if (SUCCEEDED(dev->CreateInterfaceInstance(*iid, f.PutVoid()))) ++t.objects;
        }
        ComPtr<IVtProfileManager> pm;
        if (FAILED(Timed(t, [&] { return dev->CreateInterfaceInstance(IID_IVtProfileManager, pm.PutVoid()); }))) continue;
        ++t.objects;
        for (int which = 0; which < 2; ++which) {
            ComPtr<IVtProfile> p;
            HRESULT hr = Timed(t, [&] { return which ? pm->GetActiveProfile(p.Put()) : pm->GetProfileByIndex(0, p.Put()); });
            if (FAILED(hr)) continue;
            ++t.objects;
            for (const IID* iid : profileFeatures) {
                ComPtr<IUnknown> f;
                if (FAILED(p->CreateInterfaceInstance(*iid, f.PutVoid()))) continue;
                ++t.objects;
                if (*iid == IID_IVtLighting) {
                    ComPtr<IVtLighting> lighting;
                    ComPtr<IVtLightingZone> zone;
                    ComPtr<IVtLightingColor> color;
                    DWORD c = 0;
                    if (SUCCEEDED(f.As(lighting)) && SUCCEEDED(Timed(t, [&] { return lighting->GetZone(0, zone.Put()); })) &&
                        SUCCEEDED(Timed(t, [&] { return zone.As(color); })))
                        Timed(t, [&] { return color->GetColor(&c); });
                } else if (*iid == IID_IVtDpi) {
                    ComPtr<IVtDpi> dpi;
                    ULONG x = 0, y = 0;
                    if (SUCCEEDED(f.As(dpi))) Timed(t, [&] { return dpi->GetDpi(&x, &y); });
                }
            }
            ULONG cch = 0;
            WCHAR* name = nullptr;
            if (SUCCEEDED(Timed(t, [&] { return p->GetName(&cch, &name); }))) CoTaskMemFree(name);
            if (handover) handover->Put(std::move(p));
        }
    }
}

void Worker(DWORD until, Tally& t, Handover* handover, bool sta, int reconnectEvery) {
    CoInitializeEx(nullptr, sta ? COINIT_APARTMENTTHREADED : COINIT_MULTITHREADED);
    {
        ComPtr<IVtDeviceMgr> mgr;
        for (int round = 0; GetTickCount() < until; ++round) {
            if (!mgr || round % reconnectEvery == 0) {
                mgr.Reset();
                if (FAILED(Timed(t, [&] { return CoCreateInstance(CLSID_VtDeviceEngine, nullptr, 23, IID_IVtDeviceMgr, mgr.PutVoid()); }))) {
                    Sleep(50);
                    continue;
                }
                ++t.objects;
            }
            Round(mgr.Get(), t, handover);
        }
    }
    CoUninitialize();
}

// Takes what the others handed over, calls it once and releases it on this thread.
void Taker(DWORD until, Tally& t, Handover& handover) {
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    while (GetTickCount() < until) {
        ComPtr<IVtProfile> p = handover.Take();
        if (!p) {
            Sleep(1);
            continue;
        }
        GUID id;
        Timed(t, [&] { return p->GetId(&id); });
    }
    while (handover.Take()) {}
    CoUninitialize();
}

int WorkerProcess(int seconds, int threads, const std::wstring& tag) {
    Tally t;
    Handover handover;
    DWORD until = GetTickCount() + DWORD(seconds) * 1000;
    std::vector<std::thread> pool;
    // Even threads: multithreaded apartment, sharing profiles with the taker; odd: single-threaded.
    for (int i = 0; i < threads; ++i) {
        bool sta = i % 2 == 1;
        pool.emplace_back(Worker, until, std::ref(t), sta ? nullptr : &handover, sta, 5 + i);
    }
    pool.emplace_back(Taker, until, std::ref(t), std::ref(handover));
    for (auto& th : pool) th.join();
    wprintf(L"churn %ls calls %lld objects %lld failures %lld slow %lld maxus %lld\n", tag.c_str(), t.calls.load(),
            t.objects.load(), t.failures.load(), t.slow.load(), t.maxUs.load());
    fflush(stdout);
    return 0;
}

// This process's question to the engine every 50 ms, on its own kept connection.
struct Probe {
    std::atomic<long long> asked{0}, slow{0}, maxUs{0};
    std::atomic<DWORD> outstandingSince{0};  // tick count of the call under way; 0 when none
    std::atomic<bool> stop{false};
    void Run() {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        {
            ComPtr<IVtDeviceMgr> mgr;
            CoCreateInstance(CLSID_VtDeviceEngine, nullptr, 23, IID_IVtDeviceMgr, mgr.PutVoid());
            ComPtr<IVtSimControl> ctl;
            if (mgr) mgr.As(ctl);
            while (ctl && !stop) {
                outstandingSince = GetTickCount() | 1;
                auto start = Clock::now();
                ULONG objects = 0, sinks = 0;
                ctl->GetCounts(&objects, &sinks);
                ComPtr<IVtDevice> d;
                mgr->EnumDevices(0, d.Put());
                long long us = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count();
                outstandingSince = 0;
                ++asked;
                if (us > 1000000) ++slow;
                if (us > maxUs) maxUs = us;
                Sleep(50);
            }
        }
        CoUninitialize();
    }
};

int Parent(int seconds, int processes, int threads) {
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    {
        ComPtr<IVtDeviceMgr> mgr;
        HRESULT hr = CoCreateInstance(CLSID_VtDeviceEngine, nullptr, 23, IID_IVtDeviceMgr, mgr.PutVoid());
        if (FAILED(hr)) {
            printf("engine server not available (0x%08lX): register the image first\n", static_cast<unsigned long>(hr));
            CoUninitialize();
            return 1;
        }
    }
    printf("churn: %d processes x %d threads (+1 taking handed-over objects) for %d s against engine pid %lu\n",
           processes, threads, seconds, static_cast<unsigned long>(EngineServerPid()));
    fflush(stdout);
    auto probe = std::make_unique<Probe>();
    std::thread probing([&] { probe->Run(); });
    std::wstring self = L"\"" + SiblingPath(L"engine_churn.exe") + L"\"";
    std::vector<std::unique_ptr<ChildProcess>> children;
    for (int i = 0; i < processes; ++i) {
        children.push_back(std::make_unique<ChildProcess>());
        if (!children.back()->Start(self + L" worker " + std::to_wstring(seconds) + L" " + std::to_wstring(threads) +
                                    L" C" + std::to_wstring(i))) {
            printf("could not start a client process\n");
            return 1;
        }
    }
    DWORD start = GetTickCount(), lastReport = start;
    bool hung = false;
    long long lastAsked = 0;
    DWORD lastProgress = start;
    bool stallSaid = false;
    for (;;) {
        Sleep(200);
        DWORD now = GetTickCount();
        if (probe->asked != lastAsked) {
            lastAsked = probe->asked;
            lastProgress = now;
            stallSaid = false;
        }
        DWORD since = probe->outstandingSince;
        if (now - lastProgress > 3000 && !stallSaid) {
            stallSaid = true;
            printf("churn: the engine (pid %lu) has not answered for 3 s\n", static_cast<unsigned long>(EngineServerPid()));
            fflush(stdout);
        }
        if ((since && LONG(now - since) > LONG(kHangMs)) || now - lastProgress > kHangMs) {
            hung = true;
            break;
        }
        if (now - lastReport >= 60000) {
            lastReport = now;
            printf("churn: %lu s, probe answered %lld times, longest %.0f ms\n", (now - start) / 1000, probe->asked.load(),
                   probe->maxUs / 1000.0);
            fflush(stdout);
        }
        if (now - start > DWORD(seconds) * 1000 + 2000) break;
    }
    long long calls = 0, objects = 0, failures = 0, slow = 0, maxUs = 0;
    bool missing = false;
    for (auto& c : children) {
        int code = c->Wait(hung ? 0 : kHangMs);
        const std::string& out = c->Output();
        size_t at = out.find("churn ");
        long long n[5] = {};
        char tag[16];
        if (code != 0 || at == std::string::npos ||
            sscanf(out.c_str() + at, "churn %15s calls %lld objects %lld failures %lld slow %lld maxus %lld", tag, &n[0],
                   &n[1], &n[2], &n[3], &n[4]) != 6) {
            missing = true;
            continue;
        }
        calls += n[0];
        objects += n[1];
        failures += n[2];
        slow += n[3];
        maxUs = std::max(maxUs, n[4]);
    }
    if (hung) {
        printf("churn: HUNG: the engine (pid %lu) answered nothing for %lu s; clients ended\n",
               static_cast<unsigned long>(EngineServerPid()), kHangMs / 1000);
        fflush(stdout);
        ExitProcess(2);  // the probe thread may be inside a call that never returns
    }
    probe->stop = true;
    probing.join();
    double s = seconds;
    printf("churn: %lld calls (%.0f/s), %lld objects fetched and released (%.0f/s), %lld failures\n", calls, calls / s,
           objects, objects / s, failures);
    printf("churn: longest client call %.0f ms, client calls over 1 s: %lld; probe: %lld answers, longest %.0f ms, over 1 s: %lld\n",
           maxUs / 1000.0, slow, probe->asked.load(), probe->maxUs / 1000.0, probe->slow.load());
    printf("churn: %s\n", missing ? "SOME CLIENT PROCESSES FAILED" : slow || probe->slow ? "STALLS OVER 1 S" : "no stall over 1 s");
    fflush(stdout);
    CoUninitialize();
    return missing || failures ? 1 : 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 5 && std::wstring(argv[1]) == L"worker") return WorkerProcess(_wtoi(argv[2]), _wtoi(argv[3]), argv[4]);
    int seconds = argc > 1 ? _wtoi(argv[1]) : 20;
    int processes = argc > 2 ? _wtoi(argv[2]) : 3;
    int threads = argc > 3 ? _wtoi(argv[3]) : 4;
    if (seconds <= 0 || seconds > 7200) seconds = 20;
    if (processes <= 0 || processes > 16) processes = 3;
    if (threads <= 0 || threads > 32) threads = 4;
    return Parent(seconds, processes, threads);
}
