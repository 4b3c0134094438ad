#include "tfrmterminaltanimlama.h"

#include "pick_list_delegate.h"
#include "terminal_definitions.h"
#include "tfrmdmmysql.h"
#include "widget_prompt.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QSqlRecord>
#include <QTableView>
#include <QVBoxLayout>

namespace cardpush {

namespace {

const QColor kPaleGreen(0xCC, 0xFF, 0xCC);
constexpr Qt::Alignment kRight = Qt::AlignRight | Qt::AlignVCenter;
constexpr Qt::Alignment kLeft = Qt::AlignLeft | Qt::AlignVCenter;

} // namespace

TfrmTerminalTanimlama::TfrmTerminalTanimlama(TfrmDMMYSQL& dm, Prompt& prompt, QWidget* parent)
    : QDialog(parent), dm_(dm), prompt_(prompt) {
    setWindowTitle(QStringLiteral("Terminal Tanımlama"));
    auto* layout = new QVBoxLayout(this);
    DBGrid3 = new QTableView(this);
    layout->addWidget(DBGrid3);
    dsterminaller = new GridColumns(
        &dm_.tblterminaller,
        {{QStringLiteral("kod"), QStringLiteral("Kod")},
         {QStringLiteral("ad"), QStringLiteral("Terminal Adı")},
         {QStringLiteral("Source"), QStringLiteral("IP Adres"), kPaleGreen},
         {QStringLiteral("Baudrate_Remote_Port"), QStringLiteral("Port"), kPaleGreen, kRight},
         {QStringLiteral("Device_Num"), QStringLiteral("Cihaz No"), kPaleGreen},
         {QStringLiteral("CommPassword"), QStringLiteral("Şifre"), kPaleGreen, kRight},
         {QStringLiteral("serino"), QStringLiteral("SeriNo")},
         {QStringLiteral("aktarimtipi"), QStringLiteral("AktarımTipi")},
         {QStringLiteral("cihaztipi"), QStringLiteral("CihazTipi")},
         {QStringLiteral("modultipi"), QStringLiteral("ModülTipi")},
         {QStringLiteral("secim"), QStringLiteral("Seç"), QColor(), kLeft, true}},
        this);
    DBGrid3->setModel(dsterminaller);
    DBGrid3->setWordWrap(false);
    DBGrid3->verticalHeader()->setDefaultSectionSize(22);
    DBGrid3->setColumnWidth(dsterminaller->columnOf(QStringLiteral("ad")), 160);
    DBGrid3->setColumnWidth(dsterminaller->columnOf(QStringLiteral("secim")), 40);
    DBGrid3->setItemDelegateForColumn(dsterminaller->columnOf(QStringLiteral("aktarimtipi")),
                                      new PickListDelegate({QStringLiteral("genel")}, this));
    DBGrid3->setItemDelegateForColumn(
        dsterminaller->columnOf(QStringLiteral("cihaztipi")),
        new PickListDelegate({QStringLiteral("Harlonv2"), QStringLiteral("Visora"),
                              QStringLiteral("SelvanoNorvi"), QStringLiteral("Brennsoft"),
                              QStringLiteral("Quillgate")},
                             this));
    DBGrid3->setItemDelegateForColumn(
        dsterminaller->columnOf(QStringLiteral("modultipi")),
        new PickListDelegate({QStringLiteral("pdks"), QStringLiteral("gc-1"),
                              QStringLiteral("gc-2"), QStringLiteral("ymk-2"), QStringLiteral("wc"),
                              QStringLiteral("gc-2p"), QStringLiteral("wc-p")},
                             this));
    DBGrid3->installEventFilter(this);
    DBGrid3->viewport()->installEventFilter(this);

    PopupMenu1 = new QMenu(this);
    BaglantiKontrol1 = PopupMenu1->addAction(QStringLiteral("Bağlantı Kontrol"));
    PopupMenu1->addSeparator();
    SeciliKaydiSil1 = PopupMenu1->addAction(QStringLiteral("Seçili Kaydı Sil"));
    DBGrid3->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(DBGrid3, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { PopupMenu1->exec(DBGrid3->viewport()->mapToGlobal(pos)); });
    connect(BaglantiKontrol1, &QAction::triggered, this, [this] { BaglantiKontrol1Click(); });
    connect(SeciliKaydiSil1, &QAction::triggered, this, [this] { SeciliKaydiSil1Click(); });

    // A row is written to the database when the user leaves it.
    connect(DBGrid3->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current, const QModelIndex& previous) {
                if (!posting_ && previous.isValid() && current.row() != previous.row())
                    postAndStay(current.row(), current.column());
            });
    resize(1180, 420);
}

