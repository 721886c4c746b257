#pragma once
// Test doubles of the volume wrapper's surroundings: endpoints with channel levels and event
// contexts whose notices come from a thread of their own, a waveform mixer, a listener that
// records what it is told, and an owner whose connected flag a test sets.
#include "device/AudioDevice.h"
#include "device/VolumeEndpoints.h"
#include "device/WinVol.h"
#include <windows.h>
#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vt::test {

class ChannelEndpoints : public vt::device::IVolumeEndpoints {
public:
    struct Endpoint {
        vt::device::VolumeFlow flow;
        std::wstring name;
        bool active = true;
        bool readable = true;       // false: its name cannot be read
        bool hasChannels = true;
        float master = 0.5f;
        float channels[2] = {0.5f, 0.5f};
        bool muted = false;
        bool hasAgc = true;
        bool agc = false;
        vt::device::IVolumeNoticeSink* sink = nullptr;
        int follows = 0, unfollows = 0;
        std::vector<GUID> contexts;  // of every change made through the seam
    };

    int Add(vt::device::VolumeFlow flow, const std::wstring& name) {
        std::lock_guard g(lock);
        Endpoint e;
        e.flow = flow;
        e.name = name;
        endpoints.push_back(e);
        return int(endpoints.size()) - 1;
    }
    Endpoint& At(int i) { return endpoints.at(size_t(i)); }

    std::unique_ptr<vt::device::IVolumeEndpoint> Find(vt::device::VolumeFlow flow, const std::wstring& part) override {
        std::lock_guard g(lock);
        ++finds;
        for (size_t i = 0; i < endpoints.size(); ++i) {
            const Endpoint& e = endpoints[i];
            if (e.flow != flow || !e.active || !e.readable) continue;
            if (e.name.find(part) != std::wstring::npos) return std::make_unique<One>(this, i);
        }
        return nullptr;
    }

    // Another program changes the endpoint: the notice comes from a thread of its own; returns when
    // that thread has delivered it. `channelCount` is how many channels the notice carries.
    void ChangeFromOutside(int i, float master, float left, float right, bool muted, unsigned channelCount = 2,
                           const GUID& context = GUID{}) {
        std::thread([&] {
            vt::device::IVolumeNoticeSink* s = nullptr;
            vt::device::VolumeNotice n;
            {
                std::lock_guard g(lock);
                Endpoint& e = At(i);
                e.master = master;
                e.channels[0] = left;
                e.channels[1] = right;
                e.muted = muted;
                s = e.sink;
                n.context = context;
                n.master = master;
                n.channelCount = channelCount;
                if (channelCount > 0) n.channels[0] = left;
                if (channelCount > 1) n.channels[1] = right;
                n.muted = muted;
            }
            if (s) s->OnVolumeNotice(n);
        }).join();
    }
    void AutoGainFromOutside(int i, bool on) {
        std::thread([&] {
            vt::device::IVolumeNoticeSink* s = nullptr;
            {
                std::lock_guard g(lock);
                At(i).agc = on;
                s = At(i).sink;
            }
            if (s) s->OnAutoGainNotice(on);
        }).join();
    }

    std::recursive_mutex lock;
    std::vector<Endpoint> endpoints;
    int finds = 0;

private:
    class One : public vt::device::IVolumeEndpoint {
    public:
        One(ChannelEndpoints* o, size_t i) : m_o(o), m_i(i) {}
        ~One() override { Follow(nullptr); }
        std::wstring Name() override { return E().name; }
        bool GetMaster(float* l) override { std::lock_guard g(m_o->lock); *l = E().master; return true; }
        bool SetMaster(float l, const GUID* c) override {
            std::lock_guard g(m_o->lock);
            if (l < 0 || l > 1) return false;
            E().master = l;
            Note(c);
            return true;
        }
        bool GetChannel(unsigned ch, float* l) override {
            std::lock_guard g(m_o->lock);
            if (!E().hasChannels || ch > 1) return false;
            *l = E().channels[ch];
            return true;
        }
        bool SetChannel(unsigned ch, float l, const GUID* c) override {
            std::lock_guard g(m_o->lock);
            if (!E().hasChannels || ch > 1 || l < 0 || l > 1) return false;
            E().channels[ch] = l;
            Note(c);
            return true;
        }
        bool GetMute(bool* m) override { std::lock_guard g(m_o->lock); *m = E().muted; return true; }
        bool SetMute(bool m, const GUID* c) override {
            std::lock_guard g(m_o->lock);
            E().muted = m;
            Note(c);
            return true;
        }
        bool HasAutoGain() override { std::lock_guard g(m_o->lock); return E().hasAgc; }
        bool GetAutoGain(bool* on) override {
            std::lock_guard g(m_o->lock);
            if (!E().hasAgc) return false;
            *on = E().agc;
            return true;
        }
        bool SetAutoGain(bool on) override {
            std::lock_guard g(m_o->lock);
            if (!E().hasAgc) return false;
            E().agc = on;
            return true;
        }
        bool Follow(vt::device::IVolumeNoticeSink* sink) override {
            std::lock_guard g(m_o->lock);
            if (sink) {
                ++E().follows;
                E().sink = sink;
                m_following = true;
            } else if (m_following) {
                ++E().unfollows;
                E().sink = nullptr;
                m_following = false;
            }
            return true;
        }
    private:
        Endpoint& E() { return m_o->endpoints[m_i]; }
        void Note(const GUID* c) { E().contexts.push_back(c ? *c : GUID{}); }
        ChannelEndpoints* m_o;
        size_t m_i;
        bool m_following = false;
    };
};

