#pragma once
// The extended list's data: column and cell kinds, a column's record, a cell, a row's cells and the
// record a list hands its owner with a report. Rows are known by the key kept in their first cell.
#include <windows.h>
#include <string>
#include <vector>

namespace vt::skin {

enum ListColumnId : int { kColProfileCurrent = 0, kColProfileId, kColProfileName, kColProfileExe, kColAutoSwitch,
                          kColMacroIcon, kColMacroDescription };
enum CellKind : int { kCellIcon = 0, kCellStatic, kCellEdit, kCellCombo, kCellCheckbox, kCellFileDialog };

struct ListColumnRecord {
    int cellKind = -1;
    HBITMAP unchecked = nullptr, checked = nullptr, mask = nullptr;
    int exclusive = 0;
    int position = 0;
    std::wstring tooltip;
};

struct ListCell {
    int enabled = 1;
    int bold = 0;
    int combo = 0;
    int comboPressed = 0;
    std::vector<std::wstring>* choices = nullptr;   // not owned
    int dropHeight = 10;
    int defaultChoice = 0;
    COLORREF text = 0x00FF00, back = 0, selText = 0x00FF00, selBack = 0;
    int progress = 0;
    int percent = 0;
    std::wstring progressFormat;
    int showProgressText = 1;
    int check = -1;
    std::wstring s1, s2, s3;
    int key = -1;
    int reserved = 0;
};

struct ListItemData {
    std::vector<ListCell> cells;
};

struct ListNotifyRecord {
    int32_t key;
    int32_t column;
    LPARAM value;   // text pointer, pointer to a byte, or 0
};

} // namespace vt::skin
