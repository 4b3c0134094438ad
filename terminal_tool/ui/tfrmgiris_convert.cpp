#include "tfrmgiris.h"

void Tfrmgiris::Button3Click() {}
