#include "saver/ScreenVisibility.h"

namespace gridbloom {

void ScreenVisibility::OnSessionEvent(SessionEvent event) {
    switch (event) {
        case SessionEvent::Locked:
            locked_ = true;
            break;
        case SessionEvent::Unlocked:
            locked_ = false;
            break;
        case SessionEvent::Disconnected:
            disconnected_ = true;
            break;
        case SessionEvent::Connected:
            disconnected_ = false;
            break;
    }
}

}  // namespace gridbloom
