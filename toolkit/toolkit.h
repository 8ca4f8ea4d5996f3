// Routines shared by the suite installer and the distribution installer, by
// concern. Each program defines the globals they declare, with its own
// capacities, in one file (suite/setup_globals.cpp, kit/kit_globals.cpp).
#ifndef TOOLKIT_H
#define TOOLKIT_H

#include <windows.h>
#include <strsafe.h>

#include "format_text.h"
#include "platform.h"

#include "settings.h"
#include "system.h"
#include "transfer.h"

#endif
