#pragma once
// One key of the on-screen keyboard (page element KBDKEY): a skinned check button bound to a key record of
// the keyboard definition. It takes its tooltip label from the system's name of the key, shows a caption
// and tells its owner when the mouse moves over it (WM_KEY_ITEM_HOVER) or presses it (WM_KEY_ITEM_PRESSED),
// lParam its control id. A click does not toggle it; pages mark the key being assigned with its highlight.
#include <windows.h>
#include <string>
#include "skin/BitmapBtn.h"
#include "base/KeyTable.h"
#include "skin/PageReader.h"

namespace vt::skin {

class CKeyboardKeyItem : public CBitmapBtn {
public:
    CKeyboardKeyItem();
    ~CKeyboardKeyItem() override = default;

    // Binds the key to its record: scan code, virtual key, extended flag and (when empty) the label.
    void SetKeyLabel();
    void CopyInfoBitmaps(const BitmapSet* set) { if (set) m_info = *set; }
    // Which state bitmap a paint uses.
    enum class Image { Normal, Over, Down };
    Image ChooseImage(bool disabled) const;

    const vt::base::KeyDefRecord* m_keyDef = nullptr;
    std::wstring m_label;
    int m_virtualKey = -1;
    int m_scanCode = -1;
    BYTE m_extended = 0;
    BYTE m_highlight = 0;
    BitmapSet m_info;

protected:
    bool OnReflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool OnMouseMove(UINT keys, POINT pt) override;
    bool OnLButtonDown(UINT keys, POINT pt) override;
    void DrawKey(const DRAWITEMSTRUCT& dis);
    void Report(UINT msg);
};

// The system's key-name call the keys use; tests replace it (null: GetKeyNameText).
extern int (*g_keyNameOf)(LONG param, wchar_t* buffer, int size);

// The identifier of the key named "Num Lock".
int32_t NumLockKeyId();

} // namespace vt::skin
