#pragma once
// What the update window's source files share.
#include "forms/Label.h"
#include "forms/Shape.h"
#include "forms/Timer.h"
#include "platform/Download.h"
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

namespace updater {

// The version file and the file list are small; the server cannot make start-up wait long.
inline const platform::DownloadLimits kleineDatei{3000, 5000, 0, 64 * 1024};
// Program and listed files may be large: no cap, but a transfer that stalls is given up.
inline const platform::DownloadLimits grosseDatei{3000, 600000, 15000, 0};

}  // namespace updater
}  // namespace game
