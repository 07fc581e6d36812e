// The start-up sequence: the saver window's load handler. It runs once the
// hidden window exists, refuses a second copy, gives the saver's state its
// first values, seeds and paints the board, and only then reads the switch
// of the command line to run the saver, open the settings window or end.
#pragma once

#include <string_view>

#include "saver/SaverHost.h"
#include "saver/frmMain.h"

namespace gridbloom {

// `arguments` is the command line without the program's name.
void RunStartUpSequence(SaverHost& host, frmMain& window, std::wstring_view arguments);

}  // namespace gridbloom
