#include "tfrmzil.h"

#include "tfrmgiris.h"

Tfrmzil::Tfrmzil(Tfrmgiris& main) : QDialog(&main), main_(main) {
    setWindowTitle(QStringLiteral("Zil Saatleri"));
}
