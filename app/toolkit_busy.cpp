#include "app/toolkit_busy.h"

#include <wx/utils.h>

// wxBeginBusyCursor sets the pointer of every top-level window and flushes
// the display; it runs no event loop.
BusyCursor::BusyCursor() { wxBeginBusyCursor(); }

BusyCursor::~BusyCursor() { wxEndBusyCursor(); }
