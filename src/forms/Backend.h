#pragma once
// What a backend does for the runtime: show windows and message boxes, and (in the real-time
// loop) wait for input and turn it into calls of the Application. Two exist: SDL and headless.
#include <cstdint>

#include "forms/MessageBox.h"

namespace forms {

class Application;
class Form;

// What the player asked for while a handler held the thread.
enum class BusyRequest { None, CloseWindow, Quit };

class Backend {
public:
    virtual ~Backend() = default;
    // Blocks until answered. `owner` may be nullptr.
    virtual MsgResult showMessageBox(const MessageBoxRequest& box, const Form* owner) = 0;
    // A window's own properties changed: shown, hidden, caption, border style.
    virtual void formChanged(Form&) {}
    // The window was unloaded: its controls are gone.
    virtual void formUnloaded(Form&) {}
    // Real-time loop only: waits at most timeoutMs (-1: no limit) for input and hands it to `app`.
    virtual void waitForEvents(Application&, int timeoutMs) { (void)timeoutMs; }
    // Real-time loop only: draws every visible window.
    virtual void draw(Application&) {}
    // While a handler holds the thread for long (the update's downloads): keeps the windows
    // answering, moved and drawn again, without running any handler; other input is dropped.
    // Tells whether the player closed a window or the session asked the program to end.
    virtual BusyRequest keepAnswering(Application&) { return BusyRequest::None; }
};

}  // namespace forms
