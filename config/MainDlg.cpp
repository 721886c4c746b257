#include "config/MainDlg.h"
#include <dbt.h>
#include <algorithm>
#include <cwchar>
#include <utility>
#include "VtEngine.h"
#include "device/AudioDevice.h"
#include "config/Items.h"
#include "config/MainPageCommands.h"
#include "config/pages/PageTable.h"
#include "config/popups/DamagedFilesPopup.h"
#include "config/popups/WarningPopup.h"
#include "skin/UnusableFiles.h"
#include "skin/BitmapHelpers.h"
#include "skin/PageReader.h"
#include "win/Gdi.h"
#include "skin/ItemText.h"
#include "skin/LangTable.h"
#include "skin/Messages.h"
#include "base/ProgramFolder.h"

namespace vt::config {

using namespace vt::skin;

namespace {

const int kDeviceButtonIds[kDeviceCount] = {ctl::BUTTON_PRODSELECT_MOUSE, ctl::BUTTON_PRODSELECT_KEYBOARD,
                                            ctl::BUTTON_PRODSELECT_HEADSET};
const int kPictureIds[kDeviceCount] = {ctl::BITMAP_VELTO_PYLIT, ctl::BITMAP_VELTO_TESSARAN, ctl::BITMAP_VELTO_CORVEL};
constexpr const wchar_t* kDriverPage = L"https://www.velto.example/support/dunemarch2";

} // namespace

CDmAppDlg::CDmAppDlg(IMouseConfig*& mouse, IKeyboardConfig*& keyboard, IAudioConfig*& headset, IDeviceSet& devices,
                     IPopupHost& popups, ShellOpen shell, IFileDialogs* files)
    : CGUIPanel(L"MainPage.xml", kMainTemplateId, nullptr), m_mouse(mouse), m_keyboard(keyboard), m_headset(headset),
      m_devices(devices), m_popups(popups),
      m_context{mouse, keyboard, headset, devices, popups, files ? *files : m_ownFiles, *this}, m_shell(std::move(shell)) {
    for (const PageRow& row : PageTable()) {
        m_pages[row.id] = row.make(m_context);
        if (row.isDefault) m_defaultPage[row.device] = row.id;
    }
}

CDmAppDlg::~CDmAppDlg() {
    // A window still open goes first, as when the user closes it: while it goes, its controls'
    // notices (WM_PARENTNOTIFY, WM_NOTIFY, painting) are routed to the page shown, which must
    // still be whole then. Deleting the pages' controls, or the pages, under an open window would
    // hand those notices to a page whose controls, or which itself, had been freed.
    if (m_hWnd) DestroyWindow(m_hWnd);
    m_currentPage = nullptr;
    for (auto& [id, page] : m_pages)
        if (page) DeleteAllItems(*page);
}

CDmPage* CDmAppDlg::Page(int pageId) {
    // Asked for from outside the window (tests, benchmarks): built then, as on first use.
    if (m_initFinished && !EnsureBuilt(pageId)) return nullptr;
    auto it = m_pages.find(pageId);
    return it == m_pages.end() ? nullptr : it->second.get();
}

int CDmAppDlg::CurrentPageId() const {
    for (const auto& [id, page] : m_pages)
        if (page && page.get() == m_currentPage) return id;
    return 0;
}

int CDmAppDlg::DeviceFromPath(const wchar_t* path) {
    const vt::device::DeviceIds ids = vt::device::DeviceIdsFromPath(path);
    if (ids.vendorId != VT_VENDOR_ID) return -1;
    switch (ids.productId) {
    case VT_PID_MOUSE: return kMouse;
    case VT_PID_KEYBOARD: return kKeyboard;
    case VT_PID_HEADSET: return kHeadset;
    default: return -1;
    }
}

void CDmAppDlg::BindItems() {
    for (int d = 0; d < kDeviceCount; ++d) {
        m_deviceButtons[d] = BindButton(m_items, kDeviceButtonIds[d]);
        m_pictures[d] = BindItem(m_items, kPictureIds[d], kKindBitmapItem);
    }
    m_lightingEffects = BindButton(m_items, ctl::BUTTON_LIGHTINGEFFECTS);
    m_apm = BindButton(m_items, ctl::BUTTON_APM);
    m_firmwareText = BindItem(m_items, ctl::TEXT_FIRMWAREVER_PERSIST, kKindTextItem);
    m_driverText = BindItem(m_items, ctl::TEXT_DRIVERVER_PERSIST, kKindTextItem);
    m_ok = BindButton(m_items, ctl::BUTTON_OK);
    m_applyButton = BindButton(m_items, ctl::BUTTON_APPLY);
    m_cancel = BindButton(m_items, ctl::BUTTON_CANCEL);
    for (const PageRow& row : PageTable()) m_pageButtons[size_t(row.device)][row.id] = BindButton(m_items, row.button);
}

namespace {

// The window's own look: magenta of the skin transparent, and its title.
void ApplyWindowLook(HWND window) {
    SetWindowLongPtrW(window, GWL_EXSTYLE, GetWindowLongPtrW(window, GWL_EXSTYLE) | WS_EX_LAYERED);
    SetLayeredWindowAttributes(window, RGB(255, 0, 255), 0, LWA_COLORKEY);
    SetWindowTextW(window, L"Velto Dunemarch II Configurator");
}

// Centred on the work area, at its present size.
void CentreOnWorkArea(HWND window) {
    RECT rc, work;
    GetWindowRect(window, &rc);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    SetWindowPos(window, nullptr, work.left + (work.right - work.left - (rc.right - rc.left)) / 2,
                 work.top + (work.bottom - work.top - (rc.bottom - rc.top)) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

} // namespace

void CDmAppDlg::ShowStartFrame() {
    m_startFrame = PageBackground(L"MainPage.xml");
    if (!m_startFrame || !m_hWnd) return;
    const SIZE size = BitmapSize(m_startFrame);
    SetWindowPos(m_hWnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
    CentreOnWorkArea(m_hWnd);
    ApplyWindowLook(m_hWnd);
    ShowWindow(m_hWnd, SW_SHOW);
    UpdateWindow(m_hWnd);
    GdiFlush();
    // The page is built where the window stands, and none of its building shows.
    m_keepPlace = true;
    SendMessageW(m_hWnd, WM_SETREDRAW, FALSE, 0);
}

bool CDmAppDlg::OnInitDialog() {
    // The first frame (the page's background and a word that the devices are being read) is on
    // screen before the page's controls are made, which takes most of the time before the first
    // device read.
    ShowStartFrame();
    const bool focus = CGUIPanel::OnInitDialog();   // builds MainPage.xml
    // A main page that could not be built whole is not shown: the program says which file and ends.
    std::vector<std::wstring> damaged = TakeUnusableFiles();
    if (damaged.empty() && !MainPageComplete()) damaged.push_back(L"xml\\MainPage.xml");
    if (!damaged.empty()) {
        DamagedFilesPopup report(std::move(damaged), true);
        m_popups.Run(nullptr, report);
        EndDialog(IDABORT);
        return false;
    }
    AssignWindowIds(m_items);
    m_icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(132));
    if (m_icon) {
        SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, LPARAM(m_icon));
        SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, LPARAM(m_icon));
    }
    if (!m_startFrame) ApplyWindowLook(m_hWnd);
    m_listener.RegisterDeviceNotifications(m_hWnd);

