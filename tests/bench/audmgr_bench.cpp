// Audio manager benchmark: the time of one equaliser band design, and of a full ten-band equaliser
// apply (every band's gain written to the active profile's headset) against the headset
// simulator, with the number of HID output reports it sends. The apply is timed twice: with the
// simulator's virtual clock (the software's own cost) and with real pauses (the 10 ms the transport
// waits after every output report and its polling intervals, as on a real headset).
#include "audmgr/FilterDesign.h"
#include "audmgr/Objects.h"
#include "audmgr/Store.h"
#include "standin/headset/HeadsetSimulator.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>

using namespace vt::aud;
using Clock = std::chrono::steady_clock;

namespace {

double Micros(Clock::duration d) { return std::chrono::duration<double, std::micro>(d).count(); }

void BenchDesign() {
    const uint16_t freqs[10] = {31, 62, 125, 250, 500, 1000, 2000, 4000, 8000, 16000};
    const int iterations = 20000;
    uint8_t block[kEqBlockSize];
    uint32_t sink = 0;
    const auto start = Clock::now();
    for (int i = 0; i < iterations; ++i) {
        const int b = i % 10;
        const EqBand band{static_cast<uint16_t>(b == 0 ? 1 : b == 9 ? 2 : 0), freqs[b], 361,
                          static_cast<int16_t>(((i / 10) % 31 - 15) * 256)};
        sink += DesignBandFilter(48000, &band, block) + block[0];
    }
    const double us = Micros(Clock::now() - start) / iterations;
    std::printf("band design: %.2f us per band (mean of %d designs, checksum %u)\n", us, iterations, sink & 0xFF);
}

void BenchApply(bool fastClock) {
    auto sim = vt::sim::MakeHeadsetSimulator(fastClock);
    SetHidBackend(sim);
    CVtProfile* profile = new CVtProfile;
    const std::wstring profiles = Store().deviceKey + L"\\Profiles";
    profile->Init(kBuiltInProfiles[1].id, profiles, vt::sim::HeadsetPath(0));
    IVtEqualizer* eq = nullptr;
    profile->CreateInterfaceInstance(IID_IVtEqualizer, reinterpret_cast<void**>(&eq));
    IVtEQGain* gain = nullptr;
    eq->QueryInterface(IID_IVtEQGain, reinterpret_cast<void**>(&gain));
    const int rounds = fastClock ? 20 : 3;
    double total = 0;
    unsigned reports = 0;
    for (int r = 0; r < rounds; ++r) {
        sim->ClearLog();
        const auto start = Clock::now();
        for (ULONG b = 0; b < 10; ++b) {
            SHORT g = 0;
            gain->GetGain(b, &g);
            gain->SetGain(b, g);
        }
        total += Micros(Clock::now() - start);
        reports = sim->SentCount();
    }
    std::printf("ten-band equaliser apply (%s clock): %.2f ms, %u HID output reports (%u per band)\n",
                fastClock ? "virtual" : "real", total / rounds / 1000.0, reports, reports / 10);
    // The whole profile apply (lighting, equaliser, beam forming, apply handshake), for comparison.
    sim->ClearLog();
    const auto start = Clock::now();
    profile->Apply();
    std::printf("whole profile apply (%s clock): %.2f ms, %u HID output reports\n", fastClock ? "virtual" : "real",
                Micros(Clock::now() - start) / 1000.0, sim->SentCount());
    gain->Release();
    eq->Release();
    profile->Release();
    SetHidBackend(nullptr);
}

} // namespace

int main() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const std::wstring root = L"Software\\VeltoAudBench\\" + std::to_wstring(GetCurrentProcessId());
    RegDeleteTreeW(HKEY_CURRENT_USER, root.c_str());
    SetStoreRoot(HKEY_CURRENT_USER, L"HKCU", root + L"\\{CE89CE08-D9EC-4A3B-B359-2F7EA6611A2F}");
    CreateDefaultProfiles(Store().deviceKey);
    {
        StoreKey k;
        k.Open(Store().deviceKey + L"\\Profiles");
        k.WriteString(L"ActiveProfile", GuidString(kBuiltInProfiles[1].id));
    }
    BenchDesign();
    BenchApply(true);
    BenchApply(false);
    RegDeleteTreeW(HKEY_CURRENT_USER, root.c_str());
    CoUninitialize();
    return 0;
}
