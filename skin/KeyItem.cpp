#include "skin/KeyItem.h"
#include <cwchar>
#include "skin/CtlBuilders.h"
#include "skin/CtlCommon.h"
#include "skin/KeyEvents.h"
#include "skin/Messages.h"
#include "win/Gdi.h"
#include "win/Strings.h"

namespace vt::skin {

int32_t NumLockKeyId() {
    static const int32_t id = vt::base::KeyNameHash(L"Num Lock");
    return id;
}

CKeyboardKeyItem::CKeyboardKeyItem() {
    SetCheckbox(true);
    SetChecked(0);
    SetToggleOnClick(false);
}

int (*g_keyNameOf)(LONG param, wchar_t* buffer, int size) = nullptr;
namespace {
int KeyNameOf(LONG param, wchar_t* buffer, int size) {
    return g_keyNameOf ? g_keyNameOf(param, buffer, size) : GetKeyNameTextW(param, buffer, size);
}
} // namespace

void CKeyboardKeyItem::SetKeyLabel() {
    if (!m_keyDef) return;
    const vt::base::KeyCode code = vt::base::GlobalKeyTable().GetKeyCode(m_keyDef->keyId);
    m_scanCode = uint16_t(code.code);
    m_extended = code.prefix == 1 ? 1 : 0;
    // The language table holds no keyboard layout: the thread's own layout maps the key.
    m_virtualKey = int(MapVirtualKeyExW(UINT(m_scanCode), MAPVK_VSC_TO_VK_EX, nullptr));
    if (m_label.empty()) {
        LONG param = LONG(m_scanCode) << 16;
        if (m_extended == 1 || m_keyDef->keyId == NumLockKeyId() || m_keyDef->valueB == 0x55) param |= 1 << 24;
        wchar_t buffer[256] = {};
        const int n = KeyNameOf(param, buffer, 256);
        m_label = n > 0 ? std::wstring(buffer, size_t(n)) : L"";
    }
    if (_wcsicmp(m_label.c_str(), L"&") == 0) m_label = L"&&";
    SetToolTipText(m_label.c_str());
}

CKeyboardKeyItem::Image CKeyboardKeyItem::ChooseImage(bool disabled) const {
    if (!disabled && (m_hot != 0 || m_highlight == 1)) return Image::Over;
    return m_checked ? Image::Down : Image::Normal;
}

void CKeyboardKeyItem::Report(UINT msg) {
    HWND target = m_owner && m_owner != kNoWindow ? m_owner : GetParent(m_hWnd);
    if (target) SendMessageW(target, msg, 0, LPARAM(m_controlId));
}

bool CKeyboardKeyItem::OnMouseMove(UINT keys, POINT pt) {
    Report(WM_KEY_ITEM_HOVER);
    return CBitmapBtn::OnMouseMove(keys, pt);
}

bool CKeyboardKeyItem::OnLButtonDown(UINT keys, POINT pt) {
    Report(WM_KEY_ITEM_PRESSED);
    return CBitmapBtn::OnLButtonDown(keys, pt);
}

bool CKeyboardKeyItem::OnReflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (msg != WM_DRAWITEM) return CBitmapBtn::OnReflected(msg, wParam, lParam, result);
    DrawKey(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    result = TRUE;
    return true;
}

void CKeyboardKeyItem::DrawKey(const DRAWITEMSTRUCT& dis) {
    const bool disabled = (dis.itemState & ODS_DISABLED) != 0;
    const Image image = ChooseImage(disabled);
    HBITMAP bmp = image == Image::Over ? m_over.Get() : image == Image::Down ? m_down.Get() : m_normal.Get();
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    vt::win::BufferedPaint buf(dis.hDC, rc.right, rc.bottom);
    FillSolid(buf, rc, 0);
    if (bmp) DrawBitmapAt(buf, bmp, 0, 0, rc.right, rc.bottom);
    if (m_caption.empty()) return;
    const bool selected = (dis.itemState & ODS_SELECTED) != 0;
    COLORREF colour = (m_checked || selected) ? m_downColor : m_hot ? m_overColor : disabled ? m_disabledColor : m_normalColor;
    SetBkMode(buf, TRANSPARENT);
    ::SetTextColor(buf, TextColourOrDefault(colour));
    vt::win::SelectGuard f(buf, m_font && *m_font ? static_cast<HGDIOBJ>(m_font->Get()) : DefaultControlFont());
    std::wstring caption = m_caption;
    DrawTextW(buf, caption.c_str(), int(caption.size()), &rc, m_textFormat);
}

CGUIItem* ReadKeyboardKey(pugi::xml_node e, CGUIItems& items, HWND parent) {
    const int id = ReadItemName(e);
    if (id == -1) return nullptr;
    pugi::xml_node list = e.parent();
    if (CBitmapItem* host = ReadBitmapItemRef(list, "windowid", items); host && host->Hwnd()) parent = host->Hwnd();
    pugi::xml_node shared = list.child("BUTTONBITMAPS");
    const wchar_t justify = ReadJustify(e);
    const bool multiline = ReadMultiline(e, id);
    // A key is a child of its page (the style of the page files lacks WS_CHILD).
    DWORD style = WS_CHILD | WS_VISIBLE | BS_MULTILINE | BS_VCENTER | BS_OWNERDRAW |
                  (justify == L'L' ? BS_LEFT : justify == L'R' ? BS_RIGHT : BS_CENTER);
    UINT format = DT_EDITCONTROL | (justify == L'R' ? DT_RIGHT : justify == L'C' ? DT_CENTER : DT_LEFT) |
                  (multiline ? (DT_WORDBREAK | DT_VCENTER) : (DT_SINGLELINE | DT_WORDBREAK | DT_VCENTER));
    RECT r = ReadItemRect(e, id);
    auto* key = new CKeyboardKeyItem();
    key->m_controlId = id;
    if (!key->CreateButton(style, r, parent, 0)) {
        delete key;
        return nullptr;
    }
    key->m_textFormat = format;
    if (CFontItem* f = ReadItemFont(e, id, items)) {
        SendMessageW(*key, WM_SETFONT, WPARAM(f->Get()), TRUE);
        key->m_font = f;
    }
    auto h = [&](const char* slot) -> HBITMAP {
        CBitmap* b = shared ? ReadBitmapChild(shared, slot) : nullptr;
        return b ? b->Get() : nullptr;
    };
    const int w = r.right - r.left, hgt = r.bottom - r.top;
    if (h("SBMM")) key->DrawSkinBitmaps(h("SBMN"), h("SBMO"), h("SBMD"), h("SBMDS"), h("SBMM"), 0, 0, w, hgt);
    else key->DrawSkinBitmaps(h("SBMN"), h("SBMO"), h("SBMD"), h("SBMDS"), 0, 0, w, hgt);
    std::wstring tip;
    if (ReadTooltip(e, tip)) {
        key->m_label = tip;
        key->SetToolTipText(tip.c_str());
    }
    ReadIsCheckbox(e);
    if (pugi::xml_attribute caption = e.attribute("caption"))
        key->SetItemText(vt::win::Utf8ToWide(caption.value()).c_str(), ReadCaseMode(e, id));
    if (pugi::xml_attribute def = e.attribute("kbddefid")) {
        const vt::base::KeyDefRecord* rec = vt::base::GlobalKeyTable().FindKey(vt::base::KeyNameHash(vt::win::Utf8ToWide(def.value())));
        if (rec && !rec->name.empty()) {
            key->m_keyDef = rec;
            key->SetKeyLabel();
        }
    }
    if (pugi::xml_node info = e.child("BMPINFO")) {
        ReadItemName(info);
        BitmapSet set;
        if (ReadBitmapSet(info, id, set)) key->CopyInfoBitmaps(&set);
    }
    key->SetItemFields(id, kKindKeyboardKey, key->Hwnd(), parent);
    return key;
}

} // namespace vt::skin
