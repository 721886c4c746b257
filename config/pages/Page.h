#pragma once
// A page of the configuration program's main window, and what pages are given to work with.
//
// Adding a page:
//   1. One file pair here, its class derived from CDmPage. Override what the page needs:
//      Initialise (bind the items of its page file), Refresh (model -> controls), OnItemCommand
//      (clicks on its own items), OnMessage (the notifications its controls send the main window:
//      sliders, drop-downs, lists...), OnDeviceNotice (the device's change messages), Enter /
//      Leave, Show (when it lays out only part of its items), AppliesLive, CanClose / OnClosing.
//   2. One row in the page table (PageTable.cpp): id, device, page file, page button, factory,
//      refresh order, default page. The main window builds, shows and routes everything from it
//      and knows nothing of any page.
// Everything a page reaches outside itself goes through its PageContext: the three
// configurations, the device set, the popup host (config/popups/Popup.h), the file dialogs, and
// the main window's few services (owner window, mark changed, refresh a device's pages...).
#include <windows.h>
#include "config/DeviceSet.h"
#include "profile/ConfigInterfaces.h"
#include "skin/GuiItem.h"

namespace vt::config {

class CDmPage;
class IFileDialogs;
class IPopupHost;

// What the main window does for its pages.
class IPageSite {
public:
    virtual ~IPageSite() = default;
    // The main window (owner of popups and dialogs; receiver of the controls' notifications).
    virtual HWND Owner() const = 0;
    // The shown device has edits that Apply must write (nothing on pages that apply live).
    virtual void MarkChanged() = 0;
    // Another device's configuration was edited too (a popup that writes every device): it counts
    // as changed when it is shown next. The shown device: as MarkChanged.
    virtual void MarkDeviceChanged(int device) { (void)device; }
    // The page shown, or null.
    virtual CDmPage* ShownPage() const = 0;
    // Every page of a device re-reads the model (in the page table's refresh order).
    virtual void RefreshDevicePages(int device) = 0;
    // The page with that id, or null (not built, or its page file could not be used).
    virtual CDmPage* FindPage(int pageId) const = 0;
    // Greys (false) or restores (true) the window's own controls: tabs, page buttons, OK, Cancel.
    virtual void SetControlsEnabled(bool enable) = 0;
};

// What every page is given.
struct PageContext {
    IMouseConfig*& mouse;
    IKeyboardConfig*& keyboard;
    IAudioConfig*& headset;
    IDeviceSet& devices;
    IPopupHost& popups;
    IFileDialogs& files;
    IPageSite& site;

    HWND Owner() const { return site.Owner(); }
    void MarkChanged() const { site.MarkChanged(); }
};

class CDmPage : public vt::skin::CGUIItems {
public:
    explicit CDmPage(PageContext& context) : m_ctx(context) {}

    // Reads the page file into the item list, its controls children of owner (hidden). False
    // when the file cannot be used: the main window then runs without this page. Called when the
    // page is first shown or asked for, not at start-up.
    virtual bool Build(const wchar_t* pageFile, HWND owner);
    // Once, after the page was built and its device read, before it first shows. Pages are built
    // when first shown (or first asked for), so another page may not be built yet: FindPage gives
    // null for it, and it reads the model itself when it is built.
    virtual void Initialise() {}
    // Reads the model into the page's controls. Called when the page is shown, and for every
    // page of a device that came back or whose profiles changed (shown or not).
    void Refresh() override {}
    // Shows or hides the page's controls. Pages that lay out only part of their items (switches
    // that swap controls) override it and show what their state chooses.
    virtual void Show(bool show);
    bool Shown() const { return m_shown; }
    // The page becomes the shown page / stops being it.
    virtual void Enter() {}
    virtual void Leave() {}
    // A command (WM_COMMAND) from one of the page's own items. True when it counts as an edit of
    // the device (the main window then marks the device changed).
    virtual bool OnItemCommand(vt::skin::CGUIItem& item, WORD code);
    // A message the main window received while this page is shown (the skin controls'
    // notifications: sliders, drop-downs, lists, key items, palettes..., and the non-client mouse
    // messages). True when handled; result is then the answer.
    virtual bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // A change message of this page's device (the headset's WM_HEADSET_MIC_CHANGED and
    // WM_HEADSET_LEVELS_CHANGED), given to every page of the device, shown or not.
    virtual void OnDeviceNotice(UINT msg, WPARAM wParam, LPARAM lParam);
    // True when the page's edits reach the device at once (the headset's level pages): they never
    // mark the device changed.
    virtual bool AppliesLive() const { return false; }
    // False while the page must not be left by closing the window (a macro being recorded).
    virtual bool CanClose() const { return true; }
    // The window closes through Exit or Cancel while this page is shown.
    virtual void OnClosing() {}

protected:
    PageContext& m_ctx;
    bool m_shown = false;
};

} // namespace vt::config
