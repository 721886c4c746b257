#pragma once
// Sample content for the control gallery page (ControlsGallery.xml), shared by the gallery program and
// the gallery window test.
#include <windows.h>
#include <cstring>
#include <vector>
#include "skin/ApmSlider.h"
#include "skin/ColourButton.h"
#include "skin/DpiStageWnd.h"
#include "skin/DropDownList.h"
#include "skin/ExtListCtrl.h"
#include "skin/LangTable.h"
#include "skin/LevelMarker.h"
#include "skin/PageReader.h"
#include "skin/MacroDisplay.h"
#include "skin/MultiSlider.h"
#include "skin/ProfileButton.h"
#include "skin/Slider.h"
#include "skin/Vocabulary.h"

namespace vt::gallery {

template <class T> T* Item(vt::skin::CGUIItems& items, const wchar_t* name, int kind) {
    vt::skin::CGUIItem* item = vt::skin::FindItem(items, vt::skin::FindControlIdByName(name));
    return item && item->m_kind == kind ? static_cast<T*>(item) : nullptr;
}

inline MacroEvent GalleryEvent(int32_t type, int32_t a, int32_t b) {
    MacroEvent e{};
    e.type = type;
    std::memcpy(e.data, &a, 4);
    std::memcpy(e.data + 4, &b, 4);
    return e;
}

// Reads Language.xml into langItems and makes the default language current, so texts show resolved.
inline void LoadGalleryLanguage(vt::skin::CGUIItems& langItems, HWND owner) {
    vt::skin::LoadSkinPage(langItems, L"Language.xml", owner);
    vt::skin::SetSelectedLanguageId(544);
    vt::skin::SelectCurrentLanguageTable();
}

// Fills every control of the gallery page with sample values.
inline void FillGallery(vt::skin::CGUIItems& items) {
    using namespace vt::skin;
    if (auto* v = Item<CVertSlider>(items, L"SLIDER_MASTERVOLUME", kKindVertSlider)) v->SetSliderValue(20);
    if (auto* m = Item<CSliderHMulti>(items, L"SLIDER_DPI_MULTI", kKindSliderHMulti)) {
        m->SetRange(1, 40);
        for (unsigned i = 0; i < m->Count(); ++i) m->Thumb(i)->SetSliderValue(int(8 + 12 * i));
    }
    if (auto* s = Item<CAPMSlider>(items, L"SLIDER_APM_MULTI", kKindAPMSlider)) {
        s->SetRange(0, 400);
        s->m_crossOver = 1;
        s->InsertStage(0, RGB(230, 60, 40), RGB(40, 160, 230));
        s->InsertStage(1, RGB(230, 200, 40), RGB(60, 200, 90));
        s->SetStage(0, RGB(40, 160, 230), 0, 120);
        s->SetStage(1, RGB(60, 200, 90), 120, 260);
        s->SetStage(2, RGB(230, 60, 40), 260, 400);
        s->RestrictTickersCrossOver();
    }
    if (auto* mk = Item<CDMarker>(items, L"BUTTON_AUDIOLEVEL", kKindMarker)) mk->SetValue(6);
    if (auto* d = Item<CDPIStageWindow>(items, L"DPISTAGEWINDOW_01", kKindDPIStageWindow)) {
        d->m_dpi = 1600;
        d->m_ready = 1;
        d->m_selected = 1;
        d->Refresh();
    }
    if (auto* d = Item<CDPIStageWindow>(items, L"DPISTAGEWINDOW_02", kKindDPIStageWindow)) {
        d->m_separateXY = 1;
        d->m_xDpi = 800;
        d->m_yDpi = 400;
        d->m_ready = 1;
        d->Refresh();
    }
    if (auto* md = Item<CMacroDisplayItem>(items, L"LIST_GLOBALMACROLIST", kKindMacroDisplay)) {
        std::vector<MacroEvent> ev{GalleryEvent(0, 0x1E | ('A' << 16), 255), GalleryEvent(2, 120, 120),
                                   GalleryEvent(0, 0x1E | ('A' << 16), 1), GalleryEvent(2, 50, 50),
                                   GalleryEvent(1, 1, 255), GalleryEvent(2, 85, 85), GalleryEvent(1, 1, 1)};
        md->LoadEvents(&ev);
    }
    if (auto* list = Item<CXListCtrl>(items, L"LIST_PROFILELIST", kKindXListCtrl)) {
        const wchar_t* names[] = {L"Default profile", L"Racing", L"Strategy", L"Shooter"};
        const wchar_t* programs[] = {L"", L"racer.exe", L"dunemarch.exe", L""};
        for (int i = 0; i < 4; ++i) {
            list->InsertRow(i);
            list->SetItemTextByKey(i, kColProfileName, names[i]);
            list->SetItemTextByKey(i, kColProfileExe, programs[i]);
            if (ListCell* c = list->Cell(i, kColProfileCurrent)) c->check = i == 0 ? 1 : 0;
            list->SetItemCheckByKey(i, programs[i][0] ? 1 : 0);
        }
    }
    if (auto* combo = Item<CDropdownListItem>(items, L"BUTTON_DROPDOWN_PROFILESELECT", kKindDropdownList)) combo->SelectEntry(0);
    if (auto* colour = Item<CDropdownColorButton>(items, L"BUTTON_APM_CHOSEN_COLOR", kKindDropdownColor))
        colour->SetColor(RGB(230, 60, 40));
    if (auto* p = Item<CProfileBtn>(items, L"BUTTON_PROFILE01", kKindProfileBtn)) {
        p->m_columns[0] = L"1";
        p->m_columns[1] = L"Default profile";
        p->m_columns[2] = L"1600 DPI";
        InvalidateRect(*p, nullptr, FALSE);
    }
}

} // namespace vt::gallery
