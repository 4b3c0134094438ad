#pragma once
// SelvanoR's main window. Its handlers are split by subject over several files
// (tfrmgiris_*.cpp); each handler reads its controls, runs one operation and shows the result.

#include "device_session.h"
#include "options.h"

#include <QMainWindow>
#include <atomic>
#include <functional>
#include <memory>

class QAbstractButton;
class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTableView;
class Prompt;
class MemoSink;
class TfrmDM;
class Tfrmyeni;
class Tfrmzil;
class TEnrollForm;

class Tfrmgiris : public QMainWindow {
public:
    static QString title() { return QStringLiteral("Selvano (R Serisi) v1.0.2 [Quenvar]"); }

    // prompt: the dialogs of this window (tests pass a scripted one).
    Tfrmgiris(TfrmDM& dm, Prompt& prompt, const QString& programFolder);
    ~Tfrmgiris() override;

    // The windows created after this one (program entry order).
    void setWindows(Tfrmyeni* editor, TEnrollForm* enrollForm, Tfrmzil* bellForm);

    // Start-up steps.
    void FormCreate();
    // Options: Settings.ini section Options.
    void Button2Click();
    // Terminal list.
    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();
    // Connect / disconnect.
    void BitBtn4Click();
    // Download from the connected terminal; collection from all terminals and its cancel.
    void BitBtn5Click();
    void BitBtn11Click();
    void BitBtn13Click();
    // Conversion of an exported workbook.
    void Button3Click();
    // Clock, administrator cancel, bell and enrollment windows, fingerprint wipe.
    void BitBtn6Click();
    void BitBtn7Click();
    void BitBtn8Click();
    void BitBtn9Click();
    void BitBtn10Click();
    void erminaldeTanmlTmParmakizleriniSil1Click();

    // The terminal row selected in the grid (empty id when the list is empty).
    TerminalRecord selectedTerminal() const;
    void selectTerminalRow(int row);
    // The grid row of the terminal with this ID, -1 when it is not listed.
    int rowOfTerminal(const QString& id) const;
    // Requeries the terminal list; the grid then stands on its first row. Throws with the
    // database's text (the grid is then empty).
    void requeryList();
    // Runs device work off the window thread (runInBackground with this window's prompt). The
    // connect, device and bulk buttons and the wipe entry wait meanwhile, so the link is never
    // shared by two threads nor closed under the work.
    void runSessionWork(QAbstractButton* button, bool busyCursor, std::function<void()> work,
                        std::function<void()> done = {});
    // The three option boxes as they are now, saved or not: they steer the downloads.
    Options currentOptions() const;
    // Enables or disables BitBtn5 to BitBtn10.
    void setDeviceButtonsEnabled(bool enabled);

    DeviceSession& session() { return session_; }
    const QString& programFolder() const { return programFolder_; }
    Prompt& prompt() { return prompt_; }
    TfrmDM& dm() { return dm_; }

    // Controls, under their established names.
    QTableView* DBGrid1 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction* erminaldeTanmlTmParmakizleriniSil1 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;
    QPushButton* BitBtn3 = nullptr;
    QPushButton* BitBtn4 = nullptr;
    QPushButton* BitBtn5 = nullptr;
    QPushButton* BitBtn6 = nullptr;
    QPushButton* BitBtn7 = nullptr;
    QPushButton* BitBtn8 = nullptr;
    QPushButton* BitBtn9 = nullptr;
    QPushButton* BitBtn10 = nullptr;
    QPushButton* BitBtn11 = nullptr;
    QPushButton* BitBtn13 = nullptr;
    QCheckBox* CheckBox1 = nullptr; // "2. veri dosyası kaydet"
    QCheckBox* CheckBox2 = nullptr; // "aldıktan sonra veri sil"
    QCheckBox* CheckBox3 = nullptr; // "dorvak formatı"
    QPushButton* Button2 = nullptr;
    QPushButton* Button3 = nullptr;
    QTabWidget* PageControl1 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QPlainTextEdit* Memo3 = nullptr;
    QPlainTextEdit* Memo4 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* statusLabel = nullptr; // what runs now ("2/5: Merkez")
    QLabel* folderLabel = nullptr; // the program folder, in the status bar

    // Memo sinks usable from worker threads.
    MemoSink* memo3Sink = nullptr;
    MemoSink* memo4Sink = nullptr;

    // Set by BitBtn11Click, cleared by BitBtn13Click.
    std::atomic<bool> runFlag{false};

protected:
    void showEvent(QShowEvent* event) override;
    // Closing ends the program; it waits until work running on a worker has ended.
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void wire(QAbstractButton* button, void (Tfrmgiris::*handler)());
    void arrangeGrid();

    TfrmDM& dm_;
    Prompt& prompt_;
    QString programFolder_;
    DeviceSession session_;
    Tfrmyeni* editor_ = nullptr;
    TEnrollForm* enrollForm_ = nullptr;
    Tfrmzil* bellForm_ = nullptr;
    bool centred_ = false;
};
