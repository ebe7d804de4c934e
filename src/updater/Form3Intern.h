#pragma once
// What the update window's source files share.
#include "forms/Label.h"
#include "forms/Shape.h"
#include "forms/Timer.h"
#include "updater/Form3.h"

namespace game {

struct Form3::Steuerelemente {
    forms::Timer Timer2;
    forms::Timer Timer1;
    forms::Label Label2;
    forms::Shape Shape1;
    forms::Shape Shape2;
    forms::Label Label1;
};

}  // namespace game
