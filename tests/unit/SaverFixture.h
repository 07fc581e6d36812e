// The saver window's logic on a recording host, with the colour file in
// memory and scripted random numbers, loaded as the program loads it.
#pragma once

#include <string_view>

#include "app/StartUp.h"
#include "saver/frmMain.h"
#include "tests/unit/Fakes.h"

namespace gridbloom::testing {

// The draw that makes a cell live with divisor 7: floor(7 * 0.2) = 1.
constexpr float LiveDraw = 0.2f;
constexpr float DeadDraw = 0.5f;

struct SaverFixture {
    CallLog log;
    MemoryFiles files{&log};
    ColorFile colorFile{files, L"C:\\Saver\\"};
    RecordingSaverHost host{log};
    ScriptedRandom random{{}, DeadDraw};
    frmMain window{host, colorFile, random};

    void Load(std::wstring_view arguments) { RunStartUpSequence(host, window, arguments); }
};

}  // namespace gridbloom::testing
