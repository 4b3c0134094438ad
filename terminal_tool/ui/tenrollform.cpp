#include "tenrollform.h"

#include "enroll_files.h"
#include "single_user.h"
#include "tfrmgiris.h"
#include "whole_transfer.h"
#include "widget_prompt.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// The list view lvRecord as the operations see it; safe to use from their worker.
class TreeRowView : public EnrollRowView {
public:
    explicit TreeRowView(QTreeWidget* tree) : tree_(tree) {}

    void clearRows() override {
        runOnUiThread([&] { tree_->clear(); });
    }
    void addRow(const QStringList& columns) override {
        runOnUiThread([&] {
            auto* item = new QTreeWidgetItem(columns);
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(0, Qt::Unchecked);
            tree_->addTopLevelItem(item);
        });
    }
    int rowCount() const override {
        int count = 0;
        runOnUiThread([&] { count = tree_->topLevelItemCount(); });
        return count;
    }
    QString text(int row, int column) const override {
        QString value;
        runOnUiThread([&] { value = tree_->topLevelItem(row)->text(column); });
        return value;
    }
    void setText(int row, int column, const QString& text) override {
        runOnUiThread([&] { tree_->topLevelItem(row)->setText(column, text); });
    }
    bool isTicked(int row) const override {
        bool ticked = false;
        runOnUiThread([&] { ticked = tree_->topLevelItem(row)->checkState(0) == Qt::Checked; });
        return ticked;
    }
    void tickAll() override {
        runOnUiThread([&] {
            for (int row = 0; row < tree_->topLevelItemCount(); ++row)
                tree_->topLevelItem(row)->setCheckState(0, Qt::Checked);
        });
    }

private:
    QTreeWidget* tree_;
};

QPushButton* button(const QString& caption, bool visible = true) {
    auto* b = new QPushButton(caption);
    b->setVisible(visible);
    return b;
}

QComboBox* fixedList(const QStringList& items, int chosen) {
    auto* box = new QComboBox;
    box->addItems(items);
    box->setCurrentIndex(chosen);
    return box;
}

// An edit that takes any text, with arrows that step its number by 1 between 0 and 100.
QWidget* withUpDown(QLineEdit* edit) {
    auto* holder = new QWidget;
    auto* row = new QHBoxLayout(holder);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(edit);
    const auto arrow = [edit](Qt::ArrowType type, int delta) {
        auto* b = new QToolButton;
        b->setArrowType(type);
        QObject::connect(b, &QToolButton::clicked, edit, [edit, delta] {
            const int value = std::clamp(edit->text().toInt() + delta, 0, 100);
            edit->setText(QString::number(value));
        });
        return b;
    };
    row->addWidget(arrow(Qt::UpArrow, 1));
    row->addWidget(arrow(Qt::DownArrow, -1));
    return holder;
}

QDateTimeEdit* datePicker() {
    auto* picker = new QDateTimeEdit;
    picker->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm"));
    picker->setCalendarPopup(true);
    return picker;
}

} // namespace

