#pragma once
// The backend for tests: no window, no drawing. Message boxes are answered from a script and
// recorded, so a test can check what the player would have been told.
#include <deque>
#include <vector>

#include "forms/Backend.h"

namespace forms {

class HeadlessBackend : public Backend {
public:
    struct ShownBox {
        MessageBoxRequest box;
        MsgResult answer;
    };

    // Answers for the coming message boxes, in order; once used up, Ok/No/Closed is answered.
    void answerNext(MsgResult answer) { answers_.push_back(answer); }
    const std::vector<ShownBox>& shownBoxes() const { return shown_; }

    MsgResult showMessageBox(const MessageBoxRequest& box, const Form*) override {
        MsgResult answer = box.buttons == MsgButtons::Ok ? MsgResult::Ok : MsgResult::No;
        if (!answers_.empty()) {
            answer = answers_.front();
            answers_.pop_front();
        }
        shown_.push_back({box, answer});
        return answer;
    }

private:
    std::deque<MsgResult> answers_;
    std::vector<ShownBox> shown_;
};

}  // namespace forms
