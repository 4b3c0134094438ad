#pragma once
// cardpush --help and the help of each command.

#include "help_text.h"

const ProgramHelp& cardpushHelp();
