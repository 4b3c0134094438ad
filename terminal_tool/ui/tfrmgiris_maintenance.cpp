#include "tfrmgiris.h"

void Tfrmgiris::BitBtn6Click() {}
void Tfrmgiris::BitBtn7Click() {}
void Tfrmgiris::BitBtn8Click() {}
void Tfrmgiris::BitBtn9Click() {}
void Tfrmgiris::BitBtn10Click() {}
void Tfrmgiris::erminaldeTanmlTmParmakizleriniSil1Click() {}