// Everything the wrapper reports, with the thread each report came from.
class RecordingListener : public vt::device::CAudioVolChangeListener {
public:
    struct Report {
        int kind;  // 0 volume, 1 automatic gain, 2 mute
        vt::device::VolumeState state;
        bool capture;
        uint8_t value;
        DWORD thread;
    };
    void OnEndpointVolumeChanged(const vt::device::VolumeState& s, bool capture) override {
        Add({0, s, capture, 0, GetCurrentThreadId()});
    }
    void OnAgcChanged(uint8_t on) override { Add({1, {}, true, on, GetCurrentThreadId()}); }
    void OnMuteChanged(uint8_t m, bool capture) override { Add({2, {}, capture, m, GetCurrentThreadId()}); }
    void SetNotifyWindow(HWND w) override { window = w; }
    HWND GetNotifyWindow() override { return window; }
    bool OnMixerChange(HMIXER, DWORD) override { return false; }
    std::vector<Report> Reports() {
        std::lock_guard g(m_lock);
        return m_reports;
    }
    HWND window = nullptr;

private:
    void Add(const Report& r) {
        std::lock_guard g(m_lock);
        m_reports.push_back(r);
    }
    std::mutex m_lock;
    std::vector<Report> m_reports;
};

// An owner for the transfers: only IsConnected matters to them.
class StubAudioDevice : public IAudioDevice {
public:
    bool connected = true;
    bool Open() override { return false; }
    void Close() override {}
    bool Apply(int32_t, uint32_t) override { return false; }
    bool ReadEqualizer(IAudioConfig*) override { return false; }
    bool WriteEqualizer(IAudioConfig*, IAudioProfile*) override { return false; }
    bool WriteEqualizerBand(IAudioConfig*, int32_t) override { return false; }
    bool MirrorMasterVolume(IAudioConfig*) override { return false; }
    bool MirrorLeftVolume(IAudioConfig*) override { return false; }
    bool MirrorRightVolume(IAudioConfig*) override { return false; }
    bool MirrorMicVolume(IAudioConfig*) override { return false; }
    bool SetEqualizerEnabled(IAudioConfig*) override { return false; }
    bool MirrorMute(IAudioConfig*) override { return false; }
    bool MirrorMicMute(IAudioConfig*) override { return false; }
    bool MirrorMicAutoGain(IAudioConfig*) override { return false; }
    bool MirrorMicNoiseReduction(IAudioConfig*) override { return false; }
    bool IsConnected() override { return connected; }
    bool GetFirmwareVersion(std::wstring&) override { return false; }
    bool GetDriverVersion(std::wstring&) override { return false; }
    void SetNotifyWindow(HWND) override {}
    HWND GetNotifyWindow() override { return nullptr; }
    bool WinVolPassthrough(HMIXER, DWORD) override { return false; }
};

// A waveform mixer: devices with destination lines and their controls.
class FakeMixer : public vt::device::IMixerApi {
public:
    struct Ctl {
        DWORD id;
        std::wstring name;
        DWORD flags = 0;  // MIXERCONTROL_CONTROLF_*
        DWORD min = 0, max = 65535;
        std::vector<DWORD> values;
        bool unreadable = false;
    };
    struct Line {
        DWORD type;
        DWORD lineId;
        DWORD channels = 2;
        std::vector<Ctl> controls;
    };
    struct Dev {
        std::wstring name;
        std::vector<Line> lines;
        bool open = false;
        HWND window = nullptr;
    };
    std::vector<Dev> devs;
    int opens = 0, closes = 0, writes = 0;

