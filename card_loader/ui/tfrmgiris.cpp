#include "tfrmgiris.h"

#include "terminal_definitions.h"
#include "tfrmterminaltanimlama.h"
#include "widget_prompt.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShowEvent>
#include <QTableView>
#include <QVBoxLayout>

namespace cardpush {

namespace {

const QString kCaption = QStringLiteral(
    " SelvanoR/Norvi/Miro/Pelto/SelvanoR yüz için PDKS'den cihaza kart/şifre/yüz yükle v1.0.2 "
    "[Quenvar]");

// Read-only grid with whole-row selection that stays visible when the grid loses the focus.
QTableView* newListGrid(QWidget* parent) {
    auto* grid = new QTableView(parent);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    QPalette palette = grid->palette();
    for (const auto role : {QPalette::Highlight, QPalette::HighlightedText})
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    grid->setPalette(palette);
    grid->setWordWrap(false);
    grid->verticalHeader()->setDefaultSectionSize(20);
    return grid;
}

QRadioButton* newRadio(const QString& caption, QWidget* parent, QLayout* layout) {
    auto* radio = new QRadioButton(caption, parent);
    layout->addWidget(radio);
    return radio;
}

} // namespace

Tfrmgiris::Tfrmgiris(TfrmDMMYSQL& dm, const QString& programFolder, Prompt* prompt, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      dm_(dm), programFolder_(programFolder),
      ownPrompt_(prompt ? nullptr : std::make_unique<WidgetPrompt>(this, kCaption.trimmed())),
      prompt_(prompt ? *prompt : *ownPrompt_) {
    buildControls();
    FormCreate();
    frmTerminalTanimlama = new TfrmTerminalTanimlama(dm_, prompt_, this);
}

Tfrmgiris::~Tfrmgiris() = default;

void Tfrmgiris::buildControls() {
    auto* central = new QWidget(this);
    setCentralWidget(central);
    auto* columns = new QHBoxLayout(central);

    // Left: filters, search, status and the personnel list.
    auto* left = new QVBoxLayout;
    columns->addLayout(left, 3);
    auto* filters = new QGridLayout;
    left->addLayout(filters);
    const QString labels[] = {QStringLiteral("Grup"),  QStringLiteral("Bölüm"),
                              QStringLiteral("Görev"), QStringLiteral("Servis"),
                              QStringLiteral("Bölge"), QStringLiteral("Firma")};
    QComboBox** combos[] = {&NxValComboBox1, &NxValComboBox2, &NxValComboBox3,
                            &NxValComboBox4, &NxValComboBox5, &NxValComboBox6};
    for (int i = 0; i < 6; ++i) {
        auto* combo = new QComboBox(central);
        combo->setMaxVisibleItems(22);
        *combos[i] = combo;
        filters->addWidget(new QLabel(labels[i], central), i / 3 * 2, i % 3);
        filters->addWidget(combo, i / 3 * 2 + 1, i % 3);
    }

    auto* choices = new QHBoxLayout;
    left->addLayout(choices);
    auto* arama = new QGroupBox(QStringLiteral("arama"), central);
    auto* aramaLayout = new QHBoxLayout(arama);
    RadioButton3 = newRadio(QStringLiteral("kartno"), arama, aramaLayout);
    RadioButton8 = newRadio(QStringLiteral("kartid"), arama, aramaLayout);
    RadioButton4 = newRadio(QStringLiteral("ad"), arama, aramaLayout);
    RadioButton4->setChecked(true);
    Edit1 = new QLineEdit(arama);
    aramaLayout->addWidget(Edit1, 1);
    choices->addWidget(arama, 3);
    auto* durum = new QGroupBox(QStringLiteral("personel durumu"), central);
    auto* durumLayout = new QHBoxLayout(durum);
    RadioButton5 = newRadio(QStringLiteral("tümü"), durum, durumLayout);
    RadioButton6 = newRadio(QStringLiteral("aktif"), durum, durumLayout);
    RadioButton7 = newRadio(QStringLiteral("pasif"), durum, durumLayout);
    RadioButton6->setChecked(true);
    choices->addWidget(durum, 2);

    DBGrid2 = newListGrid(central);
    dsper = new GridColumns(&dm_.qryper,
                            {{QStringLiteral("kartno"), QStringLiteral("Kart No")},
                             {QStringLiteral("isim"), QStringLiteral("İsim")},
                             {QStringLiteral("kartid"), QStringLiteral("Kart Id")},
                             {QStringLiteral("grupad"), QStringLiteral("Grup")},
                             {QStringLiteral("bolumad"), QStringLiteral("Bölüm")}},
                            this);
    DBGrid2->setModel(dsper);
    DBGrid2->setColumnWidth(1, 200);
    left->addWidget(DBGrid2, 1);
    auto* countRow = new QHBoxLayout;
    auto* countTitle = new QLabel(QStringLiteral("Kayıt Sayısı:"), central);
    kayitsayisi = new QLabel(central);
    kayitsayisi->setObjectName(QStringLiteral("kayitsayisi"));
    for (QLabel* label : {countTitle, kayitsayisi})
        label->setStyleSheet(QStringLiteral("color: red; font-weight: bold;"));
    countRow->addWidget(countTitle);
    countRow->addWidget(kayitsayisi);
    countRow->addStretch();
    left->addLayout(countRow);

    // Right: chosen terminals, credential choices, actions and the log.
    auto* right = new QVBoxLayout;
    columns->addLayout(right, 2);
    DBGrid1 = newListGrid(central);
    dscihaz = new GridColumns(&dm_.qrycihaz,
                              {{QStringLiteral("ad"), QStringLiteral("Cihaz Adı")},
                               {QStringLiteral("Source"), QStringLiteral("Ip Adres")},
                               {QStringLiteral("Baudrate_Remote_Port"), QStringLiteral("Port")},
                               {QStringLiteral("cihaztipi"), QStringLiteral("Cihaz tipi")}},
                              this);
    DBGrid1->setModel(dscihaz);
    right->addWidget(DBGrid1, 1);

    // Two separate groups of radio buttons: each needs a parent of its own.
    auto* kind = new QWidget(central);
    auto* kindLayout = new QHBoxLayout(kind);
    kindLayout->setContentsMargins(0, 0, 0, 0);
    RadioButton9 = newRadio(QStringLiteral("kart"), kind, kindLayout);
    RadioButton10 = newRadio(QStringLiteral("sifre"), kind, kindLayout);
    RadioButton9->setChecked(true);
    kindLayout->addStretch();
    right->addWidget(kind);
    auto* scope = new QWidget(central);
    auto* scopeLayout = new QHBoxLayout(scope);
    scopeLayout->setContentsMargins(0, 0, 0, 0);
    RadioButton1 = newRadio(QStringLiteral("Seçili Personel"), scope, scopeLayout);
    RadioButton2 = newRadio(QStringLiteral("Listedeki personeller"), scope, scopeLayout);
    RadioButton1->setChecked(true);
    scopeLayout->addStretch();
    right->addWidget(scope);

    auto* actions = new QHBoxLayout;
    BitBtn1 = new QPushButton(QStringLiteral("Cihaza Yükle"), central);
    BitBtn2 = new QPushButton(QStringLiteral("Cihazdan Sil"), central);
    BitBtn3 = new QPushButton(QStringLiteral("Kapat"), central);
    for (QPushButton* button : {BitBtn1, BitBtn2, BitBtn3})
        actions->addWidget(button);
    right->addLayout(actions);
    Memo5 = new QPlainTextEdit(central);
    Memo5->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo5->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo5->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    right->addWidget(Memo5, 1);

    TerminalTanimlama1 = menuBar()
                             ->addMenu(QStringLiteral("Tanımlar"))
                             ->addAction(QStringLiteral("Terminal Tanımlama"));

    for (QComboBox* combo : lookupCombos())
        connect(combo, &QComboBox::currentIndexChanged, this, [this] { LoadPersonnel(); });
    // "kartno" takes effect with the next change of the text or of another filter.
    for (QRadioButton* radio :
         {RadioButton5, RadioButton6, RadioButton7, RadioButton4, RadioButton8})
        connect(radio, &QRadioButton::clicked, this, [this] { LoadPersonnel(); });
    connect(Edit1, &QLineEdit::textChanged, this, [this] { LoadPersonnel(); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { BitBtn2Click(); });
    connect(BitBtn3, &QPushButton::clicked, this, &QWidget::close);
    connect(TerminalTanimlama1, &QAction::triggered, this, [this] { TerminalTanimlama1Click(); });

    setFixedSize(1100, 680);
}

std::array<QComboBox*, 6> Tfrmgiris::lookupCombos() const {
    return {NxValComboBox1, NxValComboBox2, NxValComboBox3,
            NxValComboBox4, NxValComboBox5, NxValComboBox6};
}

void Tfrmgiris::FormCreate() {
    setWindowTitle(kCaption);
    SBXPC1.StartControl();
    const std::optional<QString> suffix =
        ConnectDatabase(dm_, programFolder_ + QStringLiteral("Settings.ini"), prompt_);
    if (!suffix)
        return; // the settings cannot be used: no suffix, the lists stay empty
    setWindowTitle(kCaption + *suffix);
    const std::array<LookupList, 6> lists = LoadLookupLists(dm_, prompt_);
    const std::array<QComboBox*, 6> combos = lookupCombos();
    for (std::size_t i = 0; i < combos.size(); ++i) {
        const QSignalBlocker quiet(combos[i]);
        combos[i]->clear();
        for (int entry = 0; entry < lists[i].names.size(); ++entry)
            combos[i]->addItem(lists[i].names[entry], lists[i].ids[entry]);
    }
}

PersonnelFilter Tfrmgiris::currentFilter() const {
    PersonnelFilter filter;
    filter.status = RadioButton5->isChecked()   ? PersonnelStatus::All
                    : RadioButton7->isChecked() ? PersonnelStatus::Passive
                                                : PersonnelStatus::Active;
    filter.searchColumn = RadioButton3->isChecked()   ? SearchColumn::Kartno
                          : RadioButton8->isChecked() ? SearchColumn::Kartid
                                                      : SearchColumn::Ad;
    filter.searchText = Edit1->text();
    const std::array<QComboBox*, 6> combos = lookupCombos();
    for (std::size_t i = 0; i < combos.size(); ++i) {
        bool isId = false;
        const qint64 id = combos[i]->currentData().toString().toLongLong(&isId);
        if (combos[i]->currentIndex() > 0 && isId)
            filter.lookupIds[i] = id;
    }
    return filter;
}

void Tfrmgiris::LoadPersonnel() {
    if (const std::optional<int> count = ::LoadPersonnel(dm_, currentFilter(), prompt_))
        kayitsayisi->setText(QString::number(*count));
    // A reopened list stands on its first person, who is then the selected one.
    if (dsper->rowCount() > 0)
        DBGrid2->setCurrentIndex(dsper->index(0, 0));
}

void Tfrmgiris::LoadChosenTerminals() {
    ::LoadChosenTerminals(dm_, prompt_);
}

void Tfrmgiris::TerminalTanimlama1Click() {
    hide();
    frmTerminalTanimlama->exec();
    show(); // becoming visible again reloads the personnel and the chosen terminals
}

void Tfrmgiris::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (event->spontaneous())
        return; // restored from the task bar: not a new showing
    if (!centred_) {
        centred_ = true;
        if (const QScreen* s = screen())
            move(s->availableGeometry().center() - rect().center());
    }
    FormShow();
}

void Tfrmgiris::FormShow() {
    LoadPersonnel();
    LoadChosenTerminals();
    if (!enrollData_)
        enrollData_.emplace(355, 0);
}

} // namespace cardpush
