#include "app/StartUp.h"

#include "app/CommandLine.h"

namespace gridbloom {

void RunStartUpSequence(SaverHost& host, frmMain& window, std::wstring_view arguments) {
    if (!host.ClaimSingleInstance()) {
        // "Settings..." pressed again while the settings window is open
        // somewhere behind other windows: show the user the one they have.
        if (SelectMode(arguments) == Mode::Configure) host.RaiseRunningSettingsWindow();
        host.CloseWindow();
        return;
    }
    host.MarkMaximised();
    window.LoadCellColor();
    window.ResetState(host.GetCursorPos());
    window.ClearBoard();
    window.SeedBoard();

    switch (SelectMode(arguments)) {
        case Mode::Run:
            host.ShowWindow();
            host.EnableTimer(SaverTimer::Timer1);
            host.EnableTimer(SaverTimer::Timer2);
            break;
        case Mode::Configure:
            host.HideWindow();
            host.OpenSettingsWindow();
            break;
        case Mode::None:
            host.CloseWindow();
            break;
    }
}

}  // namespace gridbloom
