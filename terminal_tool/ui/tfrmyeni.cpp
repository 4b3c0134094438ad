#include "tfrmyeni.h"

#include "tfrmgiris.h"

Tfrmyeni::Tfrmyeni(Tfrmgiris& main) : QDialog(&main), main_(main) {
    setWindowTitle(QStringLiteral("Terminal Ekle-Değiştir"));
}
