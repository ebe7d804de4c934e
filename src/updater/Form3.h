#pragma once
// The update window: asks the update server for a newer version at start-up.
#include <functional>
#include <memory>
#include <string>

#include "forms/Form.h"

namespace game {

class Form3 : public forms::Form {
public:
    struct Einstellungen {
        std::string programmordner;  // the program folder, without trailing separator
        std::string serverBasis;     // base address of the update server; empty: no check
        std::string programmname;    // the running program file's base name
        // Starts the update script; the real one launches it once the program has ended.
        std::function<void(const std::string& ordner, const std::string& skript)> skriptStarten;
    };

    Form3(forms::Application& app, Einstellungen einstellungen);
    ~Form3() override;

    // Called once at start-up by the game window; afterwards Visible() tells whether an
    // update has taken over.
    void Updatetest();

protected:
    void createControls() override;
    void destroyControls() override;

private:
    struct Steuerelemente;
    std::shared_ptr<Steuerelemente> ui;
    Einstellungen einstellungen_;
};

}  // namespace game
