// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Typed fields of the settings forms: each shows a stored value as text, and on
// OK either takes what the user typed, read whole by the field's reader
// (units/FieldRules.h), or refuses it.
//
// A field remembers the text it showed and the value behind it. A text left as
// it was shown keeps that value to the bit: a false easting of 700000 m shown as
// "2296583.33ft" is not read back from those two decimals. Only a text the user
// changed is read, and only then checked.
//
// checkFields runs on OK, before anything is written: the first field (in the
// order given) whose changed text is refused is named in a message box over the
// form, with what the field expects, and gets the focus; the form stays open and
// no field takes a value. When every field is accepted, each changed one takes
// the value read and the form may write them all.
//
// Threads: the host's user-interface thread only.
#ifndef GRIDWISE_DIALOGS_FORMFIELDS_H
#define GRIDWISE_DIALOGS_FORMFIELDS_H

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "dialogs/Dialog.h"
#include "units/FieldRules.h"

namespace gw::dlg {

using FieldReader = std::function<FieldReading(const std::string&)>;

// A number, angle or distance shown as text.
struct ValueField {
    int id = 0;
    const char* label = "";
    FieldReader read;
    std::string text;   // the control's text (data exchange)
    std::string shown;  // the text last shown
    double value = 0.0; // the stored value behind `shown`; after checkFields, the value to write

    ValueField(int controlId, const char* fieldLabel, FieldReader reader)
        : id(controlId), label(fieldLabel), read(std::move(reader)) {}
    // Shows a stored value as t.
    void show(double stored, std::string t) {
        value = stored;
        shown = t;
        text = std::move(t);
    }
    bool edited() const { return text != shown; }
};

// A name shown as it is stored.
struct NameField {
    int id = 0;
    const char* label = "";
    std::size_t width = 0; // bytes the stored name may hold
    std::string text;
    std::string shown;
    std::string value; // the stored name; after checkFields, the name to write

    NameField(int controlId, const char* fieldLabel, std::size_t maxChars)
        : id(controlId), label(fieldLabel), width(maxChars) {}
    void show(const char* stored) {
        value = stored != nullptr ? stored : "";
        shown = text = value;
    }
    bool edited() const { return text != shown; }
};

// A field of either kind, in the order the form checks them.
struct CheckedField {
    ValueField* number = nullptr;
    NameField* name = nullptr;
    CheckedField(ValueField& f) : number(&f) {}
    CheckedField(NameField& f) : name(&f) {}
};

// A latitude or longitude as the forms show it: latitude or longitude text with
// four decimals of minutes ("N34 00.0000"); a value that text cannot show (a
// latitude beyond the poles, a longitude beyond 180 degrees, NaN) as plain
// degrees ("95.0000000000"), so that it is seen, and kept when left alone.
std::string latitudeShown(double degrees);
std::string longitudeShown(double degrees);

// A projection's scale factor: a number from 0.1 to 10.
FieldReading scaleFactorReader(const std::string& text);

// See above. False when a field was refused (the user has been told).
bool checkFields(Dialog& form, const std::vector<CheckedField>& fields);

// Tells the user over the form that the field labelled `label` is refused for
// `problem`, and puts the focus into control id.
void refuseField(Dialog& form, int id, const std::string& label, const std::string& problem);

} // namespace gw::dlg

#endif
