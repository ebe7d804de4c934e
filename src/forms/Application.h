#pragma once
// The event loop.
//
// All handlers run on one thread, one at a time, through `dispatch`. A handler that calls End
// or fails with a run-time error unwinds to the outermost dispatch; from then on no handler of
// any window runs (`ended()`), and a run-time error has been shown in one message box. Any other
// exception, std::bad_alloc included, takes the same way, in a handler or while the loop draws
// and waits: one message box, a non-zero status.
// Controls destroyed during a handler are freed only when the outermost handler has returned.
//
// Keys: a backend reports presses and releases only, never the OS's own repeats. While the key
// pressed last is held, the runtime repeats it: one KeyDown after 500 ms, then one every 33 ms.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "forms/Backend.h"
#include "forms/Clock.h"
#include "forms/MessageBox.h"
#include "forms/Scheduler.h"
#include "forms/Timer.h"

namespace forms {

class CommandButton;
class Form;

class Application {
public:
    static constexpr int RepeatDelayMs = 500;
    static constexpr int RepeatRateMs = 33;
    static constexpr int FrameMs = 16;

    Application(Clock& clock, Backend& backend);
    ~Application();

    Clock& clock() const { return clock_; }
    Scheduler& scheduler() { return scheduler_; }
    Backend& backend() const { return backend_; }

    // Loads the start-up window and shows it unless its Load handler hid it.
    void start(Form& startup);
    // The real-time loop; returns the exit status once the program has ended.
    int run();

    bool ended() const { return ended_; }
    int exitCode() const { return exitCode_; }
    const std::string& failure() const { return failure_; }

    // Runs a handler; see the top of this file. Returns false once the program has ended.
    bool dispatch(const std::function<void()>& handler);

    // Input from a backend.
    void keyDown(Form& form, int16_t key, int16_t shift = 0);
    void keyUp(Form& form, int16_t key, int16_t shift = 0);
    void click(CommandButton& button);
    void closeRequested(Form& form);
    void resized(Form& form, float scaleWidth, float scaleHeight);
    // Minimising and restoring count as size changes: the window's Resize runs, while its inner
    // size stays what it was, so the game goes on undisturbed behind the task bar.
    void minimisedOrRestored(Form& form);

    // Ticks every timer that is due now.
    void runDueTimers();
    // Manual clock only: plays `ms` milliseconds, every due tick in order at its own time.
    void advance(int64_t ms);

    // Pending work: queued actions run by DoEvents (and by the loop), in order.
    void post(std::function<void()> action);
    void DoEvents();

    MsgResult MsgBox(const MessageBoxRequest& box, const Form* owner = nullptr);

    // Frees `thing` after the outermost running handler has returned.
    void retire(std::shared_ptr<void> thing);
    void registerForm(Form& f) { forms_.push_back(&f); }
    void unregisterForm(Form& f);
    const std::vector<Form*>& forms() const { return forms_; }

    // The timer lists give back the room no longer used (after a window unloaded).
    void shrinkToFit();

    // Something visible may have changed; the backend draws on its next turn.
    void invalidate() { dirty_ = true; }
    bool takeRedraw() { bool d = dirty_; dirty_ = false; return d; }

private:
    void sweep();
    void repeatTick();
    void fail(const std::string& message);
    // Runs a handler, or the loop's own drawing and waiting, ending the program on End or a failure.
    void guarded(const std::function<void()>& work);

    Clock& clock_;
    Backend& backend_;
    Scheduler scheduler_;
    std::vector<Form*> forms_;
    std::vector<std::shared_ptr<void>> graveyard_;
    std::vector<std::function<void()>> pending_;
    std::vector<Timer*> spareBatch_;
    int depth_ = 0;
    int holdSweep_ = 0;
    bool ended_ = false;
    int exitCode_ = 0;
    std::string failure_;
    bool dirty_ = true;

    Timer repeat_;
    Form* repeatForm_ = nullptr;
    int16_t repeatKey_ = 0;
};

}  // namespace forms
