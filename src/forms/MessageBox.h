#pragma once
#include <string>

namespace forms {

enum class MsgButtons { Ok, YesNo };
enum class MsgIcon { None, Error, Information };
enum class MsgResult { Ok, Yes, No, Closed };

struct MessageBoxRequest {
    std::string text;
    std::string title;
    MsgButtons buttons = MsgButtons::Ok;
    MsgIcon icon = MsgIcon::None;
};

}  // namespace forms