int TfrmTerminalTanimlama::currentRow() const {
    return DBGrid3->currentIndex().row();
}

void TfrmTerminalTanimlama::setCurrentCell(int row, int column) {
    const int rows = dsterminaller->rowCount();
    if (rows == 0)
        return;
    DBGrid3->setCurrentIndex(dsterminaller->index(qBound(0, row, rows - 1), qMax(0, column)));
}

bool TfrmTerminalTanimlama::postAndStay(int row, int column) {
    posting_ = true;
    const bool posted = PostTerminalRows(dm_, prompt_);
    setCurrentCell(row, column);
    posting_ = false;
    return posted;
}

void TfrmTerminalTanimlama::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (const QScreen* s = screen())
        move(s->availableGeometry().center() - rect().center());
    posting_ = true;
    OpenTerminalTable(dm_, prompt_);
    setCurrentCell(0, 0);
    posting_ = false;
}

void TfrmTerminalTanimlama::done(int result) {
    // Edits still pending in the grid are written before the window goes, not dropped; if
    // the database refuses them the window stays so they can be corrected or cancelled (Esc).
    DBGrid3->setFocus(); // an open cell editor hands its text to the row as it loses the focus
    if (!postAndStay(currentRow(), DBGrid3->currentIndex().column()))
        return;
    QDialog::done(result);
}

void TfrmTerminalTanimlama::insertTerminal(int row) {
    if (!postAndStay(currentRow(), 0))
        return;
    row = qBound(0, row, dsterminaller->rowCount());
    posting_ = true;
    if (tblterminallerNewRecord(dm_, row, prompt_))
        setCurrentCell(row, 0);
    posting_ = false;
}

void TfrmTerminalTanimlama::toggleChoice(int row) {
    const int column = dsterminaller->columnOf(QStringLiteral("secim"));
    posting_ = true;
    ToggleTerminalChoice(dm_, row, prompt_);
    setCurrentCell(row, column);
    posting_ = false;
}

bool TfrmTerminalTanimlama::eventFilter(QObject* watched, QEvent* event) {
    if (watched == DBGrid3->viewport() && event->type() == QEvent::MouseButtonPress) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const QModelIndex cell = DBGrid3->indexAt(mouse->position().toPoint());
        if (mouse->button() == Qt::LeftButton && cell.isValid() &&
            dsterminaller->column(cell.column()).checkBox) {
            // Leaving another row posts it first, as moving there would.
            if (cell.row() != currentRow() && !postAndStay(cell.row(), cell.column()))
                return true;
            toggleChoice(cell.row());
            return true;
        }
    }
    // Keys reach the grid itself only while no cell editor is open.
    if (watched == DBGrid3 && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const int rows = dsterminaller->rowCount();
        if (key->key() == Qt::Key_Insert) {
            insertTerminal(qMax(0, currentRow()));
            return true;
        }
        if (key->key() == Qt::Key_Down && (rows == 0 || currentRow() == rows - 1)) {
            insertTerminal(rows);
            return true;
        }
        if (key->key() == Qt::Key_Delete && key->modifiers().testFlag(Qt::ControlModifier)) {
            SeciliKaydiSil1Click();
            return true;
        }
        if (key->key() == Qt::Key_Escape && dm_.tblterminaller.isDirty()) {
            const int row = currentRow();
            dm_.tblterminaller.revertAll();
            setCurrentCell(row, DBGrid3->currentIndex().column());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmTerminalTanimlama::SeciliKaydiSil1Click() {
    const int row = qMax(0, currentRow());
    posting_ = true;
    if (DeleteTerminalRow(dm_, row, prompt_))
        setCurrentCell(row, 0);
    posting_ = false;
}

void TfrmTerminalTanimlama::BaglantiKontrol1Click() {
    const int row = currentRow();
    if (row < 0)
        return;
    const TerminalValues terminal = terminalValuesFromRecord(dm_.tblterminaller.record(row));
    BaglantiKontrol1->setEnabled(false);
    runInBackground(
        this, nullptr, true, prompt_,
        [this, terminal] { CheckTerminalConnection(terminal, prompt_); },
        [this] { BaglantiKontrol1->setEnabled(true); });
}

} // namespace cardpush