    BindItems();
    for (int d = 0; d < kDeviceCount; ++d) {
        m_deviceWindows[size_t(d)].clear();
        for (auto& [id, button] : m_pageButtons[size_t(d)])
            if (button) m_deviceWindows[size_t(d)].push_back(button);
        if (m_pictures[d]) m_deviceWindows[size_t(d)].push_back(m_pictures[d]);
    }

    // The window shows at once, with its tabs and a word that the devices are being read; the
    // devices are opened and read once it has been painted (they answer through the device engine,
    // which takes its time). The rest of its controls come with the first page.
    for (int d = 0; d < kDeviceCount; ++d) {
        for (CGUIItem* w : m_deviceWindows[size_t(d)]) ShowItemIf(w, false);
        EnableItem(m_deviceButtons[d], false);
    }
    m_startHidden.clear();
    for (CGUIItem* item : {static_cast<CGUIItem*>(m_lightingEffects), static_cast<CGUIItem*>(m_apm), m_firmwareText,
                           m_driverText, static_cast<CGUIItem*>(m_ok), static_cast<CGUIItem*>(m_applyButton),
                           static_cast<CGUIItem*>(m_cancel), FindItem(m_items, ctl::BUTTON_UPDATE)})
        if (item) {
            m_startHidden.push_back(item);
            ShowItemIf(item, false);
        }
    m_currentDevice = kNoDevice;
    UpdateWriteButtons();
    PostMessageW(m_hWnd, kFinishInitMessage, 0, 0);
    CentreOnWorkArea(m_hWnd);
    if (m_startFrame) SendMessageW(m_hWnd, WM_SETREDRAW, TRUE, 0);
    RepaintAll(m_hWnd);
    return focus;
}

void CDmAppDlg::FinishInit() {
    if (m_initFinished) return;
    m_initFinished = true;
    RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    // The controls that the panel's paint asked to paint again paint now, before the wait.
    RedrawWindow(m_hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    GdiFlush();
    // Nothing of what follows reaches the screen until the first page is whole: the first frame
    // stays until then, and the next one is the finished page.
    SendMessageW(m_hWnd, WM_SETREDRAW, FALSE, 0);
    m_collectDamage = true;
    // Only what the first page needs comes before it shows: the first device that is there,
    // opened and read, and that page built. The other devices are read once it shows (one per
    // message), the other pages are built when first shown.
    // The hold on the engine ends once the page shows: letting its objects go costs a round trip each.
    std::shared_ptr<void> held = m_devices.HoldEngine();
    for (int d = 0; d < kDeviceCount && !AnyPresent(); ++d) OpenAndRead(d);

    for (CBitmapBtn* b : m_deviceButtons)
        if (b) b->SetToggleOnClick(false);
    for (auto& buttons : m_pageButtons)
        for (auto& [id, b] : buttons)
            if (b) b->SetToggleOnClick(false);
    for (CGUIItem* item : m_startHidden) ShowItemIf(item, true);
    m_starting = false;
    // The window opens on a device that is there, with its page shown, and the tabs follow
    // presence from the start.
    m_currentDevice = kMouse;
    UpdateDeviceButtons(true);
    if (!AnyPresent()) StartNoDeviceTimer(500);
    UpdateWriteButtons();
    SendMessageW(m_hWnd, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    GdiFlush();
    m_collectDamage = false;
    held.reset();
    if (!AllRead()) PostMessageW(m_hWnd, kReadNextDeviceMessage, 0, 0);
    if (m_firstPageShown) std::exchange(m_firstPageShown, nullptr)();
    std::vector<std::wstring> damaged = std::move(m_unusableFiles);
    std::vector<std::wstring> later = TakeUnusableFiles();
    damaged.insert(damaged.end(), later.begin(), later.end());
    ReportDamaged(std::move(damaged));
}

void CDmAppDlg::ReportDamaged(std::vector<std::wstring> damaged) {
    if (damaged.empty()) return;
    if (m_collectDamage) {
        m_unusableFiles.insert(m_unusableFiles.end(), damaged.begin(), damaged.end());
        return;
    }
    // Each file once, in one message.
    std::vector<std::wstring> files;
    for (std::wstring& f : damaged)
        if (std::find(files.begin(), files.end(), f) == files.end()) files.push_back(std::move(f));
    DamagedFilesPopup report(std::move(files), false);
    m_popups.Run(m_hWnd, report);
}

void CDmAppDlg::ReadRemainingDevices() {
    bool any = false;
    std::shared_ptr<void> held = m_devices.HoldEngine();
    for (int d = 0; d < kDeviceCount; ++d)
        if (!m_read[size_t(d)]) {
            OpenAndRead(d);
            if (m_present[size_t(d)]) RefreshDevicePages(d);
            any = true;
        }
    held.reset();
    if (any) UpdateDeviceButtons(false);
}

void CDmAppDlg::OpenAndRead(int device) {
    if (device < 0 || device >= kDeviceCount || m_read[size_t(device)]) return;
    m_devices.OpenDevice(device);
    // The keyboard's layout, once the keyboard is open and before it is read.
    if (device == kKeyboard && m_devicesOpened) m_devicesOpened();
    m_present[size_t(device)] = ReadDevice(device);
    m_read[size_t(device)] = true;
    m_probed[size_t(device)] = false;
    if (device == kHeadset && m_present[kHeadset]) m_devices.SetNotifyWindow(m_hWnd);
}

bool CDmAppDlg::Settled(int device) const { return m_read[size_t(device)] || m_probed[size_t(device)]; }

bool CDmAppDlg::AllRead() const { return Settled(kMouse) && Settled(kKeyboard) && Settled(kHeadset); }

void CDmAppDlg::ReadNextDevice() {
    int device = kNoDevice;
    for (int d = 0; d < kDeviceCount && device == kNoDevice; ++d)
        if (!Settled(d)) device = d;
    if (device == kNoDevice) return;
    // The headset's object opens its Windows audio endpoints: it is opened and read when first
    // shown or needed; until then the engine's list says whether it is there.
    const int listed = device == kHeadset ? m_devices.Probe(device) : IDeviceSet::kCannotProbe;
    std::shared_ptr<void> held = m_devices.HoldEngine();
    if (listed == IDeviceSet::kCannotProbe) {
        OpenAndRead(device);
    } else {
        m_probed[size_t(device)] = true;
        m_present[size_t(device)] = listed > 0;
    }
    held.reset();
    // A page asked for before its device was read shows what was read.
    if (m_present[size_t(device)]) RefreshDevicePages(device);
    UpdateDeviceButtons(false);
    if (!AllRead()) PostMessageW(m_hWnd, kReadNextDeviceMessage, 0, 0);
    else if (!AnyPresent() && !m_timerId) StartNoDeviceTimer(500);
    UpdateWriteButtons();
}

CDmPage* CDmAppDlg::Built(int pageId) const {
    auto it = m_pages.find(pageId);
    if (it == m_pages.end() || !it->second || !m_built.count(pageId)) return nullptr;
    return it->second.get();
}

bool CDmAppDlg::EnsureBuilt(int pageId) {
    auto it = m_pages.find(pageId);
    if (it == m_pages.end() || !it->second) return false;
    if (m_built.count(pageId)) return true;
    const PageRow* row = FindPageRow(pageId);
    if (!row || !m_hWnd) return false;
    // What others reported before is theirs: set aside while the page is built, then put back.
    const std::vector<std::wstring> earlier = TakeUnusableFiles();
    std::unique_ptr<CDmPage>& page = it->second;
    const bool built = page->Build(row->file, m_hWnd);
    std::vector<std::wstring> files = TakeUnusableFiles();
    if (built && files.empty()) {
        m_built.insert(pageId);
        page->Initialise();
        files = TakeUnusableFiles();
        if (files.empty()) m_built.insert(pageId);
        else m_built.erase(pageId);
    }
    for (const std::wstring& f : earlier) ReportUnusableFile(f);
    if (m_built.count(pageId)) return true;
    // A page whose file or bitmaps cannot be used is left out, and its button with it.
    if (files.empty()) files.push_back(std::wstring(L"xml\\") + row->file);
    DeleteAllItems(*page);
    page.reset();
    DropPageButton(*row);
    ReportDamaged(std::move(files));
    return false;
}

bool CDmAppDlg::BuildUnseen(int pageId) {
    // At start-up nothing reaches the screen anyway until the first page is whole.
    if (Built(pageId) || m_collectDamage || !m_hWnd) return EnsureBuilt(pageId);
    // Nothing of a page being built shows until it is whole; what it could not use is said after.
    SendMessageW(m_hWnd, WM_SETREDRAW, FALSE, 0);
    m_collectDamage = true;
    const bool built = EnsureBuilt(pageId);
    m_collectDamage = false;
    SendMessageW(m_hWnd, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    std::vector<std::wstring> damaged = std::move(m_unusableFiles);
    m_unusableFiles.clear();
    ReportDamaged(std::move(damaged));
    return built;
}

CDmPage* CDmAppDlg::FirstPageOf(int device) {
    if (device < 0 || device >= kDeviceCount) return nullptr;
    if (EnsureBuilt(m_defaultPage[device])) return Built(m_defaultPage[device]);
    for (const PageRow& row : PageTable())
        if (row.device == device && EnsureBuilt(row.id)) {
            m_defaultPage[device] = row.id;
            return Built(row.id);
        }
    return nullptr;
}

bool CDmAppDlg::MainPageComplete() const {
    auto has = [this](int id) { return FindItem(m_items, id) != nullptr; };
    for (int id : kDeviceButtonIds)
        if (!has(id)) return false;
    for (int id : {ctl::BUTTON_OK, ctl::BUTTON_APPLY, ctl::BUTTON_CANCEL})
        if (!has(id)) return false;
    return FindItem(m_items, 0) && FindItem(m_items, 1);   // background and mask
}

void CDmAppDlg::DropPageButton(const PageRow& row) {
    auto& buttons = m_pageButtons[size_t(row.device)];
    auto it = buttons.find(row.id);
    if (it == buttons.end()) return;
    CBitmapBtn* button = it->second;
    buttons.erase(it);
    auto& windows = m_deviceWindows[size_t(row.device)];
    windows.erase(std::remove(windows.begin(), windows.end(), static_cast<CGUIItem*>(button)), windows.end());
    ShowItemIf(button, false);
}

void CDmAppDlg::OnDestroy() {
    m_listener.UnregisterDeviceNotifications();
    if (m_timerId) KillTimer(m_hWnd, kNoDeviceTimer);
    if (m_watching) KillTimer(m_hWnd, kWriteWatchTimer);
    m_timerId = 0;
    m_watching = false;
    CGUIPanel::OnDestroy();
}

// ---- pages and devices --------------------------------------------------------------------

void CDmAppDlg::ShowPage(int pageId) {
    if (m_currentDevice < 0 || m_currentDevice >= kDeviceCount || DeviceOfPage(pageId) != m_currentDevice) return;
    // Built when first shown; a page that cannot be built leaves the shown page as it is (or,
    // when none is shown yet, gives way to the device's first page that can).
    if (!BuildUnseen(pageId)) {
        if (m_currentPage) return;
        CDmPage* first = FirstPageOf(m_currentDevice);
        if (!first) return;
        pageId = m_defaultPage[m_currentDevice];
    }
    CDmPage* page = Built(pageId);
    if (page && page == m_currentPage) return;
    if (m_currentPage) m_currentPage->Leave();
    for (const PageRow& row : PageTable()) {
        CDmPage* other = Built(row.id);
        if (other && row.device == m_currentDevice && other != page) other->Show(false);
    }
    m_currentPage = page;
    m_defaultPage[m_currentDevice] = pageId;
    for (auto& [id, b] : m_pageButtons[size_t(m_currentDevice)]) SetChecked(b, id == pageId);
    if (page) {
        page->Enter();
        page->Refresh();
        page->Show(true);
    }
    RepaintAll(m_hWnd);
}

void CDmAppDlg::SwitchDevice(int device, bool forced) {
    if (device == kNoDevice) {
        SetControlsEnabled(false);
        if (m_currentPage) m_currentPage->Leave();
        for (auto& [id, page] : m_pages)
            if (Built(id)) page->Show(false);
        for (CGUIItem* pic : m_pictures) ShowItemIf(pic, false);
        m_currentPage = nullptr;
        m_currentDevice = kNoDevice;
        UpdateWriteButtons();
        RepaintAll(m_hWnd);
        return;
    }
    if (device < 0 || device >= kDeviceCount) return;
    if (!forced) {
        if (device == m_currentDevice) return;
        if (m_currentDevice >= 0 && m_currentDevice < kDeviceCount && m_modified[size_t(m_currentDevice)]) {
            const INT_PTR r = Warn(m_popups, m_hWnd, L"RefreshBeforeProductSwitchPopup.xml");
            if (r == 1) {
                if (!ApplyCurrentDevice()) {
                    UpdateWriteButtons();
                    return;
                }
                ClearModified();
            } else {
                // The edits stay in the model, unapplied; they count again when this device is
                // shown next.
                m_kept[size_t(m_currentDevice)] = true;
                ClearModified();
            }
        }
    }
    if (!m_read[size_t(device)]) {
        // A device only listed so far is opened and read as it is first shown.
        std::shared_ptr<void> held = m_devices.HoldEngine();
        OpenAndRead(device);
        held.reset();
        if (!m_present[size_t(device)]) {
            UpdateDeviceButtons(false);
            UpdateWriteButtons();
            return;
        }
    }
    const bool wasNone = m_currentDevice == kNoDevice;
    for (int d = 0; d < kDeviceCount; ++d)
        for (CGUIItem* w : m_deviceWindows[size_t(d)]) ShowItemIf(w, d == device);
    if (m_currentPage) m_currentPage->Leave();
    for (auto& [id, page] : m_pages)
        if (Built(id) && DeviceOfPage(id) != device) page->Show(false);
    m_currentDevice = device;
    if (wasNone) SetControlsEnabled(true);
    for (int d = 0; d < kDeviceCount; ++d) SetChecked(m_deviceButtons[d], d == device);
    m_currentPage = nullptr;
    ShowPage(m_defaultPage[device]);
    ShowVersionTexts(device);
    // Edits kept while another device was shown count again; a write that failed meanwhile has
    // left the device changed, and that stays.
    if (m_kept[size_t(device)]) {
        m_kept[size_t(device)] = false;
        m_modified[size_t(device)] = true;
    }
    UpdateWriteButtons();
}

void CDmAppDlg::UpdateDeviceButtons(bool force) {
    for (int d = 0; d < kDeviceCount; ++d) EnableItem(m_deviceButtons[d], m_present[size_t(d)]);
    if (m_currentDevice < 0 || m_currentDevice >= kDeviceCount || !m_present[size_t(m_currentDevice)]) force = true;
    if (!force) return;
    static const int kOrder[kDeviceCount][kDeviceCount] = {{0, 1, 2}, {1, 0, 2}, {2, 0, 1}};
    const int from = (m_currentDevice >= 0 && m_currentDevice < kDeviceCount) ? m_currentDevice : kMouse;
    int choice = kNoDevice;
    for (int d : kOrder[from])
        if (m_present[size_t(d)]) {
            choice = d;
            break;
        }
    SwitchDevice(choice, true);
}

void CDmAppDlg::MarkModified() {
    // Pages whose edits reach the device at once leave nothing to apply.
    if (m_currentPage && m_currentPage->AppliesLive()) return;
    if (m_currentDevice < 0 || m_currentDevice >= kDeviceCount) return;
    m_modified[size_t(m_currentDevice)] = true;
    UpdateWriteButtons();
}

void CDmAppDlg::MarkDeviceChanged(int device) {
    if (device == m_currentDevice) MarkModified();
    else if (Present(device)) m_kept[size_t(device)] = true;
}

void CDmAppDlg::ClearModified() {
    if (m_currentDevice >= 0 && m_currentDevice < kDeviceCount) m_modified[size_t(m_currentDevice)] = false;
    UpdateWriteButtons();
}

bool CDmAppDlg::CurrentBusy() {
    return m_currentDevice >= 0 && m_currentDevice < kDeviceCount && m_devices.IsBusy(m_currentDevice);
}

void CDmAppDlg::UpdateWriteButtons() {
    // Apply (and OK) wait while the shown device's last write still runs.
    const bool valid = m_currentDevice >= 0 && m_currentDevice < kDeviceCount;
    const bool busy = CurrentBusy();
    EnableItem(m_applyButton, !m_controlsDisabled && valid && m_modified[size_t(m_currentDevice)] && !busy);
    EnableItem(m_ok, !m_controlsDisabled && !busy && (valid || m_currentDevice == kNoDevice));
}

void CDmAppDlg::SetControlsEnabled(bool enable) {
    for (int d = 0; d < kDeviceCount; ++d) {
        if (!m_present[size_t(d)]) continue;
        EnableItem(m_deviceButtons[d], enable);
        if (d != kHeadset)
            for (auto& [id, b] : m_pageButtons[size_t(d)]) EnableItem(b, enable);
    }
    EnableItem(m_ok, enable);
    EnableItem(m_cancel, enable);
    EnableItem(m_lightingEffects, enable);
    EnableItem(m_apm, enable);
    const bool valid = m_currentDevice >= 0 && m_currentDevice < kDeviceCount;
    EnableItem(m_applyButton, enable && valid && m_modified[size_t(m_currentDevice)]);
}

void CDmAppDlg::ShowVersionTexts(int device) {
    const std::wstring fw = LanguageText(L"$FirmwareVersion", L"Firmware Version");
    const std::wstring dv = LanguageText(L"$DriverVersion", L"Driver Version");
    std::wstring version;
    if (device == kMouse || device == kKeyboard || device == kHeadset) {
        if (m_devices.FirmwareVersion(device, version) && (device != kHeadset || !version.empty()))
            SetItemText(m_firmwareText, fw + L": " + version);
        if (m_devices.DriverVersion(device, version) && (device != kHeadset || !version.empty()))
            SetItemText(m_driverText, dv + L": " + version);
    } else {
        SetItemText(m_firmwareText, fw + L": 0.00");
        SetItemText(m_driverText, dv + L": 0.00");
    }
}

bool CDmAppDlg::StillThereAfterFailure(int device) {
    const int listed = m_devices.Listed(device);
    if (listed > 0) return true;
    if (listed == 0) return false;
    // The engine does not answer: presence stays as it was (the notices change it), the edits
    // stay, and the user is told once until an operation succeeds again.
    if (!m_engineWarned && m_hWnd) {
        m_engineWarned = true;
        Warn(m_popups, m_hWnd, L"NoMousePopup.xml", L"$EngineNotAnswering");
    }
    return m_present[size_t(device)];
}

bool CDmAppDlg::ReadDevice(int device) {
    if (m_devices.Read(device)) m_engineWarned = false;
    else if (!StillThereAfterFailure(device)) return false;
    // A mouse or keyboard that leaves no current profile cannot be edited: it counts as absent
    // (only a program left without any device closes).
    if (device == kMouse && m_mouse) {
        if (!m_mouse->GetCurrentProfile()) m_mouse->SetCurrentProfile(m_mouse->GetProfileAt(0));
        return m_mouse->GetCurrentProfile() != nullptr;
    }
    if (device == kKeyboard && m_keyboard) {
        if (!m_keyboard->GetCurrentProfile()) m_keyboard->SetCurrentProfile(m_keyboard->GetProfileAt(0));
        return m_keyboard->GetCurrentProfile() != nullptr;
    }
    return true;
}

bool CDmAppDlg::ReadAllDevices() {
    for (int d = 0; d < kDeviceCount; ++d) {
        m_present[size_t(d)] = ReadDevice(d);
        m_read[size_t(d)] = true;
    }
    if (!m_present[kMouse] && !m_present[kKeyboard] && !m_present[kHeadset]) {
        SwitchDevice(kNoDevice, true);
        StartNoDeviceTimer(500);
        return false;
    }
    return true;
}

bool CDmAppDlg::ApplyCurrentDevice() {
    const int d = m_currentDevice;
    if (d < 0 || d >= kDeviceCount) return false;
    // A device still writing is busy, not gone: the apply waits for it (the buttons are greyed
    // until it ends) and its presence stays as it was.
    if (m_devices.IsBusy(d)) return false;
    const bool ok = m_devices.StartWrite(d);
    // A write that could not start leaves the edits unapplied: Apply is offered again.
    m_present[size_t(d)] = ok || StillThereAfterFailure(d);
    if (ok) {
        m_engineWarned = false;
        m_writing[size_t(d)] = true;
        if (!m_watching && m_hWnd) m_watching = SetTimer(m_hWnd, kWriteWatchTimer, 100, nullptr) != 0;
    }
    if (!AnyPresent()) {
        if (AllRead()) StartNoDeviceTimer(500);
        return false;
    }
    return ok;
}

void CDmAppDlg::RefreshDevicePages(int device) {
    std::vector<const PageRow*> rows;
    for (const PageRow& row : PageTable())
        if (row.device == device && row.refreshOrder > 0) rows.push_back(&row);
    std::stable_sort(rows.begin(), rows.end(),
                     [](const PageRow* a, const PageRow* b) { return a->refreshOrder < b->refreshOrder; });
    // Pages not built yet read the model when they are.
    for (const PageRow* row : rows)
        if (CDmPage* page = Built(row->id)) {
            page->Refresh();
            // Only the shown page's controls are ever visible.
            if (page != m_currentPage) page->Show(false);
        }
}

bool CDmAppDlg::AnyPresent() const { return m_present[kMouse] || m_present[kKeyboard] || m_present[kHeadset]; }

bool CDmAppDlg::RecheckDevices() {
    for (int d = 0; d < kDeviceCount; ++d) {
        if (m_present[size_t(d)]) continue;
        if (m_probed[size_t(d)]) m_present[size_t(d)] = m_devices.Probe(d) > 0;
        if (!m_read[size_t(d)]) continue;
        const bool recreated = m_devices.Recreate(d);
        m_present[size_t(d)] = ReadDevice(d);
        if (recreated && m_present[size_t(d)]) {
            RefreshDevicePages(d);
            if (d == kHeadset) m_devices.SetNotifyWindow(m_hWnd);
        }
    }
    if (!AnyPresent()) return false;
    if (m_timerId) KillTimer(m_hWnd, kNoDeviceTimer);
    m_timerId = 0;
    UpdateDeviceButtons(m_currentDevice == kNoDevice);
    UpdateWriteButtons();
    return true;
}

void CDmAppDlg::StartNoDeviceTimer(UINT ms) {
    if (!m_hWnd) return;
    m_timerId = SetTimer(m_hWnd, kNoDeviceTimer, ms, nullptr);
}

void CDmAppDlg::OnDeviceChange(int device, bool arrived) {
    // Before the devices are first opened and read, a notice changes nothing: the read comes.
    if (device < 0 || device >= kDeviceCount || !m_initFinished) return;
    if (m_probed[size_t(device)]) {
        // Not opened yet: the engine's list says whether it is there; it is read when shown.
        m_present[size_t(device)] = arrived && m_devices.Probe(device) > 0;
        UpdateDeviceButtons(false);
        if (!AnyPresent() && AllRead()) StartNoDeviceTimer(100);
        UpdateWriteButtons();
        return;
    }
    if (!m_read[size_t(device)]) return;
    std::shared_ptr<void> held = m_devices.HoldEngine();
    const bool recreated = m_devices.Recreate(device);
    if (arrived) m_present[size_t(device)] = ReadDevice(device);
    else m_present[size_t(device)] = false;
    held.reset();
    if (recreated && m_present[size_t(device)]) {
        RefreshDevicePages(device);
        if (device == kHeadset) m_devices.SetNotifyWindow(m_hWnd);
    }
    if (!arrived) m_writing[size_t(device)] = false;
    if (!arrived && device == m_currentDevice) {
        m_kept[size_t(device)] = m_modified[size_t(device)];
        ClearModified();
    }
    if (arrived && m_currentDevice == kNoDevice && m_present[size_t(device)]) {
        // A device came back before the warning: the program goes on with it.
        if (m_timerId) KillTimer(m_hWnd, kNoDeviceTimer);
        m_timerId = 0;
    }
    UpdateDeviceButtons(false);
    // While a device is still to be read for the first time, its read decides.
    if (!AnyPresent() && AllRead()) StartNoDeviceTimer(100);
    UpdateWriteButtons();
}

// ---- commands and messages ------------------------------------------------------------------

void CDmAppDlg::OpenOrSayWhere(const std::wstring& target, const wchar_t* textKey) {
    if (!m_shell || m_shell(target)) return;
    Warn(m_popups, m_hWnd, L"OpenFailedPopup.xml", (LanguageText(textKey) + L"\n" + target).c_str());
}

bool CDmAppDlg::DispatchItem(CGUIItem* item) {
    if (item->m_kind != kKindBitmapBtn && item->m_kind != kKindTextItem) return false;
    const int id = item->m_controlId;
    switch (id) {
    case ctl::BUTTON_HELP: OpenOrSayWhere(vt::base::ProgramFolder() + L"Manuals\\index.html", L"$ManualNotOpened"); return true;
    case ctl::BUTTON_EXIT:
    case ctl::BUTTON_CANCEL:
        if (m_currentPage) m_currentPage->OnClosing();
        PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
        return true;
    case ctl::BUTTON_OK:
        if (CurrentBusy()) return true;
        ApplyCurrentDevice();
        PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
        return true;
    case ctl::BUTTON_APPLY:
        if (CurrentBusy()) return true;
        // Only a write that started counts as applied; a failed one keeps the edits unapplied.
        if (ApplyCurrentDevice()) ClearModified();
        UpdateDeviceButtons(false);
        UpdateWriteButtons();
        return true;
    case ctl::BUTTON_UPDATE: OpenOrSayWhere(kDriverPage, L"$UpdatesNotOpened"); return true;
    case ctl::BUTTON_PRODSELECT_MOUSE: SwitchDevice(kMouse, false); return true;
    case ctl::BUTTON_PRODSELECT_KEYBOARD: SwitchDevice(kKeyboard, false); return true;
    case ctl::BUTTON_PRODSELECT_HEADSET: SwitchDevice(kHeadset, false); return true;
    default: break;
    }
    for (const PageRow& row : PageTable())
        if (row.button == id) {
            ShowPage(row.id);
            return true;
        }
    for (const MainPageCommand& command : MainPageCommands())
        if (command.button == id) {
            // A command over every device's configuration needs them all read.
            ReadRemainingDevices();
            const int device = m_currentDevice >= 0 && m_currentDevice < kDeviceCount ? m_currentDevice : -1;
            if (command.run(m_context, device)) MarkModified();
            return true;
        }
    return false;
}

bool CDmAppDlg::OnCommand(WORD id, WORD code, HWND control) {
    if (control) {
        if (CGUIItem* item = FindItemByWindow(m_items, control)) {
            DispatchItem(item);
        } else if (m_currentPage) {
            // A command of a page control: the page acts on it and says whether it was an edit.
            if (CGUIItem* pageItem = FindItemByWindow(*m_currentPage, control))
                if (m_currentPage->OnItemCommand(*pageItem, code)) MarkModified();
        }
    }
    UpdateWriteButtons();
    return CGUIPanel::OnCommand(id, code, control);
}

bool CDmAppDlg::OnTimer(UINT_PTR id) {
    if (id == kNoDeviceTimer && m_timerId) {
        KillTimer(m_hWnd, kNoDeviceTimer);
        m_timerId = 0;
        Warn(m_popups, m_hWnd, L"NoMousePopup.xml");
        // Devices may have come back while the warning showed: the program goes on with them.
        if (!RecheckDevices()) PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
        return true;
    }
    if (id == kWriteWatchTimer) {
        bool still = false;
        for (int d = 0; d < kDeviceCount; ++d) {
            if (!m_writing[size_t(d)]) continue;
            if (m_devices.IsBusy(d)) {
                still = true;
                continue;
            }
            m_writing[size_t(d)] = false;
            // A write that failed on the worker leaves its edits unapplied: Apply offers itself again.
            if (m_devices.LastWriteResult(d) == 0) {
                m_modified[size_t(d)] = true;
                m_present[size_t(d)] = StillThereAfterFailure(d);
            }
        }
        if (!still) {
            KillTimer(m_hWnd, kWriteWatchTimer);
            m_watching = false;
        }
        UpdateWriteButtons();
        return true;
    }
    return false;
}

void CDmAppDlg::OnOK() {
    if (CurrentBusy() || (m_currentPage && !m_currentPage->CanClose())) return;
    ApplyCurrentDevice();
    EndDialog(IDOK);
}

void CDmAppDlg::OnCancel() {
    if (m_currentPage && !m_currentPage->CanClose()) return;
    EndDialog(IDCANCEL);
}

LRESULT CDmAppDlg::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_NCHITTEST: {
        LRESULT hit = DefWindowProcW(m_hWnd, msg, wParam, lParam);
        SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, hit == HTCLIENT ? HTCAPTION : hit);
        return hit == HTCLIENT ? HTCAPTION : hit;
    }
    case WM_DEVICECHANGE:
        if ((wParam == DBT_DEVICEARRIVAL || wParam == DBT_DEVICEREMOVECOMPLETE) && lParam) {
            const auto* hdr = reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam);
            if (hdr->dbch_devicetype == DBT_DEVTYP_DEVICEINTERFACE) {
                const auto* b = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W*>(lParam);
                // The name is read only within the record's own size.
                const size_t chars = hdr->dbch_size > offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name)
                                         ? (hdr->dbch_size - offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name)) / sizeof(wchar_t)
                                         : 0;
                const std::wstring name(b->dbcc_name, wcsnlen(b->dbcc_name, chars));
                OnDeviceChange(DeviceFromPath(name.c_str()), wParam == DBT_DEVICEARRIVAL);
            }
        }
        SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, TRUE);
        return TRUE;
    case kFinishInitMessage:
        FinishInit();
        return 0;
    case kReadNextDeviceMessage:
        ReadNextDevice();
        return 0;
    case WM_HEADSET_MIC_CHANGED:
    case WM_HEADSET_LEVELS_CHANGED:
        // The headset's own changes (posted from its audio callbacks): every headset page hears them.
        for (const PageRow& row : PageTable())
            if (CDmPage* page = Built(row.id); page && row.device == kHeadset) page->OnDeviceNotice(msg, wParam, lParam);
        return 0;
    case MM_MIXM_CONTROL_CHANGE:
        // The waveform mixer's change notice (the headset's levels before core audio): the headset's
        // device object reads the control and reports like an endpoint change.
        if (::IAudioDevice* headset = m_devices.HeadsetDevice()) headset->WinVolPassthrough(HMIXER(wParam), DWORD(lParam));
        return 0;
    default: break;
    }
    // Everything else is first the shown page's (its controls' notifications).
    if (m_currentPage) {
        LRESULT result = 0;
        if (m_currentPage->OnMessage(msg, wParam, lParam, result)) {
            UpdateWriteButtons();
            return result;
        }
    }
    return CGUIPanel::WindowProc(msg, wParam, lParam);
}

