#include "standin/audio/FakeAudioEndpoints.h"

#include <mutex>
#include <thread>
#include <vector>

namespace vt::sim {
namespace {

struct Endpoint {
    vt::win::AudioFlow flow;
    std::wstring name;
    bool active;
    FakeAudioEndpoints::State state;
    vt::win::IAudioEndpointListener* listener = nullptr;
};

struct Shared {
    std::mutex lock;
    std::vector<Endpoint> endpoints;
};

class FakeEndpoint : public vt::win::IAudioEndpoint {
public:
    FakeEndpoint(std::shared_ptr<Shared> s, size_t i) : m_s(std::move(s)), m_i(i) {}
    ~FakeEndpoint() override { Listen(nullptr); }
    std::wstring Name() override { std::lock_guard g(m_s->lock); return E().name; }
    bool GetVolume(float* level) override { std::lock_guard g(m_s->lock); *level = E().state.level; return true; }
    bool SetVolume(float level) override {
        std::lock_guard g(m_s->lock);
        if (level < 0 || level > 1) return false;
        E().state.level = level;
        ++E().state.setVolumeCalls;
        return true;
    }
    bool GetMute(bool* muted) override { std::lock_guard g(m_s->lock); *muted = E().state.muted; return true; }
    bool SetMute(bool muted) override {
        std::lock_guard g(m_s->lock);
        E().state.muted = muted;
        ++E().state.setMuteCalls;
        return true;
    }
    bool GetAutoGain(bool* on) override { std::lock_guard g(m_s->lock); *on = E().state.autoGain; return true; }
    bool SetAutoGain(bool on) override { std::lock_guard g(m_s->lock); E().state.autoGain = on; return true; }
    bool Listen(vt::win::IAudioEndpointListener* listener) override {
        std::lock_guard g(m_s->lock);
        E().listener = listener;
        return true;
    }

private:
    Endpoint& E() { return m_s->endpoints[m_i]; }
    std::shared_ptr<Shared> m_s;
    size_t m_i;
};

class Fake : public FakeAudioEndpoints {
public:
    std::vector<std::wstring> Names(vt::win::AudioFlow flow) override {
        std::lock_guard g(m_s->lock);
        std::vector<std::wstring> names;
        for (const auto& e : m_s->endpoints)
            if (e.flow == flow && e.active) names.push_back(e.name);
        return names;
    }
    std::unique_ptr<vt::win::IAudioEndpoint> Find(vt::win::AudioFlow flow, const std::wstring& part) override {
        std::lock_guard g(m_s->lock);
        for (size_t i = 0; i < m_s->endpoints.size(); ++i) {
            const auto& e = m_s->endpoints[i];
            if (e.flow == flow && e.active && e.name.find(part) != std::wstring::npos)
                return std::make_unique<FakeEndpoint>(m_s, i);
        }
        return nullptr;
    }
    int Add(vt::win::AudioFlow flow, const std::wstring& name, bool active) override {
        std::lock_guard g(m_s->lock);
        m_s->endpoints.push_back({flow, name, active, {}});
        return static_cast<int>(m_s->endpoints.size() - 1);
    }
    State Get(int index) override {
        std::lock_guard g(m_s->lock);
        return m_s->endpoints.at(index).state;
    }
    void Set(int index, const State& state) override {
        std::lock_guard g(m_s->lock);
        m_s->endpoints.at(index).state = state;
    }
    void ChangeFromOutside(int index, float level, bool muted, bool autoGain) override {
        std::thread([&] {
            vt::win::IAudioEndpointListener* l = nullptr;
            bool agcChanged = false;
            {
                std::lock_guard g(m_s->lock);
                auto& e = m_s->endpoints.at(index);
                agcChanged = e.state.autoGain != autoGain;
                e.state.level = level;
                e.state.muted = muted;
                e.state.autoGain = autoGain;
                l = e.listener;
            }
            if (l) {
                l->OnVolumeChanged(level, muted);
                if (agcChanged) l->OnAutoGainChanged(autoGain);
            }
        }).join();
    }

private:
    std::shared_ptr<Shared> m_s = std::make_shared<Shared>();
};

} // namespace

std::shared_ptr<FakeAudioEndpoints> MakeFakeAudioEndpoints() { return std::make_shared<Fake>(); }

} // namespace vt::sim
