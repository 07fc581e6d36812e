#include "settings/frmAbout.h"

#include "settings/SettingsLayout.h"

namespace gridbloom {

void frmAbout::Load() {
    cellColor_ = colorFile_.LoadCellColor();
    host_.SetPreviewColor(cellColor_.ToColorRef());
}

void frmAbout::OnSwatchClick(int index) {
    const Swatch* swatch = FindSwatch(index);
    if (!swatch) return;
    host_.SetPreviewColor(static_cast<std::uint32_t>(swatch->Color));
    cellColor_ = gridbloom::CellColor::FromInteger(swatch->Color);
}

void frmAbout::OnOkClick() {
    host_.CloseSaverWindow();
    host_.CloseWindow();
}

void frmAbout::OnUnload() {
    if (unloaded_) return;
    unloaded_ = true;
    // A save that cannot be done leaves the old file as it was; the window
    // closes all the same, without a message.
    colorFile_.SaveCellColor(cellColor_);
    host_.CloseSaverWindow();
}

}  // namespace gridbloom
