// Bad input for every control kind: missing bitmaps, zero sizes, empty lists, out-of-range values and
// repeated keys. The page builds what it can, and every control takes input and paints without failing.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include "CtlTestSupport.h"
#include "gallery/GalleryFill.h"
#include "skin/ListPanel.h"
#include "skin/PageReader.h"
#include "base/ProgramFolder.h"
#include "skin/TextItems.h"

using namespace vt::skin;
using namespace vt::test;

namespace {
// The page lives here rather than in the program folder: it names missing files and unknown names on purpose.
const char kBrokenPage[] = R"XML(<!-- Test page of bad input: every control kind with missing skin bitmaps, zero sizes, empty lists and
     values out of range. Nothing of it may crash, divide by zero or read out of bounds. -->
<ITEMLIST>
  <BITMAPLIST>
    <BITMAPITEM name="BITMAP_APM_BACKGROUND"><RECT left="0" top="0" right="0" bottom="0"/><SBMN>missing.bmp</SBMN></BITMAPITEM>
    <SLIDERTRACK name="BITMAP_SLSENSTRK_X"><RECT left="0" top="0" right="0" bottom="0"/><SBMN>missing.bmp</SBMN>
      <FILLINFO fillclr="NOT_A_COLOUR"><RECT left="0" top="0" right="-5" bottom="-5"/></FILLINFO></SLIDERTRACK>
    <SLIDERTRACK name="BITMAP_SLSENSTRK_XY"><RECT left="10" top="10" right="100" bottom="20"/></SLIDERTRACK>
  </BITMAPLIST>
  <SLIDERLIST>
    <VSLIDER name="SLIDER_MASTERVOLUME" trackid="BITMAP_SLSENSTRK_X"><RECT left="0" top="0" right="0" bottom="0"/><SBMN>missing.bmp</SBMN></VSLIDER>
    <HSLIDERM name="SLIDER_DPI_MULTI" trackid="BITMAP_SLSENSTRK_XY" multiplier="-7">
      <RECT left="0" top="0" right="0" bottom="0"/>
      <STAGES><STAGE>NOT_A_CONTROL</STAGE><STAGE/></STAGES>
    </HSLIDERM>
    <HSLIDERM name="SLIDER_DPI_MULTI_X" trackid="BITMAP_SLSENSTRK_XY"><STAGES/></HSLIDERM>
    <HSLIDERMAPM name="SLIDER_APM_MULTI" trackid="BITMAP_APM_BACKGROUND"><RECT left="0" top="0" right="0" bottom="0"/></HSLIDERMAPM>
    <DMARKER name="BUTTON_AUDIOLEVEL"><RECT left="10" top="40" right="0" bottom="0"/></DMARKER>
  </SLIDERLIST>
  <TEXTLIST>
    <TEXTITEM name="TEXT_PROFILEINFO" checkboxid="NOT_A_CONTROL" windowid="NOT_A_CONTROL"><RECT left="0" top="0" right="0" bottom="0"/></TEXTITEM>
  </TEXTLIST>
  <DPISTAGELIST>
    <DPISTAGEWINDOW name="DPISTAGEWINDOW_01"><RECT left="0" top="0" right="0" bottom="0"/>
      <BMPINFO name="DPIFRAME"><BMPDATA>missing.bmp</BMPDATA></BMPINFO>
      <TEXTAREA name="HEADING"/>
    </DPISTAGEWINDOW>
  </DPISTAGELIST>
  <MACRODISPLAYLIST>
    <MACRODISPLAY name="LIST_GLOBALMACROLIST" bdrwidth="-4" lmargin="-1">
      <RECT left="10" top="60" right="10" bottom="10"/>
      <VSCROLL><VSBMP_TMB>missing.bmp</VSBMP_TMB></VSCROLL>
      <LISTCOLUMN name="LCITEM_MCREVENT_ICON" type="ICON" width="5"/>
      <LISTCOLUMN name="LCITEM_MCREVENT_DESCRIP" type="STATIC" width="1"/>
    </MACRODISPLAY>
  </MACRODISPLAYLIST>
  <LISTLIST>
    <LISTCTRL name="LIST_PROFILELIST" bdrwidth="0">
      <RECT left="10" top="80" right="0" bottom="0"/>
      <VSCROLL><VSBMP_TMB>ctl_vs_tmb.bmp</VSBMP_TMB></VSCROLL>
      <LISTCOLUMN name="LCITEM_AUTOSWITCH" type="CHECKBOX" width="20"><SBMN>missing.bmp</SBMN></LISTCOLUMN>
      <LISTCOLUMN name="LCITEM_PROFILENAME" type="COMBO" width="30"/>
    </LISTCTRL>
    <COMBO name="BUTTON_DROPDOWN_PROFILESELECT" bdrwidth="-3"><CLIST height="-5"/><CBOX><RECT left="0" top="0" right="0" bottom="0"/></CBOX><COMBOITEMS/></COMBO>
    <COMBOCOLOR name="BUTTON_APM_CHOSEN_COLOR"><CLIST/><CBOX/></COMBOCOLOR>
  </LISTLIST>
  <LISTPANELLIST>
    <LISTPANEL name="LISTPANEL_PROFILEOPTIONS" dynamic="0"><RECT left="0" top="0" right="0" bottom="0"/></LISTPANEL>
  </LISTPANELLIST>
  <EDITCTRLLIST>
    <EDITCTRL name="EDITCTRL_DELAY" bdrwidth="-2" max="99999999999"/>
    <EDITCTRLSK name="EDITCTRL_POPUP_SINGLEKEYENTRY"/>
  </EDITCTRLLIST>
  <KBDKEYLIST>
    <BUTTONBITMAPS><SBMN>missing.bmp</SBMN></BUTTONBITMAPS>
    <KBDKEY name="BITMAP_KB_Q" kbddefid=""><RECT left="0" top="0" right="0" bottom="0"/><BMPINFO/></KBDKEY>
  </KBDKEYLIST>
</ITEMLIST>)XML";
} // namespace

