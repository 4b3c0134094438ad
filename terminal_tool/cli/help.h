#pragma once
// selvanor --help and the help of each command.

#include "help_text.h"

const ProgramHelp& selvanorHelp();
