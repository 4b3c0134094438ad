#include "tfrmgiris.h"

#include "options.h"
#include "prompt.h"
#include "tenrollform.h"
#include "terminal_registry.h"
#include "text_formats.h"
#include "tfrmdm.h"
#include "tfrmyeni.h"
#include "tfrmzil.h"
#include "widget_prompt.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSqlQueryModel>
#include <QSqlRecord>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>
#include <optional>

namespace {
const QString kConnect = QStringLiteral("BAGLAN");
const QString kDisconnect = QStringLiteral("BAGLANTI_KES");
// The grid's columns in their order, with their titles.
const QStringList kGridColumns = {QStringLiteral("Terminal"), QStringLiteral("Tip"),
                                  QStringLiteral("IP")};
} // namespace

Tfrmgiris::Tfrmgiris(TfrmDM& dm, Prompt& prompt, const QString& programFolder)
    : dm_(dm), prompt_(prompt), programFolder_(programFolder) {
    buildControls();
}

Tfrmgiris::~Tfrmgiris() = default;

void Tfrmgiris::setWindows(Tfrmyeni* editor, TEnrollForm* enrollForm, Tfrmzil* bellForm) {
    editor_ = editor;
    enrollForm_ = enrollForm;
    bellForm_ = bellForm;
}

void Tfrmgiris::buildControls() {
    // Fixed single border with system menu and minimize box only.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    auto button = [this](const QString& text) { return new QPushButton(text, this); };
    auto memo = [this] {
        auto* m = new QPlainTextEdit(this);
        m->setReadOnly(true);
        m->setLineWrapMode(QPlainTextEdit::NoWrap);
        m->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        m->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        return m;
    };

    DBGrid1 = new QTableView(this);
    DBGrid1->setModel(dm_.qrycihaz);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->verticalHeader()->hide();
    DBGrid1->horizontalHeader()->setStretchLastSection(true);
    DBGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    PopupMenu1 = new QMenu(this);
    erminaldeTanmlTmParmakizleriniSil1 =
        PopupMenu1->addAction(QStringLiteral("Terminalde Tanımlı Tüm Parmakizlerini Sil"));
    BitBtn1 = button(QStringLiteral("Ekle"));
    BitBtn2 = button(QStringLiteral("Değiştir"));
    BitBtn3 = button(QStringLiteral("Sil"));
    BitBtn4 = button(kConnect);
    BitBtn5 = button(QStringLiteral("Verileri Aktar"));
    BitBtn6 = button(QStringLiteral("Tarih-Saat Ayarla"));
    BitBtn7 = button(QStringLiteral("Tarih-Saat Oku"));
    BitBtn8 = button(QStringLiteral("Admin İptal"));
    BitBtn9 = button(QStringLiteral("Zil Saatleri(24)"));
    BitBtn10 = button(QStringLiteral("PRM/KRT/YÜZ"));
    BitBtn11 = button(QStringLiteral("Bağlanıp Verileri Aktar"));
    BitBtn13 = button(QStringLiteral("işlemi iptal et"));
    CheckBox1 = new QCheckBox(QStringLiteral("2. veri dosyası kaydet"), this);
    CheckBox2 = new QCheckBox(QStringLiteral("aldıktan sonra veri sil"), this);
    CheckBox3 = new QCheckBox(QStringLiteral("dorvak formatı"), this);
    Button2 = button(QStringLiteral("Ayarları Kaydet"));
    Button3 = button(QStringLiteral("usb dosya->text (veri.txt)"));
    PageControl1 = new QTabWidget(this);
    ProgressBar1 = new QProgressBar(this);
    Memo3 = memo();
    Memo4 = memo();
    Edit1 = new QLineEdit(this);
    Label2 =
        new QLabel(QStringLiteral("csv uzantılı dosyayı 97-2003 foramtında execle dönüştür"), this);
    Label3 = new QLabel(QStringLiteral("bu exceli aç, sayfa adını Sayfa1 yaz."), this);
    statusLabel = new QLabel(this);
    folderLabel = new QLabel(this);
    memo3Sink = new MemoSink(Memo3);
    memo3Sink->setParent(this);
    memo4Sink = new MemoSink(Memo4);
    memo4Sink->setParent(this);

    auto* standard = new QWidget(this);
    auto* standardLayout = new QVBoxLayout(standard);
    standardLayout->addWidget(BitBtn4);
    standardLayout->addWidget(BitBtn5);
    standardLayout->addWidget(ProgressBar1);
    standardLayout->addStretch();
    auto* bulk = new QWidget(this);
    auto* bulkLayout = new QVBoxLayout(bulk);
    auto* bulkButtons = new QHBoxLayout;
    bulkButtons->addWidget(BitBtn11);
    bulkButtons->addWidget(BitBtn13);
    bulkLayout->addLayout(bulkButtons);
    bulkLayout->addWidget(Memo3);
    PageControl1->addTab(standard, QStringLiteral("Standart Veri Aktarımı"));
    PageControl1->addTab(bulk, QStringLiteral("Toplu Veri Aktarımı"));

    auto* top = new QHBoxLayout;
    auto* listColumn = new QVBoxLayout;
    listColumn->addWidget(DBGrid1);
    auto* listButtons = new QHBoxLayout;
    for (QPushButton* b : {BitBtn1, BitBtn2, BitBtn3})
        listButtons->addWidget(b);
    listColumn->addLayout(listButtons);
    top->addLayout(listColumn, 3);
    auto* deviceColumn = new QVBoxLayout;
    for (QPushButton* b : {BitBtn7, BitBtn6, BitBtn8, BitBtn9, BitBtn10})
        deviceColumn->addWidget(b);
    deviceColumn->addStretch();
    for (QWidget* w : std::initializer_list<QWidget*>{CheckBox2, CheckBox1, CheckBox3, Button2})
        deviceColumn->addWidget(w);
    top->addLayout(deviceColumn, 1);
    layout->addLayout(top);
    layout->addWidget(PageControl1);
    layout->addWidget(Memo4);
    auto* convert = new QGridLayout;
    convert->addWidget(Button3, 0, 0);
    convert->addWidget(Edit1, 0, 1);
    convert->addWidget(Label2, 1, 0, 1, 2);
    convert->addWidget(Label3, 2, 0, 1, 2);
    layout->addLayout(convert);
    setCentralWidget(central);
    statusBar()->addWidget(statusLabel, 1);
    statusBar()->addPermanentWidget(folderLabel);
    statusBar()->setSizeGripEnabled(false);
    setFixedSize(sizeHint().expandedTo(QSize(780, 680)));

    wire(BitBtn1, &Tfrmgiris::BitBtn1Click);
    wire(BitBtn2, &Tfrmgiris::BitBtn2Click);
    wire(BitBtn3, &Tfrmgiris::BitBtn3Click);
    wire(BitBtn4, &Tfrmgiris::BitBtn4Click);
    wire(BitBtn5, &Tfrmgiris::BitBtn5Click);
    wire(BitBtn6, &Tfrmgiris::BitBtn6Click);
    wire(BitBtn7, &Tfrmgiris::BitBtn7Click);
    wire(BitBtn8, &Tfrmgiris::BitBtn8Click);
    wire(BitBtn9, &Tfrmgiris::BitBtn9Click);
    wire(BitBtn10, &Tfrmgiris::BitBtn10Click);
    wire(BitBtn11, &Tfrmgiris::BitBtn11Click);
    wire(BitBtn13, &Tfrmgiris::BitBtn13Click);
    wire(Button2, &Tfrmgiris::Button2Click);
    wire(Button3, &Tfrmgiris::Button3Click);
    connect(erminaldeTanmlTmParmakizleriniSil1, &QAction::triggered, this,
            [this] { runGuarded(prompt_, [this] { erminaldeTanmlTmParmakizleriniSil1Click(); }); });
    connect(DBGrid1, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        PopupMenu1->popup(DBGrid1->viewport()->mapToGlobal(pos));
    });
}

