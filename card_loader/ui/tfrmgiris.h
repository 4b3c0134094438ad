#pragma once
// cardpush's main window: the personnel list with its filters, the chosen terminals, the
// credential choices and the log. (SelvanoR's main window has the same name in its own program.)

#include "credential_run.h"
#include "grid_columns.h"
#include "tfrmdmmysql.h"

#include <QMainWindow>
#include <array>
#include <memory>
#include <optional>
#include <vector>

class Prompt;
class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTableView;

namespace cardpush {

class TfrmTerminalTanimlama;

class Tfrmgiris : public QMainWindow {
public:
    // Settings.ini is read from programFolder. prompt: where messages go (the window's own
    // message boxes when null).
    Tfrmgiris(TfrmDMMYSQL& dm, const QString& programFolder, Prompt* prompt = nullptr,
              QWidget* parent = nullptr);
    ~Tfrmgiris() override;

    void LoadPersonnel();
    void LoadChosenTerminals();
    void BitBtn1Click();
    void BitBtn2Click();
    void TerminalTanimlama1Click();

    // The filters as the controls show them now.
    PersonnelFilter currentFilter() const;
    // Passed to every card or password write; made the first time the window is shown.
    std::vector<qint32>* enrollData() { return enrollData_ ? &*enrollData_ : nullptr; }

    // Filters
    QComboBox* NxValComboBox1;
    QComboBox* NxValComboBox2;
    QComboBox* NxValComboBox3;
    QComboBox* NxValComboBox4;
    QComboBox* NxValComboBox5;
    QComboBox* NxValComboBox6;
    // Search: kartno, ad, kartid; status: tümü, aktif, pasif
    QRadioButton* RadioButton3;
    QRadioButton* RadioButton4;
    QRadioButton* RadioButton8;
    QLineEdit* Edit1;
    QRadioButton* RadioButton5;
    QRadioButton* RadioButton6;
    QRadioButton* RadioButton7;
    // Personnel and chosen terminals
    QTableView* DBGrid2;
    QLabel* kayitsayisi;
    QTableView* DBGrid1;
    GridColumns* dsper;
    GridColumns* dscihaz;
    // Credential kind: kart, sifre; person scope: selected, listed
    QRadioButton* RadioButton9;
    QRadioButton* RadioButton10;
    QRadioButton* RadioButton1;
    QRadioButton* RadioButton2;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;
    QPushButton* BitBtn3;
    QPlainTextEdit* Memo5;
    QAction* TerminalTanimlama1;
    TfrmTerminalTanimlama* frmTerminalTanimlama;
    // The "SelvanoNorvi" terminal control, never visible.
    TSBXPC SBXPC1;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void FormCreate();
    void FormShow();
    std::array<QComboBox*, 6> lookupCombos() const;
    // BitBtn1Click and BitBtn2Click (tfrmgiris_credentials.cpp).
    void runCredentials(bool upload);

    TfrmDMMYSQL& dm_;
    QString programFolder_;
    std::unique_ptr<Prompt> ownPrompt_;
    Prompt& prompt_;
    std::optional<std::vector<qint32>> enrollData_;
    // The last SDK connection object, closed, kept between runs.
    std::unique_ptr<TZd2911DeviceConnection> sdkConnection_;
    bool centred_ = false;
};

} // namespace cardpush
