#include "tfrmyeni.h"

#include "prompt.h"
#include "terminal_registry.h"
#include "tfrmdm.h"
#include "tfrmgiris.h"
#include "widget_prompt.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {
const QString kNew = QStringLiteral("yeni");
const QString kUpdate = QStringLiteral("guncelle");
const QString kComChoice = QStringLiteral("comport");
const QString kTcpChoice = QStringLiteral("tcp/ip");
const QString kUsbChoice = QStringLiteral("usb");
const QString kComTip = QStringLiteral("com");
const QString kEthernetTip = QStringLiteral("ethernet");
const QString kUsbTip = QStringLiteral("usb");

// The Tip stored for a connection-type choice; no choice keeps the previous one.
QString tipForChoice(const QString& choice, const QString& previous) {
    if (choice == kComChoice)
        return kComTip;
    if (choice == kTcpChoice)
        return kEthernetTip;
    if (choice == kUsbChoice)
        return kUsbTip;
    return previous;
}

} // namespace

Tfrmyeni::Tfrmyeni(Tfrmgiris& main) : QDialog(&main), main_(main) {
    setWindowTitle(QStringLiteral("Terminal Ekle-Değiştir"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);
    auto edit = [this](const QString& text) { return new QLineEdit(text, this); };
    nameEdit = edit(QStringLiteral("Terminal"));
    numberEdit = edit(QStringLiteral("1"));
    ComboBox1 = new QComboBox(this);
    ComboBox1->addItems({kComChoice, kTcpChoice, kUsbChoice});
    ComboBox1->setCurrentIndex(-1);
    comPortEdit = edit(QStringLiteral("1"));
    baudEdit = edit(QStringLiteral("9600"));
    ipEdit = edit(QStringLiteral("192.168.0.100"));
    tcpPortEdit = edit(QStringLiteral("5005"));
    passwordEdit = edit(QStringLiteral("731586"));
    BitBtn2 = new QPushButton(QStringLiteral("Kaydet"), this);
    QFont bold = BitBtn2->font();
    bold.setBold(true);
    BitBtn2->setFont(bold);
    Button1 = new QPushButton(QStringLiteral("Kapat"), this);

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("Cihaz"), nameEdit);
    fields->addRow(QStringLiteral("Cihaz No"), numberEdit);
    fields->addRow(QStringLiteral("Bağlantı Tipi"), ComboBox1);
    GroupBox1 = new QGroupBox(QStringLiteral("com port"), this);
    auto* comFields = new QFormLayout(GroupBox1);
    comFields->addRow(QStringLiteral("Com Port"), comPortEdit);
    comFields->addRow(QStringLiteral("Baud"), baudEdit);
    comFields->addRow(new QLabel(QStringLiteral("9600-19200-38400-57600-115200"), GroupBox1));
    GroupBox2 = new QGroupBox(QStringLiteral("tcp/ip"), this);
    auto* tcpFields = new QFormLayout(GroupBox2);
    tcpFields->addRow(QStringLiteral("ip adres"), ipEdit);
    tcpFields->addRow(QStringLiteral("tcp port"), tcpPortEdit);
    tcpFields->addRow(QStringLiteral("passsword"), passwordEdit);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn2);
    buttons->addWidget(Button1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(GroupBox1);
    layout->addWidget(GroupBox2);
    layout->addLayout(buttons);
    // Fixed single border: the window takes the size its contents need.
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Only the user's choice runs ComboBox1Change; choices made by the program do not.
    connect(ComboBox1, &QComboBox::activated, this,
            [this] { runGuarded(main_.prompt(), [this] { ComboBox1Change(); }); });
    connect(BitBtn2, &QPushButton::clicked, this,
            [this] { runGuarded(main_.prompt(), [this] { BitBtn2Click(); }); });
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
}

void Tfrmyeni::showEvent(QShowEvent* event) {
    FormShow();
    if (QScreen* s = main_.screen())
        move(s->availableGeometry().center() - rect().center());
    QDialog::showEvent(event);
}

void Tfrmyeni::FormShow() {
    // A pure choice list: no text part to type into, nothing completed.
    ComboBox1->setEditable(false);
}

void Tfrmyeni::showGroups(bool com, bool tcp) {
    GroupBox1->setVisible(com);
    GroupBox2->setVisible(tcp);
}

void Tfrmyeni::ComboBox1Change() {
    const QString choice = ComboBox1->currentText();
    showGroups(choice == kComChoice, choice == kTcpChoice);
    if (choice == kTcpChoice || choice == kUsbChoice)
        passwordEdit->setText(QStringLiteral("0"));
}

void Tfrmyeni::prepareNew() {
    ComboBox1->setCurrentIndex(ComboBox1->findText(kTcpChoice));
    showGroups(false, true);
    passwordEdit->setText(QStringLiteral("0"));
    nameEdit->clear();
    mode = kNew;
}

void Tfrmyeni::prepareChange(const std::optional<TerminalRecord>& row) {
    mode = kUpdate;
    showGroups(false, false);
    if (!row)
        return;
    nameEdit->setText(row->name);
    numberEdit->setText(row->terminalNo);
    comPortEdit->setText(row->comPort);
    baudEdit->setText(row->comBaud);
    ipEdit->setText(row->ip);
    tcpPortEdit->setText(row->netPort);
    passwordEdit->setText(row->password);
    if (row->tip == kComTip) {
        ComboBox1->setCurrentIndex(ComboBox1->findText(kComChoice));
        showGroups(true, false);
    } else if (row->tip == kEthernetTip) {
        ComboBox1->setCurrentIndex(ComboBox1->findText(kTcpChoice));
        showGroups(false, true);
    } else if (row->tip == kUsbTip) {
        ComboBox1->setCurrentIndex(ComboBox1->findText(kUsbChoice));
    }
}

void Tfrmyeni::showModally() {
    if (!modalHook) {
        exec();
        return;
    }
    show();
    modalHook(*this);
    hide();
}

void Tfrmyeni::BitBtn2Click() {
    if (mode != kNew && mode != kUpdate)
        return;
    if (nameEdit->text().isEmpty()) {
        main_.prompt().warning(QStringLiteral("Terminal Adını Giriniz."));
        nameEdit->setFocus();
        return;
    }
    // The update writes to the row selected when "Değiştir" was pressed: the editor is
    // modal, so the grid still stands on it.
    TerminalRecord row = mode == kUpdate ? main_.selectedTerminal() : TerminalRecord();
    row.terminalNo = numberEdit->text();
    row.name = nameEdit->text();
    row.tip = tipForChoice(ComboBox1->currentText(), row.tip);
    row.comPort = comPortEdit->text();
    row.comBaud = baudEdit->text();
    row.ip = ipEdit->text();
    row.netPort = tcpPortEdit->text();
    row.password = passwordEdit->text();
    TerminalRegistry& registry = main_.dm().registry();
    if (mode == kNew) {
        registry.insert(row);
        main_.requeryList();
    } else {
        registry.update(row);
        main_.requeryList();
        main_.selectTerminalRow(main_.rowOfTerminal(row.id));
    }
    close();
}

void Tfrmyeni::Button1Click() {
    close();
}
