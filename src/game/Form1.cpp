#include "game/Form1.h"

#include "forms/Application.h"
#include "game/Form1Steuerelemente.h"
#include "platform/Files.h"
#include "platform/Pictures.h"

namespace game {

Form1::Form1(forms::Application& app, Umgebung umgebung)
    : forms::Form(app, "Form1", forms::ScaleUnit::Point, 13605, 11820), umgebung_(std::move(umgebung)) {}

Form1::~Form1() = default;

void Form1::createControls() {
    Caption("Kreiselsturm");
    BorderStyle(forms::BorderStyle::Sizable);
    ui = std::make_shared<Steuerelemente>(*this);
}

void Form1::destroyControls() { app().retire(std::move(ui)); }

std::string Form1::datei(const std::string& relativ) const { return platform::joinPath(umgebung_.programmordner, relativ); }

forms::PictureRef Form1::LoadPicture(const std::string& relativ) const { return platform::loadPicture(datei(relativ)); }

}  // namespace game
