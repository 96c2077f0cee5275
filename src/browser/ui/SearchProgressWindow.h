#pragma once

// The window that shows a running search: where it is searching, how many
// results it found so far, and a cancel button that stops it. It opens when
// a search starts and closes when the search ends, however it ends; the
// results stay in the list. User-interface thread.

#include <QObject>

#include "browser/SearchProgress.h"

class QProgressDialog;
class QWidget;

class TSearchProgressWindow : public QObject, private TSearchObserver {
public:
    // folder must outlive the window; window is the one it is shown over.
    TSearchProgressWindow(TSearchFolder& folder, QWidget* window);
    ~TSearchProgressWindow() override;

    // The dialog while a search runs; null otherwise.
    QProgressDialog* Dialog() const { return fDialog; }

private:
    void SearchChanged(TSearchFolder& folder, const TSearchChange& change) override;
    void Close();

    TSearchFolder& fFolder;
    QWidget* fWindow;
    TSearchProgress fProgress;
    QProgressDialog* fDialog = nullptr;
};