void Tfrmgiris::wire(QAbstractButton* button, void (Tfrmgiris::*handler)()) {
    connect(button, &QAbstractButton::clicked, this,
            [this, handler] { runGuarded(prompt_, [this, handler] { (this->*handler)(); }); });
}

void Tfrmgiris::showEvent(QShowEvent* event) {
    if (!centred_ && screen()) {
        move(screen()->availableGeometry().center() - rect().center());
        centred_ = true;
    }
    QMainWindow::showEvent(event);
}

void Tfrmgiris::closeEvent(QCloseEvent* event) {
    // A worker still using the session or the windows must not outlive them.
    if (runningBackgroundWork() > 0) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

void Tfrmgiris::FormCreate() {
    setWindowTitle(title());
    PageControl1->setCurrentIndex(0);
    folderLabel->setText(programFolder_);
    setDeviceButtonsEnabled(false);
    TextFormats& formats = processTextFormats();
    formats.shortDateFormat = QStringLiteral("dd.mm.yyyy");
    formats.longDateFormat = QStringLiteral("dddd, dd mmmm yyyy");
    runGuarded(prompt_, [this] {
        if (!dm_.openDataDb())
            prompt_.warning(QStringLiteral("Data dosyası bulunamadı....."));
        if (!dm_.openLogDb())
            prompt_.warning(QStringLiteral("Log dosyası bulunamadı....."));
        requeryList();
    });
    // The options are read even when the store failed: otherwise the next "Ayarları Kaydet"
    // would overwrite the saved options with unticked boxes.
    runGuarded(prompt_, [this] {
        const Options options = readOptions(settingsFilePath(programFolder_));
        CheckBox1->setChecked(options.veriDosya2);
        CheckBox2->setChecked(options.veriSil);
        CheckBox3->setChecked(options.dorvak);
    });
}

Options Tfrmgiris::currentOptions() const {
    Options options;
    options.veriDosya2 = CheckBox1->isChecked();
    options.veriSil = CheckBox2->isChecked();
    options.dorvak = CheckBox3->isChecked();
    return options;
}

void Tfrmgiris::Button2Click() {
    saveOptions(settingsFilePath(programFolder_), currentOptions());
}

void Tfrmgiris::BitBtn1Click() {
    editor_->prepareNew();
    editor_->showModally();
}

void Tfrmgiris::BitBtn2Click() {
    const TerminalRecord row = selectedTerminal();
    // An empty list has no row to change.
    if (row.id.isEmpty())
        return;
    editor_->prepareChange(dm_.registry().byId(row.id) ? std::optional(row) : std::nullopt);
    editor_->showModally();
}

void Tfrmgiris::BitBtn3Click() {
    const TerminalRecord row = selectedTerminal();
    if (row.id.isEmpty())
        return;
    if (!prompt_.confirm(QStringLiteral("Seçili kaydı Silmek İstiyor musunuz...?")))
        return;
    dm_.registry().remove(row.id);
    requeryList();
}

void Tfrmgiris::BitBtn4Click() {
    if (BitBtn4->text() == kDisconnect) {
        BitBtn4->setText(kConnect);
        setDeviceButtonsEnabled(false);
        session_.clearSessionIp();
        session_.CloseSession();
        return;
    }
    setDeviceButtonsEnabled(false);
    const TerminalRecord row = selectedTerminal();
    // Stays empty when OpenSession raised an error (already shown).
    auto connected = std::make_shared<std::optional<bool>>();
    runSessionWork(
        BitBtn4, false, [this, row, connected] { *connected = session_.OpenSession(row); },
        [this, connected] {
            if (!connected->has_value())
                return;
            if (**connected) {
                BitBtn4->setText(kDisconnect);
                setDeviceButtonsEnabled(true);
            } else {
                prompt_.message(QStringLiteral("Hata..Bağlantı Kurulamadı...."));
            }
        });
}

void Tfrmgiris::runSessionWork(QAbstractButton* button, bool busyCursor, std::function<void()> work,
                               std::function<void()> done) {
    // The link serves one thread at a time: every control that could reach it (or close it)
    // waits until this work ends, then gets back the state it had.
    QList<QPair<QPointer<QObject>, bool>> held;
    for (QPushButton* b :
         {BitBtn4, BitBtn5, BitBtn6, BitBtn7, BitBtn8, BitBtn9, BitBtn10, BitBtn11})
        held.append({b, b->isEnabled()});
    held.append(
        {erminaldeTanmlTmParmakizleriniSil1, erminaldeTanmlTmParmakizleriniSil1->isEnabled()});
    for (const auto& [control, enabled] : held)
        control->setProperty("enabled", false);
    runInBackground(this, button, busyCursor, prompt_, std::move(work),
                    [this, held, done = std::move(done)] {
                        for (const auto& [control, enabled] : held)
                            if (control)
                                control->setProperty("enabled", enabled);
                        if (done)
                            runGuarded(prompt_, done);
                    });
}

TerminalRecord Tfrmgiris::selectedTerminal() const {
    const QModelIndex current = DBGrid1->currentIndex();
    if (!current.isValid())
        return TerminalRecord();
    return terminalFromRecord(dm_.qrycihaz->record(current.row()));
}

void Tfrmgiris::selectTerminalRow(int row) {
    if (row < 0 || row >= dm_.qrycihaz->rowCount())
        return;
    const int column = dm_.qrycihaz->record().indexOf(kGridColumns.first());
    DBGrid1->setCurrentIndex(dm_.qrycihaz->index(row, qMax(column, 0)));
    DBGrid1->selectRow(row);
}

int Tfrmgiris::rowOfTerminal(const QString& id) const {
    for (int row = 0; row < dm_.qrycihaz->rowCount(); ++row)
        if (terminalFromRecord(dm_.qrycihaz->record(row)).id == id)
            return row;
    return -1;
}

void Tfrmgiris::requeryList() {
    try {
        dm_.requeryTerminals();
    } catch (...) {
        arrangeGrid();
        throw;
    }
    arrangeGrid();
    selectTerminalRow(0);
}

void Tfrmgiris::arrangeGrid() {
    // Only Terminal, Tip and IP are shown, in that order, whatever the letter case and
    // position of the table's columns.
    QHeaderView* header = DBGrid1->horizontalHeader();
    const QSqlRecord columns = dm_.qrycihaz->record();
    for (int c = 0; c < columns.count(); ++c)
        DBGrid1->setColumnHidden(c, true);
    for (int position = 0; position < kGridColumns.size(); ++position) {
        for (int c = 0; c < columns.count(); ++c) {
            if (columns.fieldName(c).compare(kGridColumns[position], Qt::CaseInsensitive) != 0)
                continue;
            DBGrid1->setColumnHidden(c, false);
            dm_.qrycihaz->setHeaderData(c, Qt::Horizontal, kGridColumns[position]);
            header->moveSection(header->visualIndex(c), position);
            break;
        }
    }
}

void Tfrmgiris::setDeviceButtonsEnabled(bool enabled) {
    for (QPushButton* b : {BitBtn5, BitBtn6, BitBtn7, BitBtn8, BitBtn9, BitBtn10})
        b->setEnabled(enabled);
}
