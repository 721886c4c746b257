#include "skin/KeyboardSystem.h"

#include <cwchar>

namespace vt::skin {
namespace {
KeyboardSystem g_system;
KeyboardSystem* g_current = nullptr;
} // namespace

KeyboardSystem& CurrentKeyboardSystem() { return g_current ? *g_current : g_system; }

KeyboardSystem* SetKeyboardSystem(KeyboardSystem* system) {
    KeyboardSystem* previous = g_current;
    g_current = system;
    return previous;
}

HKL FixedKeyboardSystem::HandleFor(const wchar_t* layoutName) {
    unsigned long value = layoutName ? std::wcstoul(layoutName, nullptr, 16) : 0;
    return reinterpret_cast<HKL>(static_cast<UINT_PTR>(0x10000000u | (value & 0x0FFFFFFFu)));
}

HKL FixedKeyboardSystem::LoadLayout(const wchar_t* layoutName, UINT flags) {
    calls.push_back({'L', layoutName ? layoutName : L"", nullptr, flags});
    return HandleFor(layoutName);
}

HKL FixedKeyboardSystem::ActivateLayout(HKL layout, UINT flags) {
    calls.push_back({'A', L"", layout, flags});
    if (activateFails) return nullptr;
    HKL previous = active;
    active = layout;
    return previous;
}

BOOL FixedKeyboardSystem::UnloadLayout(HKL layout) {
    calls.push_back({'U', L"", layout, 0});
    return unloadResult;
}

int FixedKeyboardSystem::KeyNameText(LONG lParam, wchar_t* buffer, int size) {
    if (!buffer || size <= 0) return 0;
    auto it = keyNames.find(lParam);
    if (it == keyNames.end()) {
        buffer[0] = L'\0';
        return 0;
    }
    int n = int(it->second.size()) < size - 1 ? int(it->second.size()) : size - 1;
    wmemcpy(buffer, it->second.data(), size_t(n));
    buffer[n] = L'\0';
    return n;
}

UINT FixedKeyboardSystem::MapVirtualKey(UINT code, UINT mapType, HKL) {
    auto it = virtualKeys.find({code, mapType});
    return it == virtualKeys.end() ? 0 : it->second;
}

} // namespace vt::skin
