#include "tray/TrayDlg.h"
#include <dbt.h>
#include <objbase.h>
#include <wtsapi32.h>
#include <string>
#include "skin/LangTable.h"
#include "skin/PageReader.h"
#include "base/ProgramFolder.h"
#include "skin/Vocabulary.h"
#include "tray/DeviceManager.h"
#include "tray/DeviceTable.h"
#include "tray/Osd.h"
#include "tray/PcManager.h"
#include "tray/TrayMenu.h"
#include "tray/TraySystem.h"
#include "win/Handles.h"

namespace vt::tray {

namespace {

constexpr int kDisplayBarMaximum = 20;
const GUID kHidInterfaceClass = {0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};

INT_PTR CALLBACK AboutProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM) {
    if (msg == WM_INITDIALOG) return TRUE;
    if (msg == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(hwnd, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

} // namespace

bool ReadTrayLanguageSetting(HKEY root, const wchar_t* keyPath, std::wstring& name) {
    HKEY raw = nullptr;
    if (RegCreateKeyExW(root, keyPath, 0, nullptr, 0, KEY_READ, nullptr, &raw, nullptr) != ERROR_SUCCESS) return false;
    vt::win::RegKey key(raw);
    WCHAR buffer[256] = {};
    DWORD type = 0, bytes = 510;
    if (RegQueryValueExW(key.Get(), L"Language", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes) != ERROR_SUCCESS)
        return false;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
    buffer[std::min<size_t>(bytes / sizeof(WCHAR), 255)] = L'\0';  // a stored text need not end in a terminator
    name = buffer;
    return true;
}

CTolmSysTrayDlg::CTolmSysTrayDlg(CDeviceManager& devices, HINSTANCE instance)
    : m_devices(devices),
      m_instance(instance ? instance : GetModuleHandleW(nullptr)),
      m_switch(devices, m_display),
      m_recorder(devices) {
    m_windowIcon = LoadIconW(m_instance, MAKEINTRESOURCEW(kWindowIconId));
    m_trayIcon = LoadIconW(m_instance, MAKEINTRESOURCEW(kTrayIconResourceId));
    m_comInitialised = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
}

CTolmSysTrayDlg::~CTolmSysTrayDlg() {
    if (m_hWnd) DestroyWindow(m_hWnd);
    delete m_display;
    m_display = nullptr;
    vt::skin::DeleteAllItems(m_languagePage);
    if (m_comInitialised) CoUninitialize();
}

bool CTolmSysTrayDlg::Create() { return CreateModeless(nullptr, kTrayDialogId, m_instance) && m_hWnd; }

void CTolmSysTrayDlg::LoadLanguage() {
    vt::skin::BuildVocabularyTables();
    std::wstring name;
    int32_t id = vt::skin::kDefaultLanguageId;
    if (ReadTrayLanguageSetting(HKEY_LOCAL_MACHINE, kLanguageKey, name)) id = vt::skin::FindLanguageIdByName(name);
    vt::skin::SetSelectedLanguageId(id);
    vt::skin::LoadSkinPage(m_languagePage, L"Language.xml", nullptr);
    auto found = vt::skin::LanguageMap().find(id);
    if (found != vt::skin::LanguageMap().end()) vt::skin::SetCurrentLanguageTable(found->second);
}

bool CTolmSysTrayDlg::OnInitDialog() {
    if (HMENU systemMenu = GetSystemMenu(m_hWnd, FALSE)) {
        wchar_t about[128] = {};
        if (LoadStringW(m_instance, kAboutStringId, about, int(std::size(about))) > 0) {
            AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
            AppendMenuW(systemMenu, MF_STRING, kAboutCommand, about);
        }
    }
    SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_windowIcon));
    SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_windowIcon));
    if (vt::base::ProgramFolder().empty()) vt::base::InitProgramFolder();
    LoadLanguage();

    if (!m_icon.CreateTrayIcon(m_hWnd, m_trayIcon, m_instance)) {
        // Without its icon nobody could reach or close the tray, and it would keep every later
        // start out: say so and end.
        System().messageBox(m_hWnd, L"Failed to create tray icon 1", MB_ICONSTOP | MB_OK);
        DestroyWindow(m_hWnd);
        return false;
    }
    m_display = new COsdDisplay(m_instance);
    m_display->SetBarMaximum(kDisplayBarMaximum);
    if (FAILED(m_display->CreateOsdWindows())) {
        delete m_display;
        m_display = nullptr;
    }
    SetTimer(m_hWnd, kSwitchTimer, kSwitchIntervalMs, nullptr);
    if (!m_deviceNotify) {
        DEV_BROADCAST_DEVICEINTERFACE_W filter{};
        filter.dbcc_size = sizeof(filter);
        filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
        filter.dbcc_classguid = kHidInterfaceClass;
        m_deviceNotify = RegisterDeviceNotificationW(m_hWnd, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
    }
    m_sessionRegistered = WTSRegisterSessionNotification(m_hWnd, NOTIFY_FOR_THIS_SESSION) != FALSE;
    m_devices.FillDeviceMap();
    if (!m_devices.AllDevicesConnected()) m_devices.ConnectAllDevices(this);
    return true;
}

