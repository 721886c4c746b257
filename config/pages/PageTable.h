#pragma once
// The main window's pages, one row each: the main window builds, shows and routes every page from
// this table alone. Adding a page is its class (one file pair in config/pages/, see Page.h) and
// its row in PageTable.cpp.
#include <memory>
#include <span>
#include "config/pages/Page.h"

namespace vt::config {

// Page ids, as the page table numbers them.
enum PageId : int {
    kPageMouseButtons = 1,
    kPageMousePerformance = 2,
    kPageMouseProfiles = 3,
    kPageMouseMacros = 4,
    kPageMouseLighting = 5,
    kPageKeyboardKeys = 6,
    kPageKeyboardProfiles = 7,
    kPageKeyboardMacros = 8,
    kPageKeyboardLighting = 9,
    kPageHeadsetLevels = 10,
    kPageHeadsetEqualiser = 11,
    kPageHeadsetMicrophone = 12,
    kPageHeadsetLighting = 13,
};

struct PageRow {
    int id;
    int device;                 // kMouse, kKeyboard or kHeadset
    const wchar_t* file;        // the page file, in the xml folder
    int button;                 // the main page's button that shows it
    std::unique_ptr<CDmPage> (*make)(PageContext& context);
    int refreshOrder;           // when its device's pages are refreshed: 1 first, 2 next...; 0 never
    bool isDefault;             // the page a device shows first
};

// Every row, in the order the pages are initialised.
std::span<const PageRow> PageTable();
// The row of a page id, or null.
const PageRow* FindPageRow(int pageId);
// The device of a page id, or -1.
int DeviceOfPage(int pageId);

} // namespace vt::config
