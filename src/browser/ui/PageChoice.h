#pragma once

// The question a command on the shown page asks while a spread is shown and
// no page was given (a key, the menu bar or the tool bar; the view's context
// menu gives its page): "ファイルの選択" offers the right file, the left file
// or both. A book bound on the right reads right to left, so its primary page
// is the right one.

#include <optional>
#include <vector>

#include "browser/CommandTarget.h"

class QWidget;
class TBrowserModel;

// The pages chosen, the primary first when both; empty when cancelled.
std::optional<std::vector<TTargetPage>> AskSpreadPages(QWidget* parent, const TBrowserModel& model);
