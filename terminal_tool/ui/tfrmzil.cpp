#include "tfrmzil.h"

#include "tfrmgiris.h"
#include "widget_prompt.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <memory>

Tfrmzil::Tfrmzil(Tfrmgiris& main) : QDialog(&main), main_(main) {
    setWindowTitle(QStringLiteral("Zil Saatleri"));
    // Fixed border with system menu and minimise box.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    buildControls();
}

void Tfrmzil::buildControls() {
    static const QStringList days = {QStringLiteral("Her gün"),   QStringLiteral("Pazar"),
                                     QStringLiteral("Pazartesi"), QStringLiteral("Salı"),
                                     QStringLiteral("Çarşamba"),  QStringLiteral("Perşembe"),
                                     QStringLiteral("Cuma"),      QStringLiteral("Cumartesi")};
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    auto* boxes = new QHBoxLayout;
    for (int half = 0; half < 2; ++half) {
        auto* box = new QGroupBox(this);
        auto* grid = new QGridLayout(box);
        const QStringList headers = {QStringLiteral("ZİL"), QStringLiteral("Sa:Dk:Sn"),
                                     QStringLiteral("Haftanın Günü"),
                                     QStringLiteral("Çalma Süresi (sn)")};
        for (int c = 0; c < headers.size(); ++c)
            grid->addWidget(new QLabel(headers[c], box), 0, c);
        for (int r = 0; r < BellCount / 2; ++r) {
            const int n = half * BellCount / 2 + r + 1;
            const auto i = static_cast<std::size_t>(n - 1);
            labels[i] = new QLabel(
                n == 5 ? QStringLiteral("Zil5:") : QStringLiteral("Zil %1:").arg(n), box);
            sa[i] = new QLineEdit(box);
            sa[i]->setObjectName(QStringLiteral("sa%1").arg(n));
            gun[i] = new QComboBox(box);
            gun[i]->setObjectName(QStringLiteral("gun%1").arg(n));
            gun[i]->addItems(days);
            gun[i]->setCurrentIndex(-1);
            sure[i] = new QLineEdit(box);
            sure[i]->setObjectName(QStringLiteral("sure%1").arg(n));
            grid->addWidget(labels[i], r + 1, 0);
            grid->addWidget(sa[i], r + 1, 1);
            grid->addWidget(gun[i], r + 1, 2);
            grid->addWidget(sure[i], r + 1, 3);
        }
        boxes->addWidget(box);
    }
    layout->addLayout(boxes);
    Button1 = new QPushButton(
        QStringLiteral("Terminalden Zil Saatlerini Oku<<<<<<<-----------------"), this);
    Button2 = new QPushButton(QStringLiteral("--------->>>>>Zil Saatlerii Terminale Gönder"), this);
    BitBtn1 = new QPushButton(QStringLiteral("Kapat"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    buttons->addWidget(BitBtn1);
    layout->addLayout(buttons);

    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
}

BellRows Tfrmzil::rows() const {
    BellRows rows;
    for (std::size_t i = 0; i < rows.size(); ++i)
        rows[i] = BellRow{sa[i]->text(), gun[i]->currentIndex(), sure[i]->text()};
    return rows;
}

void Tfrmzil::showBells(const BellList& bells) {
    for (std::size_t i = 0; i < bells.size(); ++i) {
        const BellRow row = bellRowFor(bells[i]);
        sa[i]->setText(row.time);
        gun[i]->setCurrentIndex(row.dayIndex);
        sure[i]->setText(row.duration);
    }
}

void Tfrmzil::runCommand(std::function<void()> work, std::function<void()> done) {
    busy_ = true;
    for (QPushButton* b : {Button1, Button2, BitBtn1})
        b->setEnabled(false);
    runInBackground(this, nullptr, true, main_.prompt(), std::move(work),
                    [this, done = std::move(done)] {
                        busy_ = false;
                        for (QPushButton* b : {Button1, Button2, BitBtn1})
                            b->setEnabled(true);
                        if (done)
                            done();
                    });
}

void Tfrmzil::Button1Click() {
    auto bells = std::make_shared<std::optional<BellList>>();
    runCommand([this, bells] { *bells = readBells(main_.session(), main_.prompt()); },
               [this, bells] {
                   if (*bells)
                       showBells(**bells);
               });
}

void Tfrmzil::Button2Click() {
    runCommand([this, rows = rows()] { sendBells(main_.session(), rows, main_.prompt()); });
}

void Tfrmzil::BitBtn1Click() {
    close();
}

void Tfrmzil::closeEvent(QCloseEvent* event) {
    if (busy_) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void Tfrmzil::showEvent(QShowEvent* event) {
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    QDialog::showEvent(event);
}

void Tfrmzil::reject() {
    if (!busy_)
        QDialog::reject();
}
