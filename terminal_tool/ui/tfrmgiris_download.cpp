#include "tfrmgiris.h"

void Tfrmgiris::BitBtn5Click() {}
void Tfrmgiris::BitBtn11Click() {}
void Tfrmgiris::BitBtn13Click() { runFlag = false; }
