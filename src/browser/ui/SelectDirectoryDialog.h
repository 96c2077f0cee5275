#pragma once

// The folder a copy or move goes to: a folder box with the folders chosen
// before, a browse button, OK and Cancel. OK takes the typed folder; one
// that does not exist is created after a question, and the dialog stays
// open when that fails. The chosen folder goes to the top of the history,
// which is written back when the dialog closes.

#include <QDialog>
#include <string>

#include "browser/SelectDirHistory.h"

class QComboBox;

class TSelectDirectoryDialog : public QDialog {
public:
    // history is read from and written to dataFolder; limit is RECENT
    // SelectDir.
    TSelectDirectoryDialog(const QString& caption, const std::string& dataFolder, int limit,
                           const std::string& startFolder, QWidget* parent = nullptr);
    // The folder chosen (after OK).
    const std::string& Folder() const { return fFolder; }

    void accept() override;
    void done(int result) override;

private:
    void Browse();

    std::string fDataFolder;
    int fLimit;
    TSelectDirHistory fHistory;
    QComboBox* fBox = nullptr;
    std::string fFolder;
};
