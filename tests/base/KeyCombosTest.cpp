// The key-combination names: a fixed table read without any start-up step.
#include <gtest/gtest.h>

#include "base/KeyCombos.h"

using namespace vt::base;

TEST(KeyCombos, NamesAndNumbersBothWays) {
    ASSERT_EQ(KeyComboNames().size(), 17u);
    struct Case { const wchar_t* name; int32_t id; };
    const Case cases[] = {
        {L"$cut", 1}, {L"$CUT", 1}, {L"$ZoomOut", 17}, {L"$swapwindows", 10},
        {L"$cu", -1}, {L"$cutx", -1}, {L"", -1}, {L"cut", -1},
        {L"$c\x0131t", -1},   // a dotless i is not an ASCII letter
    };
    for (const Case& c : cases) EXPECT_EQ(FindKeyComboIdByName(c.name), c.id) << static_cast<int>(c.id);
    for (const KeyComboName& combo : KeyComboNames()) {
        EXPECT_STREQ(GetKeyComboName(combo.id), combo.name);
        EXPECT_EQ(FindKeyComboIdByName(combo.name), combo.id);
    }
    EXPECT_EQ(GetKeyComboName(0), nullptr);
    EXPECT_EQ(GetKeyComboName(18), nullptr);
}
