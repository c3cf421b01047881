/* The resource that carries a dialog template's list data: its type, and the one message
   it holds for combo boxes. Plain macros, so that resource scripts can include it too. */
#pragma once

#define RT_DLGINIT_ID 240
#define DLGINIT_CB_ADDSTRING 0x0403
