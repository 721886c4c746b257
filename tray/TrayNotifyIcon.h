#pragma once
// The tray's icon in the notification area: adds and removes it, owns the menu that is tracked
// from it, and puts the icon back when the taskbar is made again ("TaskbarCreated"), through a
// hidden helper window of its own. GUI thread only.
#include <windows.h>
#include <shellapi.h>

namespace vt::tray {

constexpr UINT kTrayIconId = 129;
constexpr UINT WM_TRAY_ICON = WM_USER + 100;  // callback: wParam the icon id, lParam the mouse message
constexpr UINT kTrayMenuId = 129;
constexpr UINT kCmdLoadConfig = 500;
constexpr UINT kCmdCloseTray = 503;

class CTrayNotifyIcon {
public:
    CTrayNotifyIcon();
    ~CTrayNotifyIcon();
    CTrayNotifyIcon(const CTrayNotifyIcon&) = delete;
    CTrayNotifyIcon& operator=(const CTrayNotifyIcon&) = delete;

    // Loads the menu, makes the helper window and adds the icon for owner; true when it was added.
    bool CreateTrayIcon(HWND owner, HICON icon, HINSTANCE instance);
    // Opens the menu (WM_RBUTTONUP) or runs its default item (WM_LBUTTONDBLCLK); 0 for another id.
    LRESULT ShowTrayMenu(UINT iconId, UINT mouseMessage, POINT at);
    LRESULT ShowTrayMenuAtCursor(UINT iconId, UINT mouseMessage);
    // Takes over a built menu (its first submenu is tracked) and makes defaultCommand its default.
    void SetMenu(HMENU menu, UINT defaultCommand);
    HMENU Menu() const { return m_menu; }
    HWND HelperWindow() const { return m_helper; }
    bool Added() const { return m_added; }
    // Deletes and adds the icon again (what "TaskbarCreated" does).
    void Readd();

    // 0..3: the notification record generation the shell understands.
    int ShellLevel() const { return m_level; }
    DWORD RecordSize() const { return m_data.cbSize; }

    static UINT TaskbarCreatedMessage();

private:
    static LRESULT CALLBACK HelperProc(HWND, UINT, WPARAM, LPARAM);
    void Remove();

    HWND m_helper = nullptr;
    NOTIFYICONDATAW m_data{};
    bool m_added = false;
    bool m_hidden = false;
    HWND m_owner = nullptr;
    HMENU m_menu = nullptr;
    int m_level = 0;
};

} // namespace vt::tray