TEST(CtlBadInputWindowTest, BrokenPageBuildsAndSurvivesInput) {
    BuildVocabularyTables();
    ASSERT_TRUE(vt::base::InitProgramFolder(TestImageFolder().c_str()));
    RecorderWindow owner;
    ASSERT_TRUE(owner.Open(300, 200));
    CGUIItems items;
    ASSERT_TRUE(BuildPanelFromXmlBuffer(kBrokenPage, sizeof(kBrokenPage) - 1, &items, owner));
    // The multi-slider without STAGE children and the colour button without a rectangle build nothing.
    EXPECT_EQ(FindItem(items, FindControlIdByName(L"SLIDER_DPI_MULTI_X")), nullptr);
    for (CGUIItem* item : items.m_items) {
        HWND w = item->m_itemWindow && item->m_itemWindow != kNoWindow ? item->m_itemWindow : nullptr;
        if (!w || !IsWindow(w)) continue;
        // A drop-down opens its list modally: it answers at once here.
        if (item->m_kind == kKindDropdownList) static_cast<CDropdownListItem*>(item)->m_runList = [](CListPanel&) { return 3; };
        for (UINT msg : {UINT(WM_MOUSEMOVE), UINT(WM_LBUTTONDOWN), UINT(WM_MOUSEMOVE), UINT(WM_LBUTTONUP),
                         UINT(WM_LBUTTONDBLCLK), UINT(WM_RBUTTONDOWN)})
            SendMessageW(w, msg, msg == WM_MOUSEMOVE ? MK_LBUTTON : 0, MAKELPARAM(3, 3));
        SendMessageW(w, WM_KEYDOWN, VK_DOWN, 0);
        SendMessageW(w, WM_VSCROLL, SB_LINEDOWN, 0);
        SendMessageW(w, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 40), 0);
        InvalidateRect(w, nullptr, TRUE);
        UpdateWindow(w);
    }
    ReleaseCapture();
    PumpMessages(30, 800);
    using vt::gallery::Item;
    if (auto* s = Item<CAPMSlider>(items, L"SLIDER_APM_MULTI", kKindAPMSlider)) {
        s->InsertStage(0, 1, 2);
        s->SetDefaultStages();
        s->SetDefaultStageColors();
        EXPECT_FALSE(s->SetStage(7, 0, 0, 0));
        EXPECT_FALSE(s->RemoveStage(9));
        UpdateWindow(*s);
    }
    if (auto* list = Item<CXListCtrl>(items, L"LIST_PROFILELIST", kKindXListCtrl)) {
        for (int i = 0; i < 3; ++i) list->InsertRow(0);   // three rows with the key 0
        EXPECT_EQ(list->FindRowByKey(0), 0);
        EXPECT_TRUE(list->SetItemTextByKey(0, kColProfileName, L"first"));
        EXPECT_FALSE(list->SetItemCheckByKey(5, 1));
        list->SetRowColors(99, 0, 0, 0, 0);
        std::vector<std::wstring> none;
        if (ListCell* c = list->Cell(0, kColProfileName)) {
            c->combo = 1;
            c->choices = &none;   // an empty choice list
        }
        list->PressComboCell(0, 1);
        UpdateWindow(*list);
    }
    if (auto* md = Item<CMacroDisplayItem>(items, L"LIST_GLOBALMACROLIST", kKindMacroDisplay)) {
        md->SelectRow(-1);
        md->RunMacroCommand(L"$Delete");
        md->RunMacroCommand(L"$Edit");
        md->RunMacroCommand(L"$InsertDelay");
        EXPECT_FALSE(md->ReplaceEventAt(-1, MacroEvent{}));
    }
    if (auto* combo = Item<CDropdownListItem>(items, L"BUTTON_DROPDOWN_PROFILESELECT", kKindDropdownList)) {
        EXPECT_EQ(combo->SelectEntry(0), 0);
        EXPECT_EQ(combo->GetEntryText(0), L"");
    }
    if (auto* panel = Item<CListPanelItem>(items, L"LISTPANEL_PROFILEOPTIONS", kKindListPanel)) {
        EXPECT_EQ(panel->SelectEntry(0), 0);
        EXPECT_EQ(panel->GetEntryText(-3), L"");
    }
    ShowAllItems(items, 0);
    ShowAllItems(items, 1);
    DeleteAllItems(items);
    owner.Destroy();
}
