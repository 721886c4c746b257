#pragma once
// What every page's rules hold apart from their own view: the main window's configuration slot, the
// device object bound to it now, the popup host, the file dialogs and the window warnings are shown
// over. The profile and macro rules derive from it.
#include <functional>
#include <string>
#include "config/FileDialogs.h"
#include "config/popups/Popup.h"
#include "config/popups/WarningPopup.h"
#include "config/pages/DeviceKind.h"

namespace vt::config {

template <class ConfigT>
class PageRules {
public:
    using DeviceT = DeviceOf<ConfigT>;

    // config: the main window's configuration slot; device: the device object bound to it now.
    PageRules(ConfigT*& config, std::function<DeviceT*()> device, IPopupHost& popups, IFileDialogs& files)
        : m_config(config), m_device(std::move(device)), m_popups(popups), m_files(files) {}

    void SetOwner(HWND owner) { m_owner = owner; }
    // Called after every change of the model (the main window then offers Apply).
    std::function<void()> onChanged;

protected:
    DeviceT* Device() { return m_device ? m_device() : nullptr; }
    void Changed() { if (onChanged) onChanged(); }
    // A warning page over the owner; `name`, when given, is appended to the message as ": name".
    INT_PTR Warn(const wchar_t* file, const wchar_t* message = nullptr, const std::wstring* name = nullptr) {
        const std::wstring appended = name ? L": " + *name : std::wstring();
        return vt::config::Warn(m_popups, m_owner, file, message, name ? appended.c_str() : nullptr);
    }

    ConfigT*& m_config;
    std::function<DeviceT*()> m_device;
    IPopupHost& m_popups;
    IFileDialogs& m_files;
    HWND m_owner = nullptr;
};

} // namespace vt::config
