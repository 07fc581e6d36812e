// What the saver window's logic and its start-up sequence ask of the
// platform. The Windows shell implements it; the unit tests use a fake that
// records every request.
#pragma once

#include <cstdint>
#include <optional>

#include <vector>

#include "saver/PaintBoard.h"
#include "settings/Twips.h"

namespace gridbloom {

struct PixelSize {
    int Width = 0;
    int Height = 0;
};

struct ScreenPoint {
    std::int32_t X = 0;
    std::int32_t Y = 0;
};

enum class SaverTimer {
    Timer1,  // the generation tick, every 100 ms
    Timer2,  // the minute tick, every 60 s
};

class SaverHost {
public:
    virtual ~SaverHost() = default;

    // Claims the program's single-instance guard for the rest of its life;
    // false when another copy of the program holds it.
    virtual bool ClaimSingleInstance() = 0;
    // Records that the window is to be shown maximised; nothing shows yet.
    virtual void MarkMaximised() = 0;
    virtual ScreenPoint GetCursorPos() = 0;
    // Where the pointer is at this moment, asked of the system anew; nothing
    // when the system cannot say.
    virtual std::optional<ScreenPoint> PointerPosition() = 0;
    virtual void ShowWindow() = 0;
    virtual void HideWindow() = 0;
    // Ends the window, and with it the program unless another window is open.
    virtual void CloseWindow() = 0;
    virtual void EnableTimer(SaverTimer timer) = 0;
    virtual void OpenSettingsWindow() = 0;
    // Brings the settings window of the copy that already runs to the front,
    // if that copy has one open; nothing otherwise.
    virtual void RaiseRunningSettingsWindow() = 0;

    // The inside of the board surface, in pixels.
    virtual PixelSize SurfaceSize() = 0;
    // Shows these rectangles of the frame, which lies at the surface's
    // origin; the rest of the surface keeps what it shows.
    virtual void PresentFrame(const PixelFrame& frame, const std::vector<PixelRect>& rects) = 0;
};

}  // namespace gridbloom
