// Device layer benchmark: the time of a full apply of 20 mouse profiles (every group, mask 1023)
// and of an open (Open, then the read of every group into the model), with the number of engine
// calls each makes, against the registered engine stand-in (a second process) and against the
// engine core hosted in-process. The worker's 500 ms pause after the write is left out of the
// apply time and printed apart.
#include "device/Mouse.h"
#include "EngineHost.h"
#include "MouseModelUtil.h"
#include "StandinHost.h"
#include <windows.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <thread>
#include <vector>

using namespace vt::device;
using Clock = std::chrono::steady_clock;

namespace {

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

struct Figures {
    double applyMs = 0, openMs = 0;
    size_t applyCalls = 0, openCalls = 0;
    bool ok = true;
};

// One round: open the device, make 20 edited profiles, apply them all, then open again.
Figures Round(IVtSimControl* control, const std::function<std::wstring()>& log) {
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
        f.applyMs = Ms(Clock::now() - start);
        f.ok = mouse.GetLastWriteResult() == 1 && f.ok;
        f.applyCalls = vt::test::StandinEngine::Lines(log());
    }
    CMouse mouse;
    CDmConfig_Mouse config;
    auto start = Clock::now();
    f.ok = mouse.Open(&config) && mouse.TransferProfiles(&config, 1, kGroupAll) && f.ok;
    f.openMs = Ms(Clock::now() - start);
    f.openCalls = vt::test::StandinEngine::Lines(log());
    f.ok = config.GetProfileCount() == 20 && f.ok;
    return f;
}

void Report(const char* where, std::vector<Figures> rounds) {
    bool ok = true;
    for (const Figures& f : rounds) ok = ok && f.ok;
    auto median = [&](auto member) {
        std::vector<double> v;
        for (const Figures& f : rounds) v.push_back(double(f.*member));
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    std::printf("%s: apply of 20 profiles, all groups: %.1f ms, %.0f engine calls\n", where,
                median(&Figures::applyMs), median(&Figures::applyCalls));
    std::printf("%s: open (open + read of all groups):  %.1f ms, %.0f engine calls\n", where,
                median(&Figures::openMs), median(&Figures::openCalls));
    std::printf("%s: median of %zu rounds%s\n", where, rounds.size(), ok ? "" : "  (SOME ROUNDS FAILED)");
    std::fflush(stdout);
}

// The cost of single engine calls from this thread: a plain call, and fetching and releasing a
// feature object.
void CallCost(const char* where) {
    EngineConnection c;
    if (!c.Connect(VT_PID_MOUSE)) return;
    vt::win::ComPtr<IVtRateList> rates;
    if (!c.Feature(IID_IVtRateList, rates)) return;
    const int n = 200;
    ULONG code = 0;
    auto start = Clock::now();
    for (int i = 0; i < n; ++i) rates->GetRate(&code);
    double call = Ms(Clock::now() - start) / n;
    start = Clock::now();
    for (int i = 0; i < n; ++i) {
        vt::win::ComPtr<IVtAcceleration> a;
        c.Feature(IID_IVtAcceleration, a);
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
    std::fflush(stdout);
}

} // namespace

int main() {
    vt::win::ComInit com(COINIT_APARTMENTTHREADED);
    BuildCodeTables();
    DeviceCore::SetWorkerTimings(0, 7500);
    const int rounds = 5;
    {
        vt::test::StandinEngine standin;
        if (!standin.Ready()) {
            std::printf("engine stand-in: not registered (run scripts/test once)\n");
        } else {
            standin.control->DelayCall(L"*", 0);
            standin.control->FailCall(L"*", 0, S_OK);
            CallCost("stand-in server");
            std::thread([] {
                vt::win::ComInit mta(COINIT_MULTITHREADED);
                CallCost("stand-in server, multithreaded apartment");
            }).join();
            std::vector<Figures> figures;
            for (int i = 0; i < rounds; ++i) figures.push_back(Round(standin.control.Get(), [&] { return standin.Log(true); }));
            Report("stand-in server", figures);
        }
    }
    {
        vt::test::InProcessEngine core;
        CallCost("in-process core");
        std::vector<Figures> figures;
        for (int i = 0; i < rounds; ++i) figures.push_back(Round(core.control.Get(), [&] { return core.Log(true); }));
        Report("in-process core", figures);
    }
    std::printf("the worker adds its fixed pause of %u ms after the write before it reports completion\n", 500u);
    return 0;
}
