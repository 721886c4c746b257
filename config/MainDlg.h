#pragma once
// The program's only main window: the device tabs, each device's page buttons and pages, the
// version texts, Apply / OK / Cancel, and the reaction to devices arriving and leaving. The pages
// come from the page table (config/pages/PageTable.h); the window holds no page's behaviour.
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <vector>
#include "config/DeviceSet.h"
#include "config/FileDialogs.h"
#include "config/pages/Page.h"
#include "config/popups/Popup.h"
#include "device/DeviceListener.h"
#include "skin/BitmapBtn.h"
#include "skin/Panel.h"

namespace vt::config {

struct PageRow;

constexpr UINT kMainTemplateId = 102;
constexpr UINT_PTR kNoDeviceTimer = 1;
constexpr UINT_PTR kWriteWatchTimer = 2;
constexpr UINT kFinishInitMessage = WM_APP + 1;
constexpr UINT kReadNextDeviceMessage = WM_APP + 2;

class CDmAppDlg : public vt::skin::CGUIPanel, private IPageSite {
public:
    // Opens a file or address with the shell; false when it could not.
    using ShellOpen = std::function<bool(const std::wstring& target)>;
    // files: the file dialogs pages use (null: the program's own).
    CDmAppDlg(IMouseConfig*& mouse, IKeyboardConfig*& keyboard, IAudioConfig*& headset, IDeviceSet& devices,
              IPopupHost& popups, ShellOpen shell = {}, IFileDialogs* files = nullptr);
    ~CDmAppDlg() override;

    void BindItems() override;
    // Runs once the keyboard is open and before it is read (start-up's keyboard layout).
    void SetDevicesOpenedStep(std::function<void()> step) { m_devicesOpened = std::move(step); }
    // Runs once, right after the first page has been painted (work that can wait until the user
    // sees the window, such as starting the tray program).
    void SetFirstPageShownStep(std::function<void()> step) { m_firstPageShown = std::move(step); }
    // Files start-up could not use (language, keyboard layout): reported with the pages' own.
    void AddUnusableFiles(std::vector<std::wstring> files) {
        m_unusableFiles.insert(m_unusableFiles.end(), files.begin(), files.end());
    }
    INT_PTR Run() { return DoModal(); }

    void ShowPage(int pageId);
    void SwitchDevice(int device, bool forced);
    void UpdateDeviceButtons(bool force);
    void MarkModified();
    void ClearModified();
    void SetControlsEnabled(bool enable) override;
    void ShowVersionTexts(int device);
    bool ReadAllDevices();
    bool ApplyCurrentDevice();
    void RefreshDevicePages(int device) override;

    // State, for tests and the window's own use.
    int CurrentDevice() const { return m_currentDevice; }
    int CurrentPageId() const;
    bool Present(int device) const { return device >= 0 && device < kDeviceCount && m_present[size_t(device)]; }
    bool Modified(int device) const { return device >= 0 && device < kDeviceCount && m_modified[size_t(device)]; }
    bool KeptModified(int device) const { return device >= 0 && device < kDeviceCount && m_kept[size_t(device)]; }
    bool TimerRunning() const { return m_timerId != 0; }
    // The page with that id, built if it was not yet (after the first page showed); null when its
    // page file or bitmaps could not be used.
    CDmPage* Page(int pageId);
    // Whether the device has been opened and read since start (the first device before the window
    // shows its page, the others one by one after; the headset when first shown).
    bool IsPageBuilt(int pageId) const { return Built(pageId) != nullptr; }
    bool ReadSinceStart(int device) const { return device >= 0 && device < kDeviceCount && m_read[size_t(device)]; }
    // The device a device-interface path names (0 mouse, 1 keyboard, 2 headset), or -1 for other
    // vendors and products.
    static int DeviceFromPath(const wchar_t* path);