TEnrollForm::TEnrollForm(Tfrmgiris& main) : QDialog(&main), main_(main) {
    setWindowTitle(QStringLiteral("Parmak/Kart/Yüz Tanımları"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    buildControls();
    rows_ = std::make_unique<TreeRowView>(lvRecord);
    memo1Sink_ = new MemoSink(Memo1);
    memo1Sink_->setParent(this);
    FormCreate();
}

TEnrollForm::~TEnrollForm() = default;

void TEnrollForm::buildControls() {
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    Label333 = new QLabel;
    QFont big = Label333->font();
    big.setPointSize(18);
    big.setBold(true);
    Label333->setFont(big);
    Label333->setStyleSheet(QStringLiteral("color: red;"));
    layout->addWidget(Label333);
    PageControl1 = new QTabWidget;
    TabSheet1 = buildAllDataPage();
    TabSheet2 = buildOneUserPage();
    PageControl1->addTab(TabSheet1, QStringLiteral("TÜM DATA"));
    PageControl1->addTab(TabSheet2, QStringLiteral("TEK DATA"));
    layout->addWidget(PageControl1);
}

QWidget* TEnrollForm::buildAllDataPage() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    QFont bold = font();
    bold.setBold(true);
    btnGetAllEnrollData = button(QStringLiteral("Tüm Prm/Kart/Yüz Datası Al<<<--------"));
    btnSetAllEnrollData = button(QStringLiteral("-------->>>>>Tüm Prm/Kart/Yüz Datası Gönder"));
    btnGetAllEnrollData->setFont(bold);
    btnSetAllEnrollData->setFont(bold);
    CheckBox1 = new QCheckBox(QStringLiteral("pdks'den isimleri al(mysql)"));
    btnGetAllEnrollInfo = button(QStringLiteral("Get All Enroll Information"), false);
    SpeedButton1 = button(QStringLiteral("PDKS Programından İsimleri Al (mysql)"), false);
    auto* top = new QHBoxLayout;
    for (QWidget* w :
         {static_cast<QWidget*>(btnGetAllEnrollData), static_cast<QWidget*>(btnSetAllEnrollData),
          static_cast<QWidget*>(CheckBox1), static_cast<QWidget*>(btnGetAllEnrollInfo),
          static_cast<QWidget*>(SpeedButton1)})
        top->addWidget(w);
    layout->addLayout(top);

    lvRecord = new QTreeWidget;
    lvRecord->setRootIsDecorated(false);
    lvRecord->setUniformRowHeights(true);
    lvRecord->setHeaderLabels(enrollColumnTitles());
    lvRecord->setColumnWidth(ColUserId, 80);
    lvRecord->setColumnWidth(ColUserName, 100);
    lvRecord->setColumnWidth(ColPrivilege, 100);
    lvRecord->setStyleSheet(
        QStringLiteral("QTreeView::item { border: 1px solid #d0d0d0; border-top: none; "
                       "border-left: none; }"));
    lvRecord->setMinimumSize(900, 300);
    layout->addWidget(lvRecord);

    btnSelectAll = button(QStringLiteral("Select All"), false);
    btnSaveAll = button(QStringLiteral("Save All Enroll"), false);
    btnOpenAll = button(QStringLiteral("Open All Enroll"), false);
    btnSaveOne = button(QStringLiteral("Save One Enroll"), false);
    btnOpenOne = button(QStringLiteral("Open One Enroll"), false);
    auto* files = new QHBoxLayout;
    for (QPushButton* b : {btnSelectAll, btnSaveAll, btnOpenAll, btnSaveOne, btnOpenOne})
        files->addWidget(b);
    layout->addLayout(files);

    Memo1 = new QPlainTextEdit;
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setFixedHeight(140);
    layout->addWidget(Memo1);

    connect(btnGetAllEnrollData, &QPushButton::clicked, this,
            [this] { btnGetAllEnrollDataClick(); });
    connect(btnSetAllEnrollData, &QPushButton::clicked, this,
            [this] { btnSetAllEnrollDataClick(); });
    connect(btnGetAllEnrollInfo, &QPushButton::clicked, this,
            [this] { btnGetAllEnrollInfoClick(); });
    connect(SpeedButton1, &QPushButton::clicked, this, [this] { SpeedButton1Click(); });
    connect(btnSelectAll, &QPushButton::clicked, this, [this] { btnSelectAllClick(); });
    connect(btnSaveAll, &QPushButton::clicked, this, [this] { btnSaveAllClick(); });
    connect(btnOpenAll, &QPushButton::clicked, this, [this] { btnOpenAllClick(); });
    connect(btnSaveOne, &QPushButton::clicked, this, [this] { btnSaveOneClick(); });
    connect(btnOpenOne, &QPushButton::clicked, this, [this] { btnOpenOneClick(); });
    return page;
}

QWidget* TEnrollForm::buildOneUserPage() {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);

    edtDN = new QLineEdit(QStringLiteral("1"));
    edtDN->setStyleSheet(QStringLiteral("font-weight: bold; color: green;"));
    QStringList fingers;
    for (int k = 0; k < FingerSlotCount; ++k)
        fingers << QString::number(k);
    cbbFingerNo = fixedList(fingers, 0);
    cbbPrivilege = fixedList({QStringLiteral("User"), QStringLiteral("Enroll User"),
                              QStringLiteral("View User"), QStringLiteral("Super User"),
                              QStringLiteral("Customer")},
                             0);
    edtPassword = new QLineEdit;
    edtCardID = new QLineEdit;
    Label5 = new QLabel(QStringLiteral("Adı Soyadı:"));
    edtUserName = new QLineEdit;
    btnGetUserName = button(QStringLiteral("Get"));
    btnSetUserName = button(QStringLiteral("Set"));
    edtExtInfo = new QLineEdit;
    btnExtInfoGet = button(QStringLiteral("Get"));
    btnExtInfoSet = button(QStringLiteral("Set"));
    cbbUserEnable = fixedList({QStringLiteral("No"), QStringLiteral("Yes")}, 0);
    edtAttTypeID = new QLineEdit(QStringLiteral("0"));
    edtDeptID = new QLineEdit(QStringLiteral("0"));
    edtGroupID = new QLineEdit(QStringLiteral("0"));
    edtPassZone = new QLineEdit(QStringLiteral("0"));
    cbbLockControl = fixedList({QStringLiteral("None"), QStringLiteral("lock 1 only"),
                                QStringLiteral("lock 2 only"), QStringLiteral("lock 1 & 2")},
                               -1);
    cbbValidPeriod = fixedList({QStringLiteral("No"), QStringLiteral("Yes")}, 0);
    dtpStartDate = datePicker();
    dtpEndDate = datePicker();
    edtReserve = new QLineEdit(QStringLiteral("0"));
    mmoFingerprint = new QPlainTextEdit;
    mmoFingerprint->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    mmoFingerprint->setWordWrapMode(QTextOption::WordWrap);
    mmoFingerprint->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    int row = 0;
    const auto field = [&](const QString& caption, QWidget* control) {
        grid->addWidget(new QLabel(caption), row, 0);
        grid->addWidget(control, row, 1);
        ++row;
    };
    const auto buttons = [](std::initializer_list<QWidget*> widgets) {
        auto* holder = new QWidget;
        auto* line = new QHBoxLayout(holder);
        line->setContentsMargins(0, 0, 0, 0);
        for (QWidget* w : widgets)
            line->addWidget(w);
        return holder;
    };
    field(QStringLiteral("Kullanıcı ID:"), edtDN);
    field(QStringLiteral("Parmak No:"), cbbFingerNo);
    field(QStringLiteral("Yetki:"), cbbPrivilege);
    field(QStringLiteral("Şifre:"), edtPassword);
    field(QStringLiteral("Kart Id:"), edtCardID);
    grid->addWidget(Label5, row, 0);
    grid->addWidget(buttons({edtUserName, btnGetUserName, btnSetUserName}), row++, 1);
    field(QStringLiteral("ExtInfo:"), buttons({edtExtInfo, btnExtInfoGet, btnExtInfoSet}));
    field(QStringLiteral("Aktif/Pasif"), cbbUserEnable);
    field(QStringLiteral("Att type ID"), withUpDown(edtAttTypeID));
    field(QStringLiteral("Dept ID"), withUpDown(edtDeptID));
    field(QStringLiteral("Group ID"), withUpDown(edtGroupID));
    field(QStringLiteral("Pass zone"), withUpDown(edtPassZone));
    field(QStringLiteral("Lock control"), cbbLockControl);
    field(QStringLiteral("Validity period:"), cbbValidPeriod);
    field(QStringLiteral("Start:"), dtpStartDate);
    field(QStringLiteral("End:"), dtpEndDate);
    field(QStringLiteral("Reserve:"), withUpDown(edtReserve));
    grid->addWidget(new QLabel(QStringLiteral("Parmak data:")), row, 0, Qt::AlignTop);
    grid->addWidget(mmoFingerprint, row++, 1);

    btnOpenFPData = button(QStringLiteral("Open FP Data"), false);
    btnSaveFPData = button(QStringLiteral("Save FP Data"), false);
    grid->addWidget(buttons({btnOpenFPData, btnSaveFPData}), row++, 1);

    btnReadFP = button(QStringLiteral("Parmak Data Al"));
    btnWriteFP = button(QStringLiteral("Parmak Data Gönder"));
    btnClearFP = button(QStringLiteral("Parmak Data Cihazdan Sil"));
    btnReadPwd = button(QStringLiteral("Şifre Al"));
    btnWritePwd = button(QStringLiteral("Şifre Gönder"));
    btnClearPwd = button(QStringLiteral("Şifre cihazdan sil"));
    btnReadCard = button(QStringLiteral("Kart al"));
    btnWriteCard = button(QStringLiteral("Kart gönder"));
    btnClearCard = button(QStringLiteral("Kart cihazdan sil"));
    btnSetPrivilege = button(QStringLiteral("Yetki Ayarla"));
    btnClearUser = button(QStringLiteral("Kullanıcıyı Cihazdan Sil"));
    btnGetUserDetailInfo = button(QStringLiteral("Get User Detail Info"), false);
    btnSetUserDetailInfo = button(QStringLiteral("Set User Detail Info"), false);
    btnGetEnrollByID = button(QStringLiteral("Get Enroll Information By User ID"), false);
    auto* actions = new QVBoxLayout;
    for (QPushButton* b : {btnReadFP, btnWriteFP, btnClearFP, btnReadPwd, btnWritePwd, btnClearPwd,
                           btnReadCard, btnWriteCard, btnClearCard, btnSetPrivilege, btnClearUser,
                           btnGetUserDetailInfo, btnSetUserDetailInfo, btnGetEnrollByID})
        actions->addWidget(b);
    actions->addStretch();
    grid->addLayout(actions, 0, 2, row, 1);

    const std::pair<QPushButton*, void (TEnrollForm::*)()> handlers[] = {
        {btnReadFP, &TEnrollForm::btnReadFPClick},
        {btnWriteFP, &TEnrollForm::btnWriteFPClick},
        {btnClearFP, &TEnrollForm::btnClearFPClick},
        {btnReadPwd, &TEnrollForm::btnReadPwdClick},
        {btnWritePwd, &TEnrollForm::btnWritePwdClick},
        {btnClearPwd, &TEnrollForm::btnClearPwdClick},
        {btnReadCard, &TEnrollForm::btnReadCardClick},
        {btnWriteCard, &TEnrollForm::btnWriteCardClick},
        {btnClearCard, &TEnrollForm::btnClearCardClick},
        {btnGetUserName, &TEnrollForm::btnGetUserNameClick},
        {btnSetUserName, &TEnrollForm::btnSetUserNameClick},
        {btnExtInfoGet, &TEnrollForm::btnExtInfoGetClick},
        {btnExtInfoSet, &TEnrollForm::btnExtInfoSetClick},
        {btnSetPrivilege, &TEnrollForm::btnSetPrivilegeClick},
        {btnClearUser, &TEnrollForm::btnClearUserClick},
        {btnGetUserDetailInfo, &TEnrollForm::btnGetUserDetailInfoClick},
        {btnSetUserDetailInfo, &TEnrollForm::btnSetUserDetailInfoClick},
        {btnGetEnrollByID, &TEnrollForm::btnGetEnrollByIDClick},
        {btnOpenFPData, &TEnrollForm::btnOpenFPDataClick},
        {btnSaveFPData, &TEnrollForm::btnSaveFPDataClick},
    };
    for (const auto& [b, handler] : handlers)
        connect(b, &QPushButton::clicked, this, [this, handler = handler] { (this->*handler)(); });
    return page;
}