// The start frame's background is painted whole: never erased to the class's colour first.
bool CDmAppDlg::OnEraseBkgnd(HDC dc) { return m_startFrame || CGUIPanel::OnEraseBkgnd(dc); }

bool CDmAppDlg::OnPaint() {
    HBITMAP background = m_background && *m_background ? m_background->Get() : m_startFrame;
    if (m_starting && background) {
        // The first frame: the window's background, its tabs, and a word that the devices are
        // being read.
        vt::win::PaintDC dc(m_hWnd);
        RECT rc;
        GetClientRect(m_hWnd, &rc);
        {
            vt::win::MemoryDC mem(dc);
            vt::win::SelectGuard sel(mem, background);
            BitBlt(dc, 0, 0, rc.right, rc.bottom, mem, 0, 0, SRCCOPY);
        }
        const std::wstring text = LanguageText(L"$ReadingDevices", L"Reading the devices...");
        RECT card{222, 72, 868, 536};
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(0xc8, 0xd0, 0xda));
        vt::win::SelectGuard font(dc, GetStockObject(DEFAULT_GUI_FONT));
        DrawTextW(dc, text.c_str(), int(text.size()), &card, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        return true;
    }
    return PaintUnderChildren(m_hWnd, [this] { return CGUIPanel::OnPaint(); });
}

} // namespace vt::config
