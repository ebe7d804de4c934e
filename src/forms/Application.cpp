#include "forms/Application.h"

#include <algorithm>
#include <exception>
#include <new>

#include "forms/CommandButton.h"
#include "forms/Errors.h"
#include "forms/Form.h"
#include "forms/PictureBox.h"

namespace forms {

namespace {

// The message box text for the failure being handled; called only inside a catch block.
std::string failureMessage() {
    try {
        throw;
    } catch (const RuntimeError& e) {
        return e.what();
    } catch (const std::bad_alloc&) {
        return "Nicht genügend Arbeitsspeicher.";
    } catch (const std::exception& e) {
        return std::string("Unerwarteter Fehler: ") + e.what();
    } catch (...) {
        return "Unerwarteter Fehler.";
    }
}

}  // namespace

Application::Application(Clock& clock, Backend& backend) : clock_(clock), backend_(backend), scheduler_(clock) {
    repeat_.Tick = [this](int16_t) { repeatTick(); };
    scheduler_.add(repeat_);
    repeat_.alive_ = true;
}

Application::~Application() { scheduler_.remove(repeat_); }

void Application::start(Form& startup) {
    dispatch([&] {
        startup.Load();
        if (!startup.hiddenDuringLoad()) startup.Show();
    });
}

int Application::run() {
    int64_t lastDraw = clock_.nowMs() - FrameMs;
    int64_t drawMs = 1;  // what the last frame took, rounded up: a timer due within it would wait
    while (!ended_) {
        runDueTimers();
        if (!pending_.empty()) dispatch([this] { DoEvents(); });
        if (ended_) break;
        const int64_t now = clock_.nowMs();
        int64_t wait = -1;
        if (dirty_) {
            // A frame that would hold up a timer due meanwhile comes after that tick, unless the
            // frame is a whole period overdue already.
            const auto due = scheduler_.nextDue();
            const bool tickFirst = due && *due < now + drawMs && now - lastDraw < 2 * FrameMs;
            if (now - lastDraw >= FrameMs && !tickFirst) {
                dirty_ = false;
                lastDraw = now;
                guarded([this] { backend_.draw(*this); });
                drawMs = clock_.nowMs() - now + 1;
            } else if (!tickFirst) {
                wait = lastDraw + FrameMs - now;
            }
        }
        if (auto due = scheduler_.nextDue()) {
            const int64_t untilDue = std::max<int64_t>(0, *due - clock_.nowMs());
            wait = wait < 0 ? untilDue : std::min(wait, untilDue);
        }
        if (ended_) break;
        guarded([&] { backend_.waitForEvents(*this, static_cast<int>(std::min<int64_t>(wait, 1000000))); });
    }
    return exitCode_;
}

// The one place where End and every failure nobody handled end the program.
void Application::guarded(const std::function<void()>& work) {
    try {
        work();
    } catch (const EndProgram& end) {
        ended_ = true;
        exitCode_ = end.status;
    } catch (...) {
        fail(failureMessage());
    }
}

bool Application::dispatch(const std::function<void()>& handler) {
    if (ended_) return false;
    if (depth_ > 0) {  // nested, e.g. DoEvents inside a handler: the outermost one catches
        handler();
        return !ended_;
    }
    ++depth_;
    guarded(handler);
    --depth_;
    dirty_ = true;
    sweep();
    return !ended_;
}

void Application::fail(const std::string& message) {
    ended_ = true;
    exitCode_ = 1;
    failure_ = message;
    backend_.showMessageBox({message, "Kreiselsturm", MsgButtons::Ok, MsgIcon::Error}, nullptr);
}

void Application::sweep() {
    if (depth_ == 0 && holdSweep_ == 0) graveyard_.clear();
}

void Application::retire(std::shared_ptr<void> thing) { graveyard_.push_back(std::move(thing)); }

void Application::shrinkToFit() {
    scheduler_.shrinkToFit();
    spareBatch_.clear();
    spareBatch_.shrink_to_fit();
}

void Application::unregisterForm(Form& f) { std::erase(forms_, &f); }

void Application::keyDown(Form& form, int16_t key, int16_t shift) {
    repeatForm_ = &form;
    repeatKey_ = key;
    repeat_.Interval(RepeatDelayMs);
    repeat_.Enabled(true);
    dispatch([&] {
        if (form.loaded()) form.raiseKeyDown(key, shift);
    });
}

void Application::keyUp(Form& form, int16_t key, int16_t shift) {
    if (key == repeatKey_) repeat_.Enabled(false);
    dispatch([&] {
        if (form.loaded()) form.raiseKeyUp(key, shift);
    });
}

void Application::repeatTick() {
    repeat_.Interval(RepeatRateMs);
    if (repeatForm_ && repeatForm_->loaded()) repeatForm_->raiseKeyDown(repeatKey_, 0);
}

void Application::click(CommandButton& button) {
    if (!button.alive() || !button.Enabled || !button.Visible) return;
    if (button.Container && !button.Container->Visible) return;
    dispatch([&] {
        if (button.Click) button.Click(button.Index);
    });
}

void Application::closeRequested(Form& form) {
    dispatch([&] { form.Unload(); });
}

void Application::resized(Form& form, float scaleWidth, float scaleHeight) {
    if (form.ScaleWidth() == scaleWidth && form.ScaleHeight() == scaleHeight) return;
    form.setInnerSize(scaleWidth, scaleHeight);
    dispatch([&] {
        if (form.loaded()) form.raiseResize();
    });
}

void Application::minimisedOrRestored(Form& form) {
    dispatch([&] {
        // A window the program has hidden is not minimised by the player.
        if (form.loaded() && form.Visible()) form.raiseResize();
    });
}

void Application::runDueTimers() {
    ++holdSweep_;
    // The batch takes the spare list, so a batch inside a handler would simply make its own.
    std::vector<Timer*> batch = std::move(spareBatch_);
    scheduler_.collectDue(batch);
    for (Timer* t : batch) {
        if (ended_) break;
        // Nothing retired during the batch is freed before its end, so `t` is valid memory.
        if (scheduler_.beginTick(*t)) dispatch([t] { t->Tick(t->Index); });
    }
    spareBatch_ = std::move(batch);
    --holdSweep_;
    sweep();
}

void Application::advance(int64_t ms) {
    auto* manual = dynamic_cast<ManualClock*>(&clock_);
    if (!manual) throw std::logic_error("advance needs the manual clock");
    const int64_t target = manual->nowMs() + ms;
    while (!ended_) {
        auto due = scheduler_.nextDue();
        if (!due || *due > target) break;
        manual->set(std::max(*due, manual->nowMs()));
        runDueTimers();
        if (!pending_.empty()) dispatch([this] { DoEvents(); });
    }
    if (manual->nowMs() < target) manual->set(target);
}

void Application::post(std::function<void()> action) { pending_.push_back(std::move(action)); }

void Application::DoEvents() {
    while (!pending_.empty() && !ended_) {
        auto batch = std::move(pending_);
        pending_.clear();
        for (auto& action : batch) {
            if (ended_) return;
            action();
        }
    }
}

MsgResult Application::MsgBox(const MessageBoxRequest& box, const Form* owner) { return backend_.showMessageBox(box, owner); }

}  // namespace forms
