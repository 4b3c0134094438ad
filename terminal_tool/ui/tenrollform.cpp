#include "tenrollform.h"

#include "tfrmgiris.h"

#include <QLabel>

TEnrollForm::TEnrollForm(Tfrmgiris& main) : QDialog(&main), main_(main) {
    setWindowTitle(QStringLiteral("Parmak/Kart/Yüz Tanımları"));
    Label333 = new QLabel(this);
}

void TEnrollForm::setTerminalName(const QString& name) { Label333->setText(name); }
