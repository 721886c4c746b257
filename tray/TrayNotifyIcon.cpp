#include "tray/TrayNotifyIcon.h"
#include <shlwapi.h>
#include <versionhelpers.h>
#include "tray/TraySystem.h"

namespace vt::tray {

namespace {

constexpr const wchar_t* kHelperClass = L"TrayNotifyIconClass";
constexpr const wchar_t* kHelperName = L"CTrayNotifyIcon Helper Window";
constexpr const wchar_t* kTip = L"Velto Dunemarch II";

int ShellVersionLevel() {
    if (IsWindowsVistaOrGreater()) return 3;
    HMODULE shell = GetModuleHandleW(L"shell32.dll");
    auto getVersion = shell ? reinterpret_cast<DLLGETVERSIONPROC>(GetProcAddress(shell, "DllGetVersion")) : nullptr;
    if (!getVersion) return 0;
    DLLVERSIONINFO info{};
    info.cbSize = sizeof(info);
    if (FAILED(getVersion(&info))) return 0;
    if (info.dwMajorVersion > 5) return 2;
    return info.dwMajorVersion == 5 ? 1 : 0;
}

DWORD RecordSizeFor(int level) {
    switch (level) {
    case 0: return NOTIFYICONDATAW_V1_SIZE;
    case 1: return NOTIFYICONDATAW_V2_SIZE;
    case 2: return NOTIFYICONDATAW_V3_SIZE;
    default: return sizeof(NOTIFYICONDATAW);
    }
}

} // namespace

UINT CTrayNotifyIcon::TaskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

CTrayNotifyIcon::CTrayNotifyIcon() {
    TaskbarCreatedMessage();
    m_level = ShellVersionLevel();
    m_data.cbSize = RecordSizeFor(m_level);
}

CTrayNotifyIcon::~CTrayNotifyIcon() {
    Remove();
    if (m_helper) DestroyWindow(m_helper);
    m_helper = nullptr;
    if (m_menu) DestroyMenu(m_menu);
    m_menu = nullptr;
}

void CTrayNotifyIcon::Remove() {
    if (!m_added) return;
    NOTIFYICONDATAW data = m_data;
    data.uFlags = 0;
    System().notifyIcon(NIM_DELETE, &data);
    m_added = false;
}

bool CTrayNotifyIcon::CreateTrayIcon(HWND owner, HICON icon, HINSTANCE instance) {
    HMENU menu = LoadMenuW(instance, MAKEINTRESOURCEW(kTrayMenuId));
    if (!menu) return false;
    if (m_menu) DestroyMenu(m_menu);
    m_menu = menu;
    HMENU popup = GetSubMenu(m_menu, 0);
    if (!popup) return false;
    SetMenuDefaultItem(popup, 0, TRUE);

    if (!m_helper) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = HelperProc;
        wc.hInstance = instance;
        wc.lpszClassName = kHelperClass;
        RegisterClassExW(&wc);  // already registered by an earlier icon: fine
        m_helper = CreateWindowExW(0, kHelperClass, kHelperName, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, this);
        if (!m_helper) return false;
    }

    m_owner = owner;
    m_data.hWnd = owner;
    m_data.uID = kTrayIconId;
    m_data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_data.uCallbackMessage = WM_TRAY_ICON;
    m_data.hIcon = icon;
    lstrcpynW(m_data.szTip, kTip, int(std::size(m_data.szTip)));
    m_added = System().notifyIcon(NIM_ADD, &m_data) != FALSE;
    if (m_added && m_level >= 1) {
        NOTIFYICONDATAW version = m_data;
        version.uVersion = NOTIFYICON_VERSION;
        System().notifyIcon(NIM_SETVERSION, &version);
    }
    return m_added;
}

void CTrayNotifyIcon::Readd() {
    if (!m_data.hWnd) return;
    Remove();
    m_data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    if (m_hidden) {
        m_data.uFlags |= NIF_STATE;
        m_data.dwState = NIS_HIDDEN;
        m_data.dwStateMask = NIS_HIDDEN;
    }
    if (System().notifyIcon(NIM_ADD, &m_data)) m_added = true;
}

void CTrayNotifyIcon::SetMenu(HMENU menu, UINT defaultCommand) {
    if (m_menu && m_menu != menu) DestroyMenu(m_menu);
    m_menu = menu;
    if (HMENU popup = m_menu ? GetSubMenu(m_menu, 0) : nullptr) SetMenuDefaultItem(popup, defaultCommand, FALSE);
}

LRESULT CTrayNotifyIcon::ShowTrayMenu(UINT iconId, UINT mouseMessage, POINT at) {
    if (iconId != m_data.uID) return 0;
    HMENU popup = m_menu ? GetSubMenu(m_menu, 0) : nullptr;
    if (mouseMessage == WM_RBUTTONUP) {
        if (!popup) return 1;
        SetForegroundWindow(m_owner);
        TrackPopupMenu(popup, 0, at.x, at.y, 0, m_owner, nullptr);
        PostMessageW(m_owner, WM_NULL, 0, 0);
    } else if (mouseMessage == WM_LBUTTONDBLCLK) {
        SetForegroundWindow(m_owner);
        const UINT item = popup ? GetMenuDefaultItem(popup, FALSE, GMDI_GOINTOPOPUPS) : UINT(-1);
        if (item != UINT(-1)) SendMessageW(m_owner, WM_COMMAND, item, 0);
    }
    return 1;
}

LRESULT CTrayNotifyIcon::ShowTrayMenuAtCursor(UINT iconId, UINT mouseMessage) {
    POINT at{};
    GetCursorPos(&at);
    return ShowTrayMenu(iconId, mouseMessage, at);
}

LRESULT CALLBACK CTrayNotifyIcon::HelperProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* self = reinterpret_cast<CTrayNotifyIcon*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && msg == TaskbarCreatedMessage()) {
        self->Readd();
        return 0;
    }
    if (msg == WM_NCDESTROY) SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

} // namespace vt::tray
