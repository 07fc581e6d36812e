// The settings window's logic: it shows the loaded colour, lets a swatch
// replace it, and saves it whenever the window closes.
#pragma once

#include <cstdint>

#include "settings/CellColor.h"
#include "settings/ColorFile.h"

namespace gridbloom {

// What the settings window's logic asks of the platform.
class AboutHost {
public:
    virtual ~AboutHost() = default;
    // Paints the preview strip picCol in this colour (0x00BBGGRR).
    virtual void SetPreviewColor(std::uint32_t colorRef) = 0;
    // Closes the hidden saver window, running none of its handlers; nothing
    // happens when it is closed already.
    virtual void CloseSaverWindow() = 0;
    // Starts closing this window, as its close box would.
    virtual void CloseWindow() = 0;
};

class frmAbout {
public:
    frmAbout(AboutHost& host, const ColorFile& colorFile) : host_(host), colorFile_(colorFile) {}

    void Load();
    // A click on the picColor swatch with this index.
    void OnSwatchClick(int index);
    void OnOkClick();
    // The window is about to close, whatever closes it: saves the colour,
    // then closes the saver window. Runs once; the close is never cancelled.
    void OnUnload();

    const gridbloom::CellColor& CellColor() const { return cellColor_; }

private:
    AboutHost& host_;
    const ColorFile& colorFile_;
    gridbloom::CellColor cellColor_;
    bool unloaded_ = false;
};

}  // namespace gridbloom
