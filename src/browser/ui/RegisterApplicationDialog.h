#pragma once

// "アプリケーションの登録": the list of registered applications with their
// fields. The dialog edits copies of the records; every change of a field
// goes into the selected record at once, and OK hands the records back in
// row order for the window to keep and save. Without a selected row the
// fields are empty and read-only. User-interface thread.

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

#include "app/RegApp.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QToolButton;
class QTreeWidget;

class TRegisterApplicationDialog : public QDialog {
public:
    // Asks for a program file, starting in a folder; "" when cancelled.
    using TChooser = std::function<std::string(QWidget* parent, const std::string& startFolder)>;

    TRegisterApplicationDialog(const std::vector<TRegApplication>& apps, QWidget* parent = nullptr);

    // The records in row order, as edited.
    const std::vector<TRegApplication>& Records() const { return fApps; }
    // The program dialog (tests answer it themselves).
    void SetChooser(TChooser chooser) { fChooser = std::move(chooser); }
    // The folder "追加" starts in; it follows the program chosen there.
    const std::string& LastFolder() const { return fLastFolder; }
    void SetLastFolder(const std::string& folder) { fLastFolder = folder; }

    int SelectedRow() const;
    void SelectRow(int row);

    // The buttons' work, as their clicks do it.
    void Add();
    void Browse();
    void Delete();
    void Move(int step);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Renumber();
    void SelectionChanged();
    void UpdateButtons();
    // Writes a field into the selected record (not while the fields are
    // being filled from it).
    void FieldEdited();

    std::vector<TRegApplication> fApps;
    TChooser fChooser;
    std::string fLastFolder;
    bool fFilling = false;

    QTreeWidget* fList;
    QToolButton* fUp;
    QToolButton* fDown;
    QPushButton* fAdd;
    QPushButton* fDelete;
    QLineEdit* fName;
    QLineEdit* fPath;
    QPushButton* fBrowse;
    QLineEdit* fParameters;
    QComboBox* fWindow;
    QCheckBox* fParent;
    QCheckBox* fArchivePath;
};