void CTolmSysTrayDlg::OnFinalMessage() { PostQuitMessage(0); }

void CTolmSysTrayDlg::CloseSequence() {
    if (m_closing || !m_hWnd) return;
    m_closing = true;
    for (const DeviceTableEntry& row : TrayDeviceTable()) m_recorder.OnCancel(row.pid);
    m_devices.DisconnectAll();
    if (m_sessionRegistered) WTSUnRegisterSessionNotification(m_hWnd);
    m_sessionRegistered = false;
    if (m_deviceNotify) UnregisterDeviceNotification(m_deviceNotify);
    m_deviceNotify = nullptr;
    KillTimer(m_hWnd, kSwitchTimer);
    DestroyWindow(m_hWnd);
}

void CTolmSysTrayDlg::BuildTrayMenu() {
    HMENU menu = vt::tray::BuildTrayMenu(m_instance, m_devices, vt::skin::CurrentLanguageTable());
    if (!menu) return;
    m_closeCommand = kCmdCloseTray;
    m_icon.SetMenu(menu, kCmdLoadConfig);
}

void CTolmSysTrayDlg::OnTrayIcon(WPARAM iconId, LPARAM mouseMessage) {
    switch (LOWORD(mouseMessage)) {
    case WM_LBUTTONDOWN:
        GetCursorPos(&m_clickPoint);
        m_clickTimer = SetTimer(m_hWnd, kClickTimer, GetDoubleClickTime(), nullptr);
        break;
    case WM_LBUTTONDBLCLK:
        KillTimer(m_hWnd, kClickTimer);
        m_clickTimer = 0;
        CPcManager::StartConfigProgramIfNotRunning();
        break;
    case WM_RBUTTONUP:
        BuildTrayMenu();
        m_icon.ShowTrayMenuAtCursor(UINT(iconId), WM_RBUTTONUP);
        break;
    default: break;
    }
}

void CTolmSysTrayDlg::OnSessionChange(WPARAM code) {
    switch (code) {
    case WTS_CONSOLE_CONNECT: case WTS_SESSION_LOGON: case WTS_SESSION_UNLOCK:
        if (!m_devices.AllDevicesConnected()) m_devices.ConnectAllDevices(this);
        break;
    case WTS_CONSOLE_DISCONNECT: case WTS_SESSION_LOGOFF: case WTS_SESSION_LOCK:
        m_devices.DisconnectAll();
        for (const DeviceTableEntry& row : TrayDeviceTable()) m_recorder.OnCancel(row.pid);
        break;
    default: break;
    }
}

void CTolmSysTrayDlg::OnDeviceRemoved(int32_t pid) {
    m_recorder.Reset(pid);
    m_devices.DisconnectDeviceEvents(pid);
}

void CTolmSysTrayDlg::ShowAbout() { DialogBoxParamW(m_instance, MAKEINTRESOURCEW(kAboutDialogId), m_hWnd, AboutProc, 0); }

