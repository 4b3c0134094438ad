#pragma once
// The terminal definition window: the table terminaller, editable row by row.

#include "grid_columns.h"

#include <QDialog>

class Prompt;
class QAction;
class QMenu;
class QTableView;
class TfrmDMMYSQL;

namespace cardpush {

class TfrmTerminalTanimlama : public QDialog {
public:
    TfrmTerminalTanimlama(TfrmDMMYSQL& dm, Prompt& prompt, QWidget* parent = nullptr);

    void BaglantiKontrol1Click();
    void SeciliKaydiSil1Click();
    // A new row with its defaults at row (insert key; moving down from the last row appends).
    void insertTerminal(int row);
    // Clicking the check box of row: flipped and posted at once.
    void toggleChoice(int row);
    // Posting the row the user was on when the current row changes.
    int currentRow() const;

    QTableView* DBGrid3;
    GridColumns* dsterminaller;
    QMenu* PopupMenu1;
    QAction* BaglantiKontrol1;
    QAction* SeciliKaydiSil1;

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Posts pending edits and puts the cursor back on row, column after the table re-reads.
    bool postAndStay(int row, int column);
    void setCurrentCell(int row, int column);

    TfrmDMMYSQL& dm_;
    Prompt& prompt_;
    bool posting_ = false;
};

} // namespace cardpush
