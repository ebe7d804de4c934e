#pragma once
// A family of controls sharing one name, told apart by a 16-bit Index. Element 0 exists with
// the window; Load(n) creates element n as a hidden copy of it; Unload(n) takes element n out at
// once (no lookup, scan or timer sees it again) and frees it after the running handler.
#include <map>
#include <memory>
#include <string>

#include "forms/Application.h"
#include "forms/Errors.h"
#include "forms/Form.h"

namespace forms {

template <class T>
class ControlArray {
public:
    // Makes a design-time element on `form`, element 0 unless told otherwise; the window's
    // control order is the order of these calls.
    T& create(Form& form, std::string name, int16_t index = 0) {
        form_ = &form;
        name_ = std::move(name);
        auto element = std::make_unique<T>();
        T& ref = *element;
        items_.emplace(index, std::move(element));
        form.adopt(ref, name_, index);
        return ref;
    }

    bool exists(int16_t i) const { return items_.count(i) != 0; }
    T& operator[](int16_t i) const {
        auto it = items_.find(i);
        if (it == items_.end()) throw RuntimeError("Das Steuerelement " + name_ + "(" + std::to_string(i) + ") existiert nicht.");
        return *it->second;
    }
    int16_t UBound() const { return items_.empty() ? 0 : items_.rbegin()->first; }
    size_t count() const { return items_.size(); }

    T& Load(int16_t i) {
        if (exists(i)) throw RuntimeError("Das Steuerelement " + name_ + "(" + std::to_string(i) + ") ist bereits geladen.");
        std::unique_ptr<Control> copy = (*this)[0].clone();
        auto element = std::unique_ptr<T>(static_cast<T*>(copy.release()));
        element->Visible = false;
        T& ref = *element;
        items_.emplace(i, std::move(element));
        form_->adopt(ref, name_, i);
        return ref;
    }

    void Unload(int16_t i) {
        if (i == 0) throw RuntimeError("Das Steuerelement " + name_ + "(0) kann nicht entladen werden.");
        auto it = items_.find(i);
        if (it == items_.end()) throw RuntimeError("Das Steuerelement " + name_ + "(" + std::to_string(i) + ") existiert nicht.");
        std::shared_ptr<T> gone(std::move(it->second));
        items_.erase(it);
        form_->release(*gone);
        form_->app().retire(std::move(gone));
    }

    // Visits the elements in index order until `visit` returns true. `visit` may unload the
    // element it is given, but no other.
    template <class F>
    void forEach(F&& visit) const {
        for (auto it = items_.begin(); it != items_.end();) {
            auto next = std::next(it);
            if (visit(*it->second)) return;
            it = next;
        }
    }

private:
    Form* form_ = nullptr;
    std::string name_;
    std::map<int16_t, std::unique_ptr<T>> items_;
};

}  // namespace forms