LRESULT CTolmSysTrayDlg::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == kAboutCommand) {
            ShowAbout();
            return 0;
        }
        break;
    case WM_PAINT:
        if (IsIconic(m_hWnd)) {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(m_hWnd, &ps);
            RECT r;
            GetClientRect(m_hWnd, &r);
            DrawIcon(dc, (r.right - GetSystemMetrics(SM_CXICON) + 1) / 2, (r.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2,
                     m_windowIcon);
            EndPaint(m_hWnd, &ps);
            return 0;
        }
        break;
    case WM_QUERYDRAGICON: return reinterpret_cast<LRESULT>(m_windowIcon);
    case WM_DEVICECHANGE:
        for (const DeviceNotice& n : ReadDeviceNotice(wParam, reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam)))
            PostMessageW(m_hWnd, n.message, n.pid, 0);
        return TRUE;
    case WM_WTSSESSION_CHANGE:
        // The notice may come as a message sent by another process, where no outgoing COM call is
        // allowed: the engine work follows in the ordinary message flow, as for device notices.
        PostMessageW(m_hWnd, WM_TRAY_SESSION_CHANGE, wParam, 0);
        return 0;
    case WM_TRAY_SESSION_CHANGE: OnSessionChange(wParam); return 0;
    case WM_TRAY_ICON: OnTrayIcon(wParam, lParam); return 0;
    case WM_COMMAND: {
        const UINT id = LOWORD(wParam);
        if (id == kCmdLoadConfig) {
            CPcManager::StartConfigProgramIfNotRunning();
            return 0;
        }
        if (m_closeCommand && id == m_closeCommand) {
            CloseSequence();
            return 0;
        }
        int row = 0, index = 0;
        if (ProfileCommand(id, row, index)) {
            m_switch.SelectProfileFromMenu(index, row);
            return 0;
        }
        if (id == IDOK || id == IDCANCEL) return 0;  // never ends the tray
        break;
    }
    case WM_TRAY_DEVICE_REMOVED: OnDeviceRemoved(int32_t(wParam)); return 0;
    case WM_TRAY_DEVICE_ARRIVED:
        if (!m_devices.IsDeviceConnected(int32_t(wParam))) m_devices.ConnectDeviceEvents(int32_t(wParam), this);
        return 0;
    case WM_TRAY_DEVICE_NODES_CHANGED:
        for (const DeviceTableEntry& row : TrayDeviceTable()) {
            bool present = false;
            {
                ScopedDevice client(m_devices, row.pid);
                present = client->IsPresent();
            }
            if (!present) OnDeviceRemoved(row.pid);
        }
        return 0;
    case WM_TIMER:
        if (wParam == kSwitchTimer) {
            // An engine that ended under the tray (a crash) took the event subscriptions with it;
            // the next engine is started by the first call that needs one.
            for (int32_t pid : m_devices.ReconnectLost(this)) m_recorder.Reset(pid);
            m_switch.OnTick();
            return 0;
        }
        if (wParam == kClickTimer && m_clickTimer && wParam == m_clickTimer) {
            KillTimer(m_hWnd, kClickTimer);
            m_clickTimer = 0;
            BuildTrayMenu();
            m_icon.ShowTrayMenu(kTrayIconId, WM_RBUTTONUP, m_clickPoint);
            return 0;
        }
        break;
    case WM_CLOSE: CloseSequence(); return 0;
    case WM_INPUT:
        m_recorder.RecordRawInput(reinterpret_cast<HRAWINPUT>(lParam));
        break;
    default: break;
    }
    return Dialog::WindowProc(msg, wParam, lParam);
}

void CTolmSysTrayDlg::OnDpiChanged(int32_t pid, uint32_t x, uint32_t y) {
    bool show = false;
    uint32_t minimum = 0, maximum = 0, step = 0;
    {
        ScopedDevice client(m_devices, pid);
        std::wstring active;
        _Profile_Setting_ setting;
        if (client->GetActiveProfileName(active) && client->GetProfileSetting(active, setting)) show = setting.showDpi != 0;
        if (!client->GetDpiRange(minimum, maximum, step)) maximum = 0;
    }
    if (m_display && show) m_display->ShowDpi(DecideDpiOsd(x, y, maximum, m_display->BarMaximum()));
}

void CTolmSysTrayDlg::OnProfileChanged(int32_t pid, uint32_t) {
    ScopedDevice client(m_devices, pid);
    std::wstring active;
    if (!client->GetActiveProfileName(active)) return;
    _Profile_Setting_ setting;
    client->GetProfileSetting(active, setting);
    if (setting.showProfile == 1 && m_display) m_display->ShowProfileOsd(active.c_str());
}

void CTolmSysTrayDlg::OnLaunchApp(int32_t, int32_t kind, const wchar_t* path) {
    if (kind == 1 && path && *path) System().shellOpen(L"open", path, nullptr);
}

void CTolmSysTrayDlg::OnMacroRecordStart(int32_t pid) { m_recorder.OnStart(pid, m_hWnd); }
void CTolmSysTrayDlg::OnMacroRecordStop(int32_t pid) { m_recorder.OnStop(pid); }
void CTolmSysTrayDlg::OnMacroRecordCancel(int32_t pid) { m_recorder.OnCancel(pid); }
void CTolmSysTrayDlg::OnMacroRecordAssign(int32_t pid, uint32_t a, uint32_t b) { m_recorder.OnAssign(pid, a, b); }

} // namespace vt::tray
