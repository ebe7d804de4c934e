// The game window with the update window's check at its first load.
#include "game/Form1.h"
#include "updater/Form3.h"

namespace game {

namespace {

Form1::Umgebung mitUpdatetest(Form3& form3, Form1::Umgebung umgebung) {
    umgebung.updatetest = [&form3] {
        form3.Updatetest();
        return form3.Visible();
    };
    return umgebung;
}

}  // namespace

Form1::Form1(forms::Application& app, Form3& form3, Umgebung umgebung) : Form1(app, mitUpdatetest(form3, std::move(umgebung))) {}

}  // namespace game
