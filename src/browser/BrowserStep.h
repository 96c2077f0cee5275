#pragma once

// The browser model's step, shared by the files that implement the model.

#include "browser/BrowserModel.h"

// One step of the user (a command, an opened place): messages are held while
// it runs; when the outermost step ends the shown pair is synchronised, every
// observer told, and then the messages shown.
class TBrowserModel::TStep {
public:
    explicit TStep(TBrowserModel& model) : fModel(model) { fModel.fMessages.Hold(); }
    ~TStep()
    {
        auto held = fModel.fMessages.Release();
        if (fModel.fMessages.Holding())
            return;
        fModel.SyncShown(false);
        fModel.fMessages.Deliver(held);
    }
    TStep(const TStep&) = delete;
    TStep& operator=(const TStep&) = delete;

private:
    TBrowserModel& fModel;
};
