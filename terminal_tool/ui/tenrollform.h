#pragma once
// The enrollment window: a terminal's whole enrollment to and from a backup file ("TÜM DATA")
// and one user's data ("TEK DATA"), on the session the main window holds open.

#include "enroll_files.h"
#include "enroll_work.h"
#include "pdks_names.h"
#include "whole_transfer.h"

#include <QDialog>
#include <functional>
#include <memory>
#include <optional>

class MemoSink;
class Prompt;
class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTreeWidget;
class SingleUserOperations;
class Tfrmgiris;

class TEnrollForm : public QDialog {
public:
    explicit TEnrollForm(Tfrmgiris& main);
    ~TEnrollForm() override;

    // Caption of Label333: the connected terminal's name.
    void setTerminalName(const QString& name);
    // True while an operation runs on its worker; the pages are disabled meanwhile.
    bool isBusy() const { return busy_; }

    void FormCreate();

    // "TÜM DATA"
    void btnGetAllEnrollDataClick();
    void btnSetAllEnrollDataClick();
    void btnGetAllEnrollInfoClick();
    void SpeedButton1Click();
    void btnSelectAllClick();
    void btnSaveAllClick();
    void btnOpenAllClick();
    void btnSaveOneClick();
    void btnOpenOneClick();

    // "TEK DATA"
    void btnReadFPClick();
    void btnWriteFPClick();
    void btnClearFPClick();
    void btnReadPwdClick();
    void btnWritePwdClick();
    void btnClearPwdClick();
    void btnReadCardClick();
    void btnWriteCardClick();
    void btnClearCardClick();
    void btnGetUserNameClick();
    void btnSetUserNameClick();
    void btnExtInfoGetClick();
    void btnExtInfoSetClick();
    void btnSetPrivilegeClick();
    void btnClearUserClick();
    void btnGetUserDetailInfoClick();
    void btnSetUserDetailInfoClick();
    void btnGetEnrollByIDClick();
    void btnSaveFPDataClick();
    void btnOpenFPDataClick();

    // Controls, under their established names.
    QLabel* Label333 = nullptr;
    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr; // "TÜM DATA"
    QWidget* TabSheet2 = nullptr; // "TEK DATA"

    QPushButton* btnGetAllEnrollData = nullptr;
    QPushButton* btnSetAllEnrollData = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QTreeWidget* lvRecord = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* btnGetAllEnrollInfo = nullptr;
    QPushButton* SpeedButton1 = nullptr;
    QPushButton* btnSelectAll = nullptr;
    QPushButton* btnSaveAll = nullptr;
    QPushButton* btnOpenAll = nullptr;
    QPushButton* btnSaveOne = nullptr;
    QPushButton* btnOpenOne = nullptr;

    QLineEdit* edtDN = nullptr;
    QComboBox* cbbFingerNo = nullptr;
    QComboBox* cbbPrivilege = nullptr;
    QLineEdit* edtPassword = nullptr;
    QLineEdit* edtCardID = nullptr;
    QLabel* Label5 = nullptr;
    QLineEdit* edtUserName = nullptr;
    QPushButton* btnGetUserName = nullptr;
    QPushButton* btnSetUserName = nullptr;
    QLineEdit* edtExtInfo = nullptr;
    QPushButton* btnExtInfoGet = nullptr;
    QPushButton* btnExtInfoSet = nullptr;
    QComboBox* cbbUserEnable = nullptr;
    QLineEdit* edtAttTypeID = nullptr;
    QLineEdit* edtDeptID = nullptr;
    QLineEdit* edtGroupID = nullptr;
    QLineEdit* edtPassZone = nullptr;
    QComboBox* cbbLockControl = nullptr;
    QComboBox* cbbValidPeriod = nullptr;
    QDateTimeEdit* dtpStartDate = nullptr;
    QDateTimeEdit* dtpEndDate = nullptr;
    QLineEdit* edtReserve = nullptr;
    QPlainTextEdit* mmoFingerprint = nullptr;

    QPushButton* btnReadFP = nullptr;
    QPushButton* btnWriteFP = nullptr;
    QPushButton* btnClearFP = nullptr;
    QPushButton* btnReadPwd = nullptr;
    QPushButton* btnWritePwd = nullptr;
    QPushButton* btnClearPwd = nullptr;
    QPushButton* btnReadCard = nullptr;
    QPushButton* btnWriteCard = nullptr;
    QPushButton* btnClearCard = nullptr;
    QPushButton* btnSetPrivilege = nullptr;
    QPushButton* btnClearUser = nullptr;
    QPushButton* btnGetUserDetailInfo = nullptr;
    QPushButton* btnSetUserDetailInfo = nullptr;
    QPushButton* btnGetEnrollByID = nullptr;
    QPushButton* btnOpenFPData = nullptr;
    QPushButton* btnSaveFPData = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void buildControls();
    QWidget* buildAllDataPage();
    QWidget* buildOneUserPage();
    // Runs work on a worker with both pages disabled; done then runs on the window thread.
    void run(std::function<void()> work, std::function<void()> done = {});
    Prompt& prompt();
    SingleUserOperations singleUser();
    WholeTransfer wholeTransfer(bool lookUpNames);
    EnrollFiles enrollFiles();
    // Made on the worker that uses it: its database connection belongs to that thread.
    EnrollRowFiller rowFiller(bool lookUpNames);
    void showFingerprint();
    // A single-field read: the text read goes into edit.
    void readInto(QLineEdit* edit,
                  std::function<std::optional<QString>(SingleUserOperations&)> read);

    Tfrmgiris& main_;
    EnrollState state_;
    PdksNames pdks_;
    std::unique_ptr<EnrollRowView> rows_;
    MemoSink* memo1Sink_ = nullptr;
    bool busy_ = false;
};
