// The program's own icon, drawn from the SVG that is also installed with the
// desktop entry. Gives an empty bundle when the image cannot be drawn.
#pragma once

#include <wx/iconbndl.h>

[[nodiscard]] wxIconBundle ProgramIcons();