    // Device presence, as WM_DEVICECHANGE runs it.
    void OnDeviceChange(int device, bool arrived);

protected:
    bool OnInitDialog() override;
    void ShowStartFrame();
    bool OnPaint() override;
    bool OnEraseBkgnd(HDC dc) override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    bool OnTimer(UINT_PTR id) override;
    void OnOK() override;
    void OnCancel() override;
    void OnDestroy() override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    // The second half of the initialisation, after the window's first paint: the first device
    // that is there opened and read and its first page built and shown.
    void FinishInit();
    // Opens and reads a device for the first time (once per device).
    void OpenAndRead(int device);
    // Reads the next device not read since start (one per message, after the first page showed).
    void ReadNextDevice();
    // Opens and reads, at once, every device not read yet (a command over every configuration).
    void ReadRemainingDevices();
    // Read, or (the headset) listed by the engine and left to be opened when first shown.
    bool Settled(int device) const;
    bool AllRead() const;
    // The page if it has been built (null: not yet, or it could not be).
    CDmPage* Built(int pageId) const;
    // Builds and initialises a page on first use; false when it cannot be used (it is then left
    // out with its button, and its files are reported).
    bool EnsureBuilt(int pageId);
    // EnsureBuilt for a page about to show: the window shows nothing of it until it is whole.
    bool BuildUnseen(int pageId);
    // The device's page shown first (its last shown page, else its first page that can be built).
    CDmPage* FirstPageOf(int device);
    // Says which files could not be used (during start-up: once the first page shows).
    void ReportDamaged(std::vector<std::wstring> damaged);
    bool ReadDevice(int device);
    // After a read or write of the device failed: whether it is still there; tells the user once
    // when the device engine does not answer.
    bool StillThereAfterFailure(int device);
    void StartNoDeviceTimer(UINT ms);
    bool AnyPresent() const;
    // The main page has what the window cannot do without (tabs, OK / Apply / Cancel, background, mask).
    bool MainPageComplete() const;
    // Hides a page's button for good (its page could not be built).
    void DropPageButton(const PageRow& row);
    // Reads every device not present again (after the no-device warning); true when one is there
    // now, which is then shown.
    bool RecheckDevices();
    // Opens a file or address with the shell; when that fails, a popup says what could not be
    // opened (the language text of textKey) and names it.
    void OpenOrSayWhere(const std::wstring& target, const wchar_t* textKey);
    void UpdateWriteButtons();
    bool CurrentBusy();
    bool DispatchItem(vt::skin::CGUIItem* item);
    // IPageSite
    HWND Owner() const override { return m_hWnd; }
    void MarkChanged() override { MarkModified(); }
    void MarkDeviceChanged(int device) override;
    CDmPage* ShownPage() const override { return m_currentPage; }
    CDmPage* FindPage(int pageId) const override { return Built(pageId); }

    IMouseConfig*& m_mouse;
    IKeyboardConfig*& m_keyboard;
    IAudioConfig*& m_headset;
    IDeviceSet& m_devices;
    IPopupHost& m_popups;
    FileDialogs m_ownFiles;
    PageContext m_context;
    ShellOpen m_shell;
    std::function<void()> m_devicesOpened;
    std::function<void()> m_firstPageShown;
    std::vector<std::wstring> m_unusableFiles;
    bool m_starting = true;                          // until the first page shows
    HBITMAP m_startFrame = nullptr;                  // the page's background, shown before its controls are made
    std::vector<vt::skin::CGUIItem*> m_startHidden;  // the window's own controls shown with it
    bool m_initFinished = false;
    bool m_collectDamage = false;                    // start-up: damaged files reported once the first page shows
    std::array<bool, kDeviceCount> m_probed{};                // per device: only listed, opened when first shown
    std::array<bool, kDeviceCount> m_read{};                 // per device: opened and read since start
    std::set<int> m_built;                           // the pages built so far

    std::map<int, std::unique_ptr<CDmPage>> m_pages;          // page id -> page (null when it failed)
    std::array<std::map<int, vt::skin::CBitmapBtn*>, kDeviceCount> m_pageButtons;
    std::array<std::vector<vt::skin::CGUIItem*>, kDeviceCount> m_deviceWindows;
    vt::skin::CBitmapBtn* m_deviceButtons[kDeviceCount] = {};
    vt::skin::CBitmapBtn* m_lightingEffects = nullptr;
    vt::skin::CBitmapBtn* m_apm = nullptr;
    vt::skin::CGUIItem* m_pictures[kDeviceCount] = {};
    vt::skin::CGUIItem* m_firmwareText = nullptr;
    vt::skin::CGUIItem* m_driverText = nullptr;
    vt::skin::CBitmapBtn* m_ok = nullptr;
    vt::skin::CBitmapBtn* m_applyButton = nullptr;
    vt::skin::CBitmapBtn* m_cancel = nullptr;

    int m_currentDevice = kMouse;
    int m_defaultPage[kDeviceCount] = {};   // per device: the page shown last (at first the table's default)
    CDmPage* m_currentPage = nullptr;
    std::array<bool, kDeviceCount> m_present{};
    std::array<bool, kDeviceCount> m_modified{};
    std::array<bool, kDeviceCount> m_kept{};
    std::array<bool, kDeviceCount> m_writing{};
    bool m_engineWarned = false;
    bool m_controlsDisabled = false;
    UINT_PTR m_timerId = 0;
    bool m_watching = false;
    HICON m_icon = nullptr;
    vt::device::CDeviceListener m_listener;
};

} // namespace vt::config
