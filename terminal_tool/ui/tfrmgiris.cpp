#include "tfrmgiris.h"

#include "tenrollform.h"
#include "tfrmdm.h"
#include "tfrmyeni.h"
#include "tfrmzil.h"
#include "widget_prompt.h"

#include <QAction>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSqlQueryModel>
#include <QSqlRecord>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

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
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    auto button = [this](const QString& text) { return new QPushButton(text, this); };

    DBGrid1 = new QTableView(this);
    DBGrid1->setModel(dm_.qrycihaz);
    PopupMenu1 = new QMenu(this);
    erminaldeTanmlTmParmakizleriniSil1 =
        PopupMenu1->addAction(QStringLiteral("Terminalde Tanımlı Tüm Parmakizlerini Sil"));
    PopupMenu1->addSeparator();
    BitBtn1 = button(QStringLiteral("Ekle"));
    BitBtn2 = button(QStringLiteral("Değiştir"));
    BitBtn3 = button(QStringLiteral("Sil"));
    BitBtn4 = button(QStringLiteral("BAGLAN"));
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
    Memo3 = new QPlainTextEdit(this);
    Memo3->setReadOnly(true);
    Memo4 = new QPlainTextEdit(this);
    Memo4->setReadOnly(true);
    Edit1 = new QLineEdit(this);
    Label2 = new QLabel(QStringLiteral("csv uzantılı dosyayı 97-2003 foramtında execle dönüştür"),
                        this);
    Label3 = new QLabel(QStringLiteral("bu exceli aç, sayfa adını Sayfa1 yaz."), this);
    statusLabel = new QLabel(this);
    memo3Sink = new MemoSink(Memo3);
    memo3Sink->setParent(this);
    memo4Sink = new MemoSink(Memo4);
    memo4Sink->setParent(this);

    auto* standard = new QWidget(this);
    auto* standardLayout = new QVBoxLayout(standard);
    standardLayout->addWidget(BitBtn4);
    standardLayout->addWidget(BitBtn5);
    standardLayout->addWidget(ProgressBar1);
    auto* bulk = new QWidget(this);
    auto* bulkLayout = new QVBoxLayout(bulk);
    bulkLayout->addWidget(BitBtn11);
    bulkLayout->addWidget(BitBtn13);
    bulkLayout->addWidget(Memo3);
    PageControl1->addTab(standard, QStringLiteral("Standart Veri Aktarımı"));
    PageControl1->addTab(bulk, QStringLiteral("Toplu Veri Aktarımı"));

    layout->addWidget(DBGrid1);
    auto* listButtons = new QHBoxLayout;
    for (QPushButton* b : {BitBtn1, BitBtn2, BitBtn3})
        listButtons->addWidget(b);
    layout->addLayout(listButtons);
    auto* deviceButtons = new QHBoxLayout;
    for (QPushButton* b : {BitBtn7, BitBtn6, BitBtn8, BitBtn9, BitBtn10})
        deviceButtons->addWidget(b);
    layout->addLayout(deviceButtons);
    auto* options = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{CheckBox2, CheckBox1, CheckBox3, Button2})
        options->addWidget(w);
    layout->addLayout(options);
    layout->addWidget(PageControl1);
    layout->addWidget(Memo4);
    auto* convert = new QGridLayout;
    convert->addWidget(Button3, 0, 0);
    convert->addWidget(Edit1, 0, 1);
    convert->addWidget(Label2, 1, 0, 1, 2);
    convert->addWidget(Label3, 2, 0, 1, 2);
    layout->addLayout(convert);
    setCentralWidget(central);
    statusBar()->addWidget(statusLabel);

    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { BitBtn2Click(); });
    connect(BitBtn3, &QPushButton::clicked, this, [this] { BitBtn3Click(); });
    connect(BitBtn4, &QPushButton::clicked, this, [this] { BitBtn4Click(); });
    connect(BitBtn5, &QPushButton::clicked, this, [this] { BitBtn5Click(); });
    connect(BitBtn6, &QPushButton::clicked, this, [this] { BitBtn6Click(); });
    connect(BitBtn7, &QPushButton::clicked, this, [this] { BitBtn7Click(); });
    connect(BitBtn8, &QPushButton::clicked, this, [this] { BitBtn8Click(); });
    connect(BitBtn9, &QPushButton::clicked, this, [this] { BitBtn9Click(); });
    connect(BitBtn10, &QPushButton::clicked, this, [this] { BitBtn10Click(); });
    connect(BitBtn11, &QPushButton::clicked, this, [this] { BitBtn11Click(); });
    connect(BitBtn13, &QPushButton::clicked, this, [this] { BitBtn13Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
    connect(erminaldeTanmlTmParmakizleriniSil1, &QAction::triggered, this,
            [this] { erminaldeTanmlTmParmakizleriniSil1Click(); });
}

void Tfrmgiris::FormCreate() { setWindowTitle(title()); }
void Tfrmgiris::Button2Click() {}
void Tfrmgiris::BitBtn1Click() {}
void Tfrmgiris::BitBtn2Click() {}
void Tfrmgiris::BitBtn3Click() {}
void Tfrmgiris::BitBtn4Click() {}

TerminalRecord Tfrmgiris::selectedTerminal() const { return TerminalRecord(); }
void Tfrmgiris::selectTerminalRow(int) {}

void Tfrmgiris::setDeviceButtonsEnabled(bool enabled) {
    for (QPushButton* b : {BitBtn5, BitBtn6, BitBtn7, BitBtn8, BitBtn9, BitBtn10})
        b->setEnabled(enabled);
}
