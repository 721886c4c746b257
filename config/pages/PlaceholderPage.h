#pragma once
// A page that is not finished yet: its page file says so, it holds no settings, and every click
// on it counts as an edit like any page's.
#include "config/pages/Page.h"

namespace vt::config {

class CDmPlaceholderPage : public CDmPage {
public:
    // live: the page stands for one whose edits reach the device at once.
    CDmPlaceholderPage(PageContext& context, bool live) : CDmPage(context), m_live(live) {}
    bool AppliesLive() const override { return m_live; }

private:
    bool m_live;
};

} // namespace vt::config
