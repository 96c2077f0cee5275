#pragma once

// The filter command of the browser window: opens the filter set dialog on
// the sets in use with a preview on the shown pages; OK makes the edited
// sets the ones in use and writes the section FILTER of the settings file,
// Cancel shows the pages as they were before.

#include <functional>
#include <string>

class QWidget;
class TAppCore;
class TBrowserModel;

// report shows a failure to write the settings file (the sets still apply
// for this session). True when the dialog was accepted.
bool RunFilterSettings(QWidget* parent, TAppCore& core, TBrowserModel& model,
                       const std::function<void(const std::string&)>& report);
