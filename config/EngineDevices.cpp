#include "config/EngineDevices.h"
#if __has_include("device/DeviceFactory.h")
#include "device/DeviceFactory.h"
#define VT_HAVE_DEVICE_FACTORY 1
#endif
#if __has_include("device/Keyboard.h") && __has_include("device/HeadsetDevice.h")
#include "device/HeadsetDevice.h"
#include "device/Keyboard.h"
#define VT_HAVE_KEYBOARD_HEADSET 1
#endif

namespace vt::config {

namespace {

constexpr uint32_t kMouseKeyboardMask = 1023;
constexpr uint32_t kHeadsetMask = 0xFFFFF;

#ifdef VT_HAVE_DEVICE_FACTORY
class EngineDevices final : public IDeviceSet {
public:
    EngineDevices(IMouseConfig*& mouse, IKeyboardConfig*& keyboard, IAudioConfig*& headset)
        : m_mouseConfig(mouse), m_keyboardConfig(keyboard), m_headsetConfig(headset) {}
    ~EngineDevices() override { Destroy(); }

    void Open() override {
        for (int d = 0; d < kDeviceCount; ++d) OpenDevice(d);
    }
    void OpenDevice(int d) override {
        if (d < 0 || d >= kDeviceCount || m_opened[d]) return;
        m_opened[d] = true;
        // The factory opens the device and falls back to the do-nothing object; its answer is
        // not needed here (the main window reads the device right after).
        if (d == kMouse) vt::device::CreateMouseDevice(&vt::device::kMouseDescription, &m_mouse, m_mouseConfig);
#ifdef VT_HAVE_KEYBOARD_HEADSET
        if (d == kKeyboard) vt::device::CreateKeyboardDeviceWith(new vt::device::CKeyboard(), &m_keyboard, m_keyboardConfig);
        if (d == kHeadset) {
            vt::device::CreateAudioDevice(&vt::device::kHeadsetDescription, &m_headset, m_headsetConfig);
            if (m_notify && m_headset) m_headset->SetNotifyWindow(m_notify);
        }
#endif
    }

