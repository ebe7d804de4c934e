#include "support/Aufbau.h"

#include <sstream>

#include "forms/CommandButton.h"
#include "forms/Image.h"
#include "forms/Label.h"
#include "forms/Shape.h"
#include "forms/Timer.h"

std::string aufbau(const forms::Form& form) {
    std::ostringstream out;
    out << form.name() << " '" << form.Caption() << "' " << form.ScaleWidth() << "x" << form.ScaleHeight() << " border "
        << int(form.BorderStyle()) << (form.centredOnScreen ? " centred" : "") << (form.showInTaskbar ? "" : " no-taskbar") << "\n";
    for (const forms::Control* c : form.controls()) {
        out << c->Name << "(" << c->Index << ") " << c->Left << "," << c->Top << " " << c->Width << "x" << c->Height
            << (c->Visible ? "" : " hidden") << std::hex;
        if (auto* l = dynamic_cast<const forms::Label*>(c))
            out << " '" << l->Caption << "' " << l->font.sizePt << (l->font.bold ? "b " : " ") << l->ForeColor << "/" << l->BackColor
                << (l->backStyle == forms::BackStyle::Opaque ? " opaque" : "") << (l->alignment == forms::Alignment::Center ? " centred" : "");
        if (auto* k = dynamic_cast<const forms::CommandButton*>(c))
            out << " '" << k->Caption << "' " << k->font.sizePt << (k->font.bold ? "b" : "") << (k->Enabled ? "" : " off");
        if (auto* f = dynamic_cast<const forms::Shape*>(c)) out << " " << f->BackColor << (f->shape == forms::ShapeKind::Circle ? " circle" : "");
        if (auto* i = dynamic_cast<const forms::Image*>(c)) out << (i->Stretch ? " stretch" : "");
        if (auto* t = dynamic_cast<const forms::Timer*>(c)) out << std::dec << " every " << t->Interval() << (t->Enabled() ? " on" : "");
        out << std::dec << "\n";
    }
    return out.str();
}
