// Item list: searches, showing by kind, destruction order.
#include <gtest/gtest.h>
#include <vector>
#include "skin/GuiItem.h"

using namespace vt::skin;

namespace {
std::vector<int>* g_destroyed = nullptr;

class TracedItem : public CGUIItem {
public:
    TracedItem(int id, int kind, HWND window) { SetItemFields(id, kind, window, nullptr); }
    ~TracedItem() override { if (g_destroyed) g_destroyed->push_back(m_controlId); }
};
} // namespace

TEST(GuiItemList, NewItemHasNoIdKindOrWindow) {
    CGUIItem item;
    EXPECT_EQ(item.m_controlId, -1);
    EXPECT_EQ(item.m_kind, -1);
    EXPECT_EQ(item.m_itemWindow, kNoWindow);
    EXPECT_EQ(item.m_owner, nullptr);
}

TEST(GuiItemList, FindItemReturnsFirstOfEqualIdsAndNullWhenAbsent) {
    CGUIItems items;
    EXPECT_EQ(FindItem(items, 0), nullptr);
    auto* a = new TracedItem(5, kKindBitmapBtn, nullptr);
    auto* b = new TracedItem(5, kKindTextItem, nullptr);
    auto* c = new TracedItem(7, kKindFontItem, nullptr);
    items.Add(a); items.Add(b); items.Add(c);
    EXPECT_EQ(FindItem(items, 5), a);
    EXPECT_EQ(FindItem(items, 7), c);
    EXPECT_EQ(FindItem(items, 8), nullptr);
}

TEST(GuiItemList, FindItemByWindowWithNullFindsFirstWindowlessItem) {
    CGUIItems items;
    auto* background = new TracedItem(0, kKindPanelBitmap, nullptr);
    auto* mask = new TracedItem(1, kKindPanelBitmap, nullptr);
    auto* button = new TracedItem(100, kKindBitmapBtn, reinterpret_cast<HWND>(0x1234));
    items.Add(background); items.Add(mask); items.Add(button);
    EXPECT_EQ(FindItemByWindow(items, nullptr), background);
    EXPECT_EQ(FindItemByWindow(items, reinterpret_cast<HWND>(0x1234)), button);
    EXPECT_EQ(FindItemByWindow(items, reinterpret_cast<HWND>(0x9999)), nullptr);
}

TEST(GuiItemList, DeleteAllItemsDestroysLastBuiltFirstAndListCanBeRefilled) {
    std::vector<int> destroyed;
    g_destroyed = &destroyed;
    {
        CGUIItems items;
        for (int id : {1, 2, 3}) items.Add(new TracedItem(id, kKindTextItem, nullptr));
        DeleteAllItems(items);
        EXPECT_EQ(items.Count(), 0u);
        EXPECT_EQ(destroyed, (std::vector<int>{3, 2, 1}));
        items.Add(new TracedItem(9, kKindTextItem, nullptr));
        EXPECT_EQ(items.Count(), 1u);
    }   // the list's destructor empties it too
    EXPECT_EQ(destroyed, (std::vector<int>{3, 2, 1, 9}));
    g_destroyed = nullptr;
}

TEST(GuiItemList, ShowItemTouchesOnlyWindowsOfWindowedKinds) {
    // A real window stands in for each kind's window; windowless kinds must leave it alone.
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"VtGuiItemTestWnd";
    RegisterClassW(&wc);
    struct Case { int kind; bool shows; };
    const Case cases[] = {{kKindBitmapBtn, true}, {kKindBitmapWindow, true}, {kKindTextItem, true},
                          {kKindPanelBitmap, false}, {kKindFontItem, false}, {kKindLangTable, false},
                          {kKindKeyboardLayout, false}, {kKindKeyboardDef, false}, {kKindSliderHMulti, false},
                          {77, false}};
    for (const Case& c : cases) {
        HWND w = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
        ASSERT_TRUE(w);
        TracedItem item(1, c.kind, w);
        ShowItem(&item, 1);
        EXPECT_EQ(IsWindowVisible(w) != FALSE, c.shows) << "kind " << c.kind;
        ShowItem(&item, 0);
        EXPECT_FALSE(IsWindowVisible(w)) << "kind " << c.kind;
        DestroyWindow(w);
    }
}