    bool Read(int d) override {
        if (d == kMouse) return m_mouse && m_mouse->TransferProfiles(m_mouseConfig, 1, kMouseKeyboardMask);
        if (d == kKeyboard) return m_keyboard && m_keyboard->TransferProfiles(m_keyboardConfig, 1, kMouseKeyboardMask);
        if (d == kHeadset) return m_headset && m_headset->Apply(1, kHeadsetMask);
        return false;
    }
    bool StartWrite(int d) override {
        if (d == kMouse) return m_mouse && m_mouse->TransferProfiles(m_mouseConfig, 0, kMouseKeyboardMask);
        if (d == kKeyboard) return m_keyboard && m_keyboard->TransferProfiles(m_keyboardConfig, 0, kMouseKeyboardMask);
        if (d == kHeadset) return m_headset && m_headset->Apply(0, kHeadsetMask);
        return false;
    }
    bool IsBusy(int d) override {
        if (d == kMouse) return m_mouse && m_mouse->IsBusy();
        if (d == kKeyboard) return m_keyboard && m_keyboard->IsBusy();
        return false;
    }
    int LastWriteResult(int d) override {
        if (d == kMouse) return m_mouse ? m_mouse->GetLastWriteResult() : -1;
        if (d == kKeyboard) return m_keyboard ? m_keyboard->GetLastWriteResult() : -1;
        return -1;
    }
    bool FirmwareVersion(int d, std::wstring& text) override {
        if (d == kMouse) return m_mouse && m_mouse->GetFirmwareVersion(text);
        if (d == kKeyboard) return m_keyboard && m_keyboard->GetFirmwareVersion(text);
        if (d == kHeadset) return m_headset && m_headset->GetFirmwareVersion(text);
        return false;
    }
    bool DriverVersion(int d, std::wstring& text) override {
        if (d == kMouse) return m_mouse && m_mouse->GetDriverVersion(text);
        if (d == kKeyboard) return m_keyboard && m_keyboard->GetDriverVersion(text);
        if (d == kHeadset) return m_headset && m_headset->GetDriverVersion(text);
        return false;
    }
    bool Recreate(int d) override {
        if (d == kMouse) return vt::device::RecreateMouseDevice(&m_mouse, m_mouseConfig);
#ifdef VT_HAVE_KEYBOARD_HEADSET
        // The keyboard object stays as it is (the device layer has no re-creation of it yet); it
        // is read again on arrival.
        if (d == kHeadset) {
            const bool ok = vt::device::CreateAudioDevice(&vt::device::kHeadsetDescription, &m_headset, m_headsetConfig);
            if (m_notify && m_headset) m_headset->SetNotifyWindow(m_notify);
            return ok;
        }
#endif
        return false;
    }
    bool QueryKeyboardLayout(ULONG* value) override {
        return m_keyboard && m_keyboard->IsConnected() && m_keyboard->QueryKeyboardValue(value);
    }
    void SetNotifyWindow(HWND window) override {
        m_notify = window;
        if (m_headset) m_headset->SetNotifyWindow(window);
    }
    void Destroy() override {
        if (m_destroyed) return;
        m_destroyed = true;
        vt::device::DestroyDevices();
#ifdef VT_HAVE_KEYBOARD_HEADSET
        vt::device::DestroyHeadsetDevices();
#endif
        m_mouse = nullptr;
        m_keyboard = nullptr;
        m_headset = nullptr;
    }
    int Listed(int d) override {
        // The do-nothing object stands for a device that is not there.
        uint32_t productId = 0;
        if (d == kMouse && m_mouse && m_mouse == vt::device::RealMouse()) productId = vt::device::kMouseDescription.productId;
        if (d == kKeyboard && m_keyboard && m_keyboard == vt::device::RealKeyboard())
            productId = vt::device::kKeyboardDescription.productId;
#ifdef VT_HAVE_KEYBOARD_HEADSET
        if (d == kHeadset && m_headset && m_headset == vt::device::RealHeadset())
            productId = vt::device::kHeadsetDescription.productId;
#endif
        if (!productId) return 0;
        switch (vt::device::ProbeDevice(productId)) {
        case vt::device::EngineReach::Reached: return 1;
        case vt::device::EngineReach::DeviceAbsent: return 0;
        default: return -1;
        }
    }
    int Probe(int d) override {
        uint32_t productId = 0;
        if (d == kMouse) productId = vt::device::kMouseDescription.productId;
        if (d == kKeyboard) productId = vt::device::kKeyboardDescription.productId;
#ifdef VT_HAVE_KEYBOARD_HEADSET
        if (d == kHeadset) productId = vt::device::kHeadsetDescription.productId;
#endif
        if (!productId) return kCannotProbe;
        switch (vt::device::ProbeDevice(productId)) {
        case vt::device::EngineReach::Reached: return 1;
        case vt::device::EngineReach::DeviceAbsent: return 0;
        default: return -1;
        }
    }
    bool ReadKeyEntries() override {
        bool ok = true;
        vt::device::EngineBatch batch;
        if (m_mouse && m_mouse == vt::device::RealMouse()) ok = vt::device::RealMouse()->ReadKeyEntries(m_mouseConfig) && ok;
#ifdef VT_HAVE_KEYBOARD_HEADSET
        if (m_keyboard && m_keyboard == vt::device::RealKeyboard())
            if (auto* keyboard = dynamic_cast<vt::device::CKeyboard*>(m_keyboard))
                ok = keyboard->ReadKeyEntries(m_keyboardConfig) && ok;
        if (m_headset && m_headset == vt::device::RealHeadset()) ok = vt::device::RealHeadset()->ReadKeyEntries() && ok;
#endif
        return ok;
    }
    std::shared_ptr<void> HoldEngine() override { return std::make_shared<vt::device::EngineBatch>(); }
    ::IMouseDevice* MouseDevice() override { return m_mouse; }
    ::IKeyboardDevice* KeyboardDevice() override { return m_keyboard; }
    ::IAudioDevice* HeadsetDevice() override { return m_headset; }

private:
    IMouseConfig*& m_mouseConfig;
    IKeyboardConfig*& m_keyboardConfig;
    IAudioConfig*& m_headsetConfig;
    ::IMouseDevice* m_mouse = nullptr;
    ::IKeyboardDevice* m_keyboard = nullptr;
    ::IAudioDevice* m_headset = nullptr;
    HWND m_notify = nullptr;
    bool m_destroyed = false;
    bool m_opened[kDeviceCount] = {};
};
#else
// Without the device layer's objects no device answers: the program warns and closes.
class EngineDevices final : public IDeviceSet {
public:
    EngineDevices(IMouseConfig*&, IKeyboardConfig*&, IAudioConfig*&) {}
    void Open() override {}
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
