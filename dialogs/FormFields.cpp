// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
#include "dialogs/FormFields.h"

#include <cmath>
#include <vector>

#include "platform/CLocale.h"
#include "units/SettingsText.h"

namespace gw::dlg {

std::string latitudeShown(double degrees) {
    return std::fabs(degrees) <= 90.0 ? latText(degrees) : cFormatString("%.10f", degrees);
}

std::string longitudeShown(double degrees) {
    return std::fabs(degrees) <= 180.0 ? lonText(degrees) : cFormatString("%.10f", degrees);
}

FieldReading scaleFactorReader(const std::string& text) {
    return readNumberField(text, kScaleFactorMin, kScaleFactorMax);
}

void refuseField(Dialog& form, int id, const std::string& label, const std::string& problem) {
    DialogWindow* w = form.window();
    if (w == nullptr) return;
    const DialogTemplate* t = form.dialogTemplate();
    w->messageBox(t != nullptr && t->caption != nullptr ? t->caption : "", label + " " + problem + ".");
    w->setFocus(id);
}

bool checkFields(Dialog& form, const std::vector<CheckedField>& fields) {
    std::vector<FieldReading> readings;
    std::vector<std::string> names;
    readings.reserve(fields.size());
    names.reserve(fields.size());
    for (const CheckedField& f : fields) {
        FieldReading r;
        std::string name;
        if (f.number != nullptr) {
            r = f.number->edited() ? f.number->read(f.number->text) : FieldReading{true, f.number->value, {}};
            if (!r.ok) {
                refuseField(form, f.number->id, f.number->label, r.problem);
                return false;
            }
        } else if (f.name != nullptr) {
            name = f.name->value;
            if (f.name->edited()) r = readNameField(f.name->text, f.name->width, name);
            else r.ok = true;
            if (!r.ok) {
                refuseField(form, f.name->id, f.name->label, r.problem);
                return false;
            }
        }
        readings.push_back(r);
        names.push_back(std::move(name));
    }
    std::size_t i = 0;
    for (const CheckedField& f : fields) {
        if (f.number != nullptr) f.number->value = readings[i].value;
        if (f.name != nullptr) f.name->value = names[i];
        ++i;
    }
    return true;
}

} // namespace gw::dlg
