// The program's entry: it creates the saver window, whose load handler runs
// the start-up sequence, then runs the event loop until the last window
// closes.
#include <windows.h>

#include "app/CommandLine.h"
#include "board/ClockRandom.h"
#include "platform/MessageLoop.h"
#include "platform/Process.h"
#include "platform/SaverWindow.h"
#include "platform/Win32SettingsFiles.h"
#include "settings/ColorFile.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    using namespace gridbloom;

    // Refuse DLLs planted in the current folder for anything loaded later.
    ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    ::HeapSetInformation(nullptr, HeapEnableTerminationOnCorruption, nullptr, 0);

    win::Win32SettingsFiles files;
    const ColorFile colorFile(files, MyPath(FolderOfFile(win::ProgramFilePath())));
    ClockRandom random;

    win::SaverWindow saver(colorFile, random, [] { return false; });
    if (!saver.Load(ArgumentsOf(::GetCommandLineW()))) return 1;
    return win::RunMessageLoop();
}
