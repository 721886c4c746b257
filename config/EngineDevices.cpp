#include "config/EngineDevices.h"
#if __has_include("device/DeviceFactory.h")
#include "device/DeviceFactory.h"
#define VT_HAVE_DEVICE_FACTORY 1
#endif

namespace vt::config {

namespace {

constexpr uint32_t kMouseKeyboardMask = 1023;

#ifdef VT_HAVE_DEVICE_FACTORY
class EngineDevices final : public IDeviceSet {
public:
    EngineDevices(IMouseConfig*& mouse, IKeyboardConfig*& keyboard, IAudioConfig*& headset)
        : m_mouseConfig(mouse), m_keyboardConfig(keyboard), m_headsetConfig(headset) {
        // The factory opens the device and falls back to the do-nothing object; its answer is
        // not needed here (the main window reads every device when it opens).
        vt::device::CreateMouseDevice(&vt::device::kMouseDescription, &m_mouse, m_mouseConfig);
    }
    ~EngineDevices() override { Destroy(); }

    bool Read(int d) override {
        if (d == kMouse) return m_mouse && m_mouse->TransferProfiles(m_mouseConfig, 1, kMouseKeyboardMask);
        return false;   // keyboard and headset: bound to nothing that answers yet
    }
    bool StartWrite(int d) override {
        if (d == kMouse) return m_mouse && m_mouse->TransferProfiles(m_mouseConfig, 0, kMouseKeyboardMask);
        return false;
    }
    bool IsBusy(int d) override { return d == kMouse && m_mouse && m_mouse->IsBusy(); }
    int LastWriteResult(int d) override { return d == kMouse && m_mouse ? m_mouse->GetLastWriteResult() : -1; }
    bool FirmwareVersion(int d, std::wstring& text) override {
        return d == kMouse && m_mouse && m_mouse->GetFirmwareVersion(text);
    }
    bool DriverVersion(int d, std::wstring& text) override {
        return d == kMouse && m_mouse && m_mouse->GetDriverVersion(text);
    }
    bool Recreate(int d) override {
        if (d == kMouse) return vt::device::RecreateMouseDevice(&m_mouse, m_mouseConfig);
        return false;
    }
    bool QueryKeyboardLayout(ULONG*) override { return false; }
    void SetNotifyWindow(HWND) override {}
    void Destroy() override {
        if (m_destroyed) return;
        m_destroyed = true;
        vt::device::DestroyDevices();
        m_mouse = nullptr;
    }

private:
    IMouseConfig*& m_mouseConfig;
    IKeyboardConfig*& m_keyboardConfig;
    IAudioConfig*& m_headsetConfig;
    ::IMouseDevice* m_mouse = nullptr;
    bool m_destroyed = false;
};
#else
// Without the device layer's objects no device answers: the program warns and closes.
class EngineDevices final : public IDeviceSet {
public:
    EngineDevices(IMouseConfig*&, IKeyboardConfig*&, IAudioConfig*&) {}
    bool Read(int) override { return false; }
    bool StartWrite(int) override { return false; }
    bool IsBusy(int) override { return false; }
    int LastWriteResult(int) override { return -1; }
    bool FirmwareVersion(int, std::wstring&) override { return false; }
    bool DriverVersion(int, std::wstring&) override { return false; }
    bool Recreate(int) override { return false; }
    bool QueryKeyboardLayout(ULONG*) override { return false; }
    void SetNotifyWindow(HWND) override {}
    void Destroy() override {}
};
#endif

} // namespace

std::unique_ptr<IDeviceSet> CreateEngineDevices(IMouseConfig*& mouse, IKeyboardConfig*& keyboard, IAudioConfig*& headset) {
    return std::make_unique<EngineDevices>(mouse, keyboard, headset);
}

} // namespace vt::config