void TEnrollForm::FormCreate() {
    state_.fingerprint = NewByteVector(FingerprintTemplateSize);
    showFingerprint();
    dtpStartDate->setDateTime(QDateTime(QDate(2000, 1, 1), QTime(0, 0)));
    dtpEndDate->setDateTime(QDateTime(QDate(2099, 12, 31), QTime(0, 0)));
    PageControl1->setCurrentWidget(TabSheet1);
}

void TEnrollForm::setTerminalName(const QString& name) {
    Label333->setText(name);
}

void TEnrollForm::closeEvent(QCloseEvent* event) {
    // The session stays borrowed until the running operation ends.
    if (busy_) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void TEnrollForm::reject() {
    if (!busy_)
        QDialog::reject();
}

Prompt& TEnrollForm::prompt() {
    return main_.prompt();
}

void TEnrollForm::run(std::function<void()> work, std::function<void()> done) {
    if (busy_)
        return;
    busy_ = true;
    PageControl1->setEnabled(false);
    runInBackground(this, nullptr, false, prompt(), std::move(work),
                    [this, done = std::move(done)] {
                        PageControl1->setEnabled(true);
                        busy_ = false;
                        if (done)
                            done();
                    });
}

SingleUserOperations TEnrollForm::singleUser() {
    return SingleUserOperations(main_.session(), state_, prompt());
}

WholeTransfer TEnrollForm::wholeTransfer(bool lookUpNames) {
    return WholeTransfer(main_.session(), state_, *rows_, *memo1Sink_, prompt(), pdks_,
                         lookUpNames);
}

EnrollFiles TEnrollForm::enrollFiles() {
    return EnrollFiles(state_, *rows_, prompt(), main_.programFolder());
}

EnrollRowFiller TEnrollForm::rowFiller(bool lookUpNames) {
    return EnrollRowFiller(*rows_, *memo1Sink_, lookUpNames ? &pdks_.settings() : nullptr);
}

void TEnrollForm::showFingerprint() {
    mmoFingerprint->setPlainText(BytesToHex(state_.fingerprint));
}

void TEnrollForm::readInto(QLineEdit* edit,
                           std::function<std::optional<QString>(SingleUserOperations&)> read) {
    auto result = std::make_shared<std::optional<QString>>();
    run(
        [this, result, read = std::move(read)] {
            SingleUserOperations ops = singleUser();
            *result = read(ops);
        },
        [edit, result] {
            if (*result)
                edit->setText(**result);
        });
}

// ---- "TÜM DATA" -------------------------------------------------------------------------

void TEnrollForm::btnGetAllEnrollDataClick() {
    const bool lookUp = CheckBox1->isChecked();
    const QString folder = main_.programFolder();
    run(
        [this, lookUp, folder] {
            wholeTransfer(lookUp).receiveAll(folder + QStringLiteral("allenroll.fpt"),
                                             folder + QStringLiteral("Settings.ini"));
        },
        [this, lookUp] {
            if (lookUp)
                Label5->setText(pdks_.settings().database);
        });
}

void TEnrollForm::btnSetAllEnrollDataClick() {
    const bool lookUp = CheckBox1->isChecked();
    const QString path = main_.programFolder() + QStringLiteral("allenroll.fpt");
    run([this, lookUp, path] { wholeTransfer(lookUp).sendAll(path); });
}

void TEnrollForm::btnGetAllEnrollInfoClick() {
    const bool lookUp = CheckBox1->isChecked();
    run([this, lookUp] { wholeTransfer(lookUp).listOnly(); });
}

void TEnrollForm::btnGetEnrollByIDClick() {
    const bool lookUp = CheckBox1->isChecked();
    const QString userId = edtDN->text();
    run([this, lookUp, userId] { wholeTransfer(lookUp).oneUser(userId); });
}

void TEnrollForm::SpeedButton1Click() {
    const QString settings = main_.programFolder() + QStringLiteral("Settings.ini");
    run([this, settings] { wholeTransfer(false).pdksNamesIntoRows(settings); },
        [this] { Label5->setText(pdks_.settings().database); });
}

void TEnrollForm::btnSelectAllClick() {
    rows_->tickAll();
}

void TEnrollForm::btnSaveAllClick() {
    run([this] { enrollFiles().saveAll(); });
}

void TEnrollForm::btnOpenAllClick() {
    const bool lookUp = CheckBox1->isChecked();
    run([this, lookUp] {
        EnrollRowFiller filler = rowFiller(lookUp);
        enrollFiles().openAll(filler);
    });
}

void TEnrollForm::btnSaveOneClick() {
    run([this] { enrollFiles().saveOne(); });
}

void TEnrollForm::btnOpenOneClick() {
    const bool lookUp = CheckBox1->isChecked();
    run([this, lookUp] {
        EnrollRowFiller filler = rowFiller(lookUp);
        enrollFiles().openOne(filler);
    });
}

// ---- "TEK DATA" -------------------------------------------------------------------------

void TEnrollForm::btnReadFPClick() {
    const QString userId = edtDN->text();
    const int finger = cbbFingerNo->currentIndex();
    run([this, userId, finger] { singleUser().readFingerprint(userId, finger); },
        [this] { showFingerprint(); });
}

void TEnrollForm::btnWriteFPClick() {
    const QString userId = edtDN->text();
    const int finger = cbbFingerNo->currentIndex();
    run([this, userId, finger] { singleUser().writeFingerprint(userId, finger); });
}

void TEnrollForm::btnClearFPClick() {
    const QString userId = edtDN->text();
    const int finger = cbbFingerNo->currentIndex();
    run([this, userId, finger] { singleUser().clearFingerprint(userId, finger); });
}

void TEnrollForm::btnReadPwdClick() {
    const QString userId = edtDN->text();
    readInto(edtPassword, [userId](SingleUserOperations& ops) { return ops.readPassword(userId); });
}

void TEnrollForm::btnWritePwdClick() {
    const QString userId = edtDN->text();
    const QString password = edtPassword->text();
    run([this, userId, password] { singleUser().writePassword(userId, password); });
}

void TEnrollForm::btnClearPwdClick() {
    const QString userId = edtDN->text();
    run([this, userId] { singleUser().clearPassword(userId); });
}

void TEnrollForm::btnReadCardClick() {
    const QString userId = edtDN->text();
    readInto(edtCardID, [userId](SingleUserOperations& ops) { return ops.readCard(userId); });
}

void TEnrollForm::btnWriteCardClick() {
    const QString userId = edtDN->text();
    const QString card = edtCardID->text();
    run([this, userId, card] { singleUser().writeCard(userId, card); });
}

void TEnrollForm::btnClearCardClick() {
    const QString userId = edtDN->text();
    run([this, userId] { singleUser().clearCard(userId); });
}

void TEnrollForm::btnGetUserNameClick() {
    const QString userId = edtDN->text();
    readInto(edtUserName, [userId](SingleUserOperations& ops) { return ops.readUserName(userId); });
}

void TEnrollForm::btnSetUserNameClick() {
    const QString userId = edtDN->text();
    const QString name = edtUserName->text();
    run([this, userId, name] { singleUser().writeUserName(userId, name); });
}

void TEnrollForm::btnExtInfoGetClick() {
    const QString userId = edtDN->text();
    readInto(edtExtInfo, [userId](SingleUserOperations& ops) { return ops.readExtInfo(userId); });
}

void TEnrollForm::btnExtInfoSetClick() {
    const QString userId = edtDN->text();
    const QString text = edtExtInfo->text();
    run([this, userId, text] { singleUser().writeExtInfo(userId, text); });
}

void TEnrollForm::btnSetPrivilegeClick() {
    const QString userId = edtDN->text();
    const int index = cbbPrivilege->currentIndex();
    run([this, userId, index] { singleUser().setPrivilege(userId, index); });
}

void TEnrollForm::btnClearUserClick() {
    const QString userId = edtDN->text();
    run([this, userId] { singleUser().clearUser(userId); });
}

void TEnrollForm::btnGetUserDetailInfoClick() {
    const QString userId = edtDN->text();
    auto result = std::make_shared<std::optional<UserDetail>>();
    run([this, userId, result] { *result = singleUser().readDetail(userId); },
        [this, result] {
            if (!*result)
                return;
            const UserDetail& d = **result;
            edtPassword->setText(d.password);
            edtCardID->setText(d.cardId);
            edtUserName->setText(d.userName);
            edtExtInfo->setText(d.extInfo);
            cbbUserEnable->setCurrentIndex(d.enabled ? 1 : 0);
            edtAttTypeID->setText(d.attTypeId);
            edtGroupID->setText(d.groupId);
            edtDeptID->setText(d.deptId);
            edtPassZone->setText(d.passZone);
            cbbLockControl->setCurrentIndex(d.lockControl);
            cbbValidPeriod->setCurrentIndex(d.validPeriod ? 1 : 0);
            dtpStartDate->setDate(d.validFrom);
            dtpEndDate->setDate(d.validTo);
            showFingerprint();
        });
}

void TEnrollForm::btnSetUserDetailInfoClick() {
    const QString userId = edtDN->text();
    const int privilegeIndex = cbbPrivilege->currentIndex();
    UserDetail typed;
    typed.password = edtPassword->text();
    typed.cardId = edtCardID->text();
    typed.userName = edtUserName->text();
    typed.extInfo = edtExtInfo->text();
    typed.enabled = cbbUserEnable->currentIndex() == 1;
    typed.attTypeId = edtAttTypeID->text();
    typed.deptId = edtDeptID->text();
    typed.groupId = edtGroupID->text();
    typed.passZone = edtPassZone->text();
    typed.lockControl = cbbLockControl->currentIndex();
    typed.validPeriod = cbbValidPeriod->currentIndex() == 1;
    typed.validFrom = dtpStartDate->date();
    typed.validTo = dtpEndDate->date();
    run([this, userId, privilegeIndex, typed] {
        singleUser().writeDetail(userId, privilegeIndex, typed);
    });
}

void TEnrollForm::btnSaveFPDataClick() {
    run([this] { enrollFiles().saveFingerprint(); });
}

void TEnrollForm::btnOpenFPDataClick() {
    run([this] { enrollFiles().openFingerprint(); }, [this] { showFingerprint(); });
}
