// Reading the switch that the screen-saver host passes on the command line.
#pragma once

#include <string_view>

namespace gridbloom {

enum class Mode {
    Run,        // "/S": the saver itself
    Configure,  // "/C": the settings window
    None,       // anything else: end without showing a window
};

// The argument text that follows the program's name on a full Windows command
// line, without the blanks that separate it from the name. The name is either
// quoted (it ends at the closing quote) or runs to the first blank, as the
// C runtime reads it for WinMain.
std::wstring_view ArgumentsOf(std::wstring_view fullCommandLine);

// Chooses the mode from the first two characters of the arguments (all of
// them if shorter), upper-cased: "/s", "/S:123" and "/s 42" all mean Run.
Mode SelectMode(std::wstring_view arguments);

}  // namespace gridbloom
