#pragma once

// The browser window of a window test: its messages collected instead of
// shown, shown at a small size, and settled (the first listing and picture
// done) before the test goes on.

#include <gtest/gtest.h>

#include <QSize>
#include <memory>
#include <string>
#include <vector>

#include "browser/ui/MainForm.h"
#include "support/PumpEvents.h"

inline std::unique_ptr<TMainForm> ShowSettledForm(TAppCore& core, std::vector<std::string>& messages,
                                                  QSize size = {400, 300})
{
    auto form = std::make_unique<TMainForm>(core);
    form->SetMessageSink([&messages](const std::string& text, TMessageIcon) { messages.push_back(text); });
    bool settled = false;
    form->SetSettledHandler([&settled] { settled = true; });
    form->resize(size);
    form->show();
    EXPECT_TRUE(PumpUntil([&] { return settled; }));
    // The flag goes with this call; later settling tells nobody.
    form->SetSettledHandler({});
    return form;
}
