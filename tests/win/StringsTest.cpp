#include <gtest/gtest.h>
#include "win/Strings.h"

using namespace vt::win;

TEST(Strings, Utf8RoundTripsNonLatinText) {
    const std::wstring wide = L"Profil \u00e9t\u00e9 \u4e2d\u6587 \U0001F600";
    EXPECT_EQ(Utf8ToWide(WideToUtf8(wide)), wide);
    EXPECT_EQ(WideToUtf8(L""), "");
    EXPECT_EQ(Utf8ToWide("abc"), L"abc");
}

TEST(Strings, CaseInsensitiveCompareAndFormat) {
    EXPECT_TRUE(EqualsNoCase(L"Profile1", L"PROFILE1"));
    EXPECT_FALSE(EqualsNoCase(L"Profile1", L"Profile12"));
    EXPECT_EQ(Format(L"%d-%ls", 42, L"x"), L"42-x");
}
