// The program's entry: it creates the saver window, runs its load handler
// (the start-up sequence), then runs the event loop until the last window
// closes.
#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "app/CommandLine.h"
#include "app/StartUp.h"
#include "board/ClockRandom.h"
#include "platform/MessageLoop.h"
#include "platform/Process.h"
#include "platform/SaverWindow.h"
#include "platform/SettingsWindow.h"
#include "platform/Win32SettingsFiles.h"
#include "settings/ColorFile.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    using namespace gridbloom;

    // The DLL search order is locked already, before the runtime started
    // (platform/DllSearchOrder.cpp).
    ::HeapSetInformation(nullptr, HeapEnableTerminationOnCorruption, nullptr, 0);
    // The settings window's button takes the look of the common controls.
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);

    win::Win32SettingsFiles files;
    const ColorFile colorFile(files, MyPath(FolderOfFile(win::ProgramFilePath())));
    ClockRandom random;

    // The settings window exists only for "/C"; the saver window opens it
    // from its start-up sequence, and it closes the hidden saver window.
    std::unique_ptr<win::SettingsWindow> settings;
    std::unique_ptr<win::SaverWindow> saver;
    saver = std::make_unique<win::SaverWindow>(colorFile, random, [&] {
        settings = std::make_unique<win::SettingsWindow>(colorFile, [&] { saver->CloseWindow(); });
        return settings->Open();
    });
    if (!saver->CreateHidden()) return 1;
    RunStartUpSequence(*saver, saver->Logic(), ArgumentsOf(::GetCommandLineW()));
    return win::RunMessageLoop();
}
