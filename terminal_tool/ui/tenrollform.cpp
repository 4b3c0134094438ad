#include "tenrollform.h"

#include "tfrmgiris.h"

TEnrollForm::TEnrollForm(Tfrmgiris& main) : QDialog(&main), main_(main) {
    setWindowTitle(QStringLiteral("Parmak/Kart/Yüz Tanımları"));
}
