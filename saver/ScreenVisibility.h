// Whether anybody can see the saver's screen: not while the display is off,
// nor while the session is locked or disconnected from its console. The
// board goes on evolving all the same; only showing it would be wasted.
#pragma once

namespace gridbloom {

enum class DisplayState { Off, On, Dimmed };

enum class SessionEvent { Locked, Unlocked, Disconnected, Connected };

class ScreenVisibility {
public:
    void OnDisplayState(DisplayState state) { displayOff_ = state == DisplayState::Off; }
    void OnSessionEvent(SessionEvent event);
    bool Visible() const { return !displayOff_ && !locked_ && !disconnected_; }

private:
    bool displayOff_ = false;
    bool locked_ = false;
    bool disconnected_ = false;
};

}  // namespace gridbloom
