#pragma once

// The address bar's box: an editable drop-down that shows where the file
// list is, takes a typed path, completes folders while the user types, and
// offers the typed addresses of earlier runs. Delete on an item of the open
// drop-down forgets that address. The history itself lives in a
// TAddressHistory the box shows and edits.

#include <QComboBox>

#include "browser/AddressBar.h"

class TAddressBox : public QComboBox {
    Q_OBJECT
public:
    explicit TAddressBox(QWidget* parent = nullptr);

    const TAddressHistory& History() const { return fHistory; }
    // The history read at start, cut to limit.
    void SetHistory(TAddressHistory history, int limit);
    // The address the place listed has; what the user was typing goes.
    void ShowAddress(const std::string& text);
    // A typed address was reached or not; either way it enters the history.
    void Remember(const std::string& text, int limit);

signals:
    // The user asked to go to text (Enter, or an item chosen from the list).
    void AddressEntered(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Fill();
    void Enter();

    TAddressHistory fHistory;
    bool fEntering = false;  // an address was asked for in this turn of the event loop
};