    Ctl* FindCtl(DWORD id) {
        for (auto& d : devs)
            for (auto& l : d.lines)
                for (auto& c : l.controls)
                    if (c.id == id) return &c;
        return nullptr;
    }
    static HMIXER Handle(UINT id) { return reinterpret_cast<HMIXER>(uintptr_t(0x100 + id)); }
    Dev* ByHandle(HMIXER h) {
        const uintptr_t v = reinterpret_cast<uintptr_t>(h);
        if (v < 0x100 || v - 0x100 >= devs.size()) return nullptr;
        return &devs[v - 0x100];
    }

    UINT GetNumDevs() override { return UINT(devs.size()); }
    MMRESULT Open(HMIXER* m, UINT id, HWND w) override {
        if (id >= devs.size()) return MMSYSERR_BADDEVICEID;
        devs[id].open = true;
        devs[id].window = w;
        ++opens;
        *m = Handle(id);
        return MMSYSERR_NOERROR;
    }
    MMRESULT GetDevCaps(UINT id, MIXERCAPSW* caps) override {
        if (id >= devs.size()) return MMSYSERR_BADDEVICEID;
        *caps = MIXERCAPSW{};
        lstrcpynW(caps->szPname, devs[id].name.c_str(), MAXPNAMELEN);
        caps->cDestinations = DWORD(devs[id].lines.size());
        return MMSYSERR_NOERROR;
    }
    MMRESULT Close(HMIXER h) override {
        if (Dev* d = ByHandle(h)) d->open = false;
        ++closes;
        return MMSYSERR_NOERROR;
    }
    MMRESULT GetLineInfo(HMIXER h, MIXERLINEW* line, DWORD) override {
        Dev* d = ByHandle(h);
        if (!d || line->dwDestination >= d->lines.size()) return MIXERR_INVALLINE;
        const Line& l = d->lines[line->dwDestination];
        line->dwComponentType = l.type;
        line->dwLineID = l.lineId;
        line->cChannels = l.channels;
        line->cControls = DWORD(l.controls.size());
        return MMSYSERR_NOERROR;
    }
    MMRESULT GetLineControls(HMIXER h, MIXERLINECONTROLSW* lc, DWORD) override {
        Dev* d = ByHandle(h);
        if (!d) return MMSYSERR_INVALHANDLE;
        for (auto& l : d->lines) {
            if (l.lineId != lc->dwLineID) continue;
            // A system mixer writes as many records as the caller says there is room for.
            if (lc->cControls < l.controls.size()) return MMSYSERR_INVALPARAM;
            for (size_t i = 0; i < l.controls.size(); ++i) {
                MIXERCONTROLW& r = lc->pamxctrl[i];
                r = MIXERCONTROLW{};
                r.cbStruct = sizeof r;
                r.dwControlID = l.controls[i].id;
                r.fdwControl = l.controls[i].flags;
                r.Bounds.dwMinimum = l.controls[i].min;
                r.Bounds.dwMaximum = l.controls[i].max;
                lstrcpynW(r.szShortName, l.controls[i].name.c_str(), MIXER_SHORT_NAME_CHARS);
                lstrcpynW(r.szName, l.controls[i].name.c_str(), MIXER_LONG_NAME_CHARS);
            }
            return MMSYSERR_NOERROR;
        }
        return MIXERR_INVALLINE;
    }
    MMRESULT GetControlDetails(HMIXER, MIXERCONTROLDETAILS* det, DWORD) override {
        Ctl* c = FindCtl(det->dwControlID);
        if (!c || c->unreadable) return MIXERR_INVALCONTROL;
        auto* out = static_cast<DWORD*>(det->paDetails);
        for (DWORD i = 0; i < det->cChannels; ++i) out[i] = i < c->values.size() ? c->values[i] : c->values.back();
        return MMSYSERR_NOERROR;
    }
    MMRESULT SetControlDetails(HMIXER, MIXERCONTROLDETAILS* det, DWORD) override {
        Ctl* c = FindCtl(det->dwControlID);
        if (!c) return MIXERR_INVALCONTROL;
        const auto* in = static_cast<const DWORD*>(det->paDetails);
        c->values.assign(in, in + det->cChannels);
        ++writes;
        return MMSYSERR_NOERROR;
    }
};

} // namespace vt::test
