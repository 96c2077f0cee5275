#pragma once

// Keeps the filter sets (the FILTER section of the settings file) for the
// options code: loading the options fills them, saving writes them back, and
// the viewer reads the selected set from here.

#include "app/Init.h"
#include "imaging/FilterSets.h"

class TFilterSettingsStore : public TFilterSettings {
public:
    void ReadFilterSection(const TIniFile& ini) override { fSets = ReadFilterSets(ini); }
    void WriteFilterSection(TIniFile& ini) const override { WriteFilterSets(ini, fSets); }

    const TFilterSets& Sets() const { return fSets; }
    TFilterSets& Sets() { return fSets; }

private:
    TFilterSets fSets;
};
