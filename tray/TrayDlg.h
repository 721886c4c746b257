#pragma once
// The tray's hidden dialog, the hub of the program: it owns the tray icon and menu, the 5-second
// timer of the automatic profile switch, the on-screen display and the macro recorder, follows
// device and session notices, and handles the device engine's events.
#include <windows.h>
#include <memory>
#include "skin/GuiItem.h"
#include "tray/EventHandlers.h"
#include "tray/MacroRecorder.h"
#include "tray/ProfileSwitch.h"
#include "tray/TrayNotifyIcon.h"
#include "win/Dialog.h"

namespace vt::tray {

class CDeviceManager;
class COsdDisplay;

constexpr UINT kTrayDialogId = 102;
constexpr UINT kAboutDialogId = 100;
constexpr UINT kWindowIconId = 128;
constexpr UINT kTrayIconResourceId = 131;
constexpr UINT kAboutStringId = 101;
constexpr UINT kAboutCommand = 16;
constexpr UINT_PTR kSwitchTimer = 700;
constexpr UINT kSwitchIntervalMs = 5000;
constexpr UINT_PTR kClickTimer = 701;
constexpr const wchar_t* kLanguageKey = L"Software\\Velto\\Sorl";

class CTolmSysTrayDlg : public vt::win::Dialog, public ITrayEventHandlers {
public:
    explicit CTolmSysTrayDlg(CDeviceManager& devices, HINSTANCE instance = nullptr);
    ~CTolmSysTrayDlg() override;

    // Creates the dialog (never shown); false when it could not be made or its icon not added.
    bool Create();

    // Handlers of the device engine's events.
    void OnDpiChanged(int32_t pid, uint32_t x, uint32_t y) override;
    void OnProfileChanged(int32_t pid, uint32_t value) override;
    void OnMacroRecordStart(int32_t pid) override;
    void OnMacroRecordStop(int32_t pid) override;
    void OnMacroRecordCancel(int32_t pid) override;
    void OnMacroRecordAssign(int32_t pid, uint32_t a, uint32_t b) override;
    void OnLaunchApp(int32_t pid, int32_t kind, const wchar_t* path) override;

    // Rebuilds the tray menu (as before every display) and hands it to the icon.
    void BuildTrayMenu();

    CTrayNotifyIcon& Icon() { return m_icon; }
    COsdDisplay* Display() const { return m_display; }
    CMacroRecorder& Recorder() { return m_recorder; }
    CProfileSwitch& Switch() { return m_switch; }
    bool DeviceNoticesRegistered() const { return m_deviceNotify != nullptr; }

protected:
    bool OnInitDialog() override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnFinalMessage() override;

private:
    void LoadLanguage();
    void OnTrayIcon(WPARAM iconId, LPARAM mouseMessage);
    void OnSessionChange(WPARAM code);
    void OnDeviceRemoved(int32_t pid);
    void CloseSequence();
    void ShowAbout();

    CDeviceManager& m_devices;
    HINSTANCE m_instance;
    HICON m_windowIcon = nullptr;
    HICON m_trayIcon = nullptr;
    CTrayNotifyIcon m_icon;
    POINT m_clickPoint{};
    UINT_PTR m_clickTimer = 0;
    COsdDisplay* m_display = nullptr;
    UINT m_closeCommand = 0;
    HDEVNOTIFY m_deviceNotify = nullptr;
    bool m_sessionRegistered = false;
    vt::skin::CGUIItems m_languagePage;
    CProfileSwitch m_switch;
    CMacroRecorder m_recorder;
    bool m_comInitialised = false;
    bool m_closing = false;
};

// Reads the tray's language setting ("Language" of HKLM "Software\Velto\Sorl", at most 255
// characters); false when it cannot be read.
bool ReadTrayLanguageSetting(HKEY root, const wchar_t* keyPath, std::wstring& name);

} // namespace vt::tray
