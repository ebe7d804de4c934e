#include "updater/Form3.h"

#include "forms/Application.h"

namespace game {

struct Form3::Steuerelemente {};

Form3::Form3(forms::Application& app, Einstellungen einstellungen)
    : forms::Form(app, "Form3", forms::ScaleUnit::Twip, 6735, 2130), einstellungen_(std::move(einstellungen)) {}

Form3::~Form3() = default;

void Form3::createControls() { ui = std::make_shared<Steuerelemente>(); }

void Form3::destroyControls() { app().retire(std::move(ui)); }

void Form3::Updatetest() {
    Load();
    if (einstellungen_.serverBasis.empty()) return;
}

}  // namespace game
