#pragma once
// For the headset pages' tests: a headset device object that records what the pages ask of it
// (and can refuse the write that makes a profile), and a headset configuration filled with presets.
#include <string>
#include <vector>
#include "device/AudioDevice.h"
#include "profile/AudioConfig.h"

namespace vt::test {

class RecordingHeadset : public ::IAudioDevice {
public:
    std::vector<std::wstring> calls;
    bool applyOk = true;
    HMIXER mixer = nullptr;
    DWORD mixerControl = 0;

    bool Open() override { return true; }
    void Close() override {}
    bool Apply(int32_t mode, uint32_t mask) override {
        calls.push_back(L"Apply " + std::to_wstring(mode) + L" " + std::to_wstring(mask));
        return applyOk;
    }
    bool ReadEqualizer(IAudioConfig* c) override {
        calls.push_back(c ? L"ReadEqualizer " + Name(c->GetCurrentProfile()) : L"ReadEqualizer none");
        return true;
    }
    bool WriteEqualizer(IAudioConfig*, IAudioProfile* p) override { calls.push_back(L"WriteEqualizer " + Name(p)); return true; }
    bool WriteEqualizerBand(IAudioConfig*, int32_t band) override {
        calls.push_back(L"WriteEqualizerBand " + std::to_wstring(band));
        return true;
    }
    bool MirrorMasterVolume(IAudioConfig*) override { return Call(L"MirrorMasterVolume"); }
    bool MirrorLeftVolume(IAudioConfig*) override { return Call(L"MirrorLeftVolume"); }
    bool MirrorRightVolume(IAudioConfig*) override { return Call(L"MirrorRightVolume"); }
    bool MirrorMicVolume(IAudioConfig*) override { return Call(L"MirrorMicVolume"); }
    bool SetEqualizerEnabled(IAudioConfig* c) override {
        return Call(L"SetEqualizerEnabled " + std::to_wstring(c ? c->GetEqualizerEnabled(nullptr) : -1));
    }
    bool MirrorMute(IAudioConfig*) override { return Call(L"MirrorMute"); }
    bool MirrorMicMute(IAudioConfig*) override { return Call(L"MirrorMicMute"); }
    bool MirrorMicAutoGain(IAudioConfig*) override { return Call(L"MirrorMicAutoGain"); }
    bool MirrorMicNoiseReduction(IAudioConfig*) override { return Call(L"MirrorMicNoiseReduction"); }
    bool IsConnected() override { return true; }
    bool GetFirmwareVersion(std::wstring& t) override { t = L"1.00"; return true; }
    bool GetDriverVersion(std::wstring& t) override { t = L"1.00"; return true; }
    void SetNotifyWindow(HWND) override {}
    HWND GetNotifyWindow() override { return nullptr; }
    bool WinVolPassthrough(HMIXER m, DWORD control) override {
        mixer = m;
        mixerControl = control;
        return Call(L"WinVolPassthrough");
    }

    // The calls so far, then forgotten.
    std::vector<std::wstring> Take() {
        std::vector<std::wstring> out;
        out.swap(calls);
        return out;
    }

private:
    bool Call(const std::wstring& what) {
        calls.push_back(what);
        return true;
    }
    static std::wstring Name(IAudioProfile* p) { return p && p->GetName() ? p->GetName() : L"(none)"; }
};

// Presets with bands 0..9 in the range -36..15 (scale 1), ids of their own and the equaliser on;
// preset k's band b has the gain k + b (so every preset differs). The first becomes current.
inline void FillPresets(IAudioConfig& config, const std::vector<std::wstring>& names, int32_t scale = 1) {
    std::vector<int32_t> bands;
    for (int32_t b = 0; b < 10; ++b) bands.push_back(b);
    for (size_t k = 0; k < names.size(); ++k) {
        IAudioProfile* p = config.CreateProfile(names[k].c_str());
        GUID id{};
        id.Data1 = unsigned(k + 1);
        id.Data4[7] = 7;
        p->SetId(id);
        config.InitBands(bands, -36, 15, scale, p);
        for (int32_t b = 0; b < 10; ++b) config.SetBandGain(b, int16_t(k + b), p);
        config.SetEqualizerEnabled(1, p);
    }
    config.SetCurrentProfile(config.GetProfileAt(0));
}

inline BandGains GainsOf(IAudioConfig& config, const wchar_t* name) {
    BandGains g;
    if (IAudioProfile* p = config.FindProfileByName(name)) config.GetAllBandGains(g, p);
    return g;
}

} // namespace vt::test
