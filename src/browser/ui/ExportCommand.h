#pragma once

// The CSV export command in the window: the export settings dialog, then
// the export of what the file list shows, written by the writer of its list
// kind, under the wait cursor. A failure is shown as a message and leaves no
// partial file. A run without the dialog (a snapshot run) exports with the
// setting left when the dialog last closed, to the last output file.
// User-interface thread.

#include <QWidget>
#include <functional>
#include <string>

#include "browser/ActionTable.h"
#include "browser/ExportList.h"

class TBrowserModel;

class TExportCommand {
public:
    struct THost {
        TBrowserModel* Model = nullptr;
        TExportSources Sources;
        std::string DataFolder;       // holds "Export.ini"
        std::string ProgramSettings;  // the data folder's "Mireva.ini"
        std::function<void(const std::string& text)> Message;
    };

    TExportCommand(THost host, QWidget* window);

    static bool Runs(TActionId action) { return action == TActionId::actExport; }
    // True when a file was written.
    bool Run(bool showDialog);

private:
    bool Write(const TExportSettings& settings, const std::string& path);

    THost fHost;
    QWidget* fWindow;
};
