// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The settings keys and initialisation-string fields of a projection class, in
// one table.
//
// Each entry (Key) names a settings key and the member that holds its value, the
// value's text form and default in the settings, and its field and form in the
// initialisation string. An entry without a settings form is not in the settings;
// one without a field is not in the string. loadKeys and saveKeys walk the table
// in its order, which is the order of the keys in a new settings section;
// readInitString and writeInitString go by field number.
//
//   Form       settings (read / write)              initialisation string (read / write)
//   name       iniGetName / iniWriteString          keepName / initStringName
//   latitude   iniGetLatitude / iniWriteLat         latitudeField / latitudeText
//   longitude  iniGetLongitude / iniWriteLon        longitudeField / longitudeText
//   number     iniGetDouble / iniWriteDouble        numberField / numberText in the entry's format
//   grid       (not a settings form)                gridField / numberText in the entry's format
//   scale      as number, then floorScale           as number, then floorScale
//   integer    iniGetInt / iniWriteInt              cAtoi / "%d"
//   base       the base's type code (iniGetInt,     the base's own string, read from
//              3 and 6 read as 0) and then the      the text behind the field's comma
//              base's own keys in the section       and written at the end
//
// Names are read with the size of their member. A latitude field that is beyond
// the poles reads as the value the member had before (the constructor's default).
// The string is the type code and every field after a comma; the flat local grid
// ends it with one more comma. Its fields are read 79 characters wide, those of the
// local systems 19 characters wide (79 inside an ExactTextScope, whose exact
// numbers may be longer). Numbers and angles are written in the entry's form, or
// with more decimals when the value needs them to read back (numberText,
// latitudeText, longitudeText in units/SettingsText.h).
//
// wellFormed checks a table at compile time: each form fits its member's type and
// has its default and format, the fields are numbered 1, 2, ... without gaps, and
// a base is the last field.
//
// Threads: as for the projection whose members the functions read and write (see
// gridwise/projection.h).
#ifndef GRIDWISE_PROJECTIONS_PROJECTIONKEYS_H
#define GRIDWISE_PROJECTIONS_PROJECTIONKEYS_H

#include <array>
#include <cstddef>
#include <span>
#include <variant>
#include <vector>

#include "gridwise/fields.h"
#include "platform/CLocale.h"
#include "platform/IniFile.h"
#include "projections/BaseProjection.h"
#include "projections/InitText.h"
#include "projections/LocalSystemSupport.h"
#include "units/SettingKey.h"
#include "units/SettingsText.h"

namespace gw {

// The scale factor of a Transverse Mercator is never below 0.5 (NaN included),
// whether it comes from the settings or an initialisation string: a smaller one
// would be written "0.000000" and read back as another projection.
inline double floorScale(double k0) { return k0 >= 0.5 ? k0 : 0.5; }

// The value in the settings: its form, its default text (an integer's is read
// with cAtoi) and, for numbers, the printf format it is written with.
struct SettingForm {
    Form form = Form::none;
    const char* def = nullptr;
    const char* format = nullptr;
};

// The value in the initialisation string: its field (1 is the one behind the
// type code; 0 when the value is not in the string), its form and, for numbers
// and grid values, the printf format it is written with.
struct FieldForm {
    int index = 0;
    Form form = Form::none;
    const char* format = nullptr;
};

// The member an entry holds: a number, an integer, a name of the class (40
// characters) or of the base part (general and specific, 30), or the base
// projection of a local system.
template <class P>
using KeyMember = std::variant<double P::*, int P::*, char (P::*)[40], char (P::*)[30], BaseProjection P::*>;

template <class P>
struct Key {
    const char* key; // settings key; null when the value is not in the settings
    KeyMember<P> member;
    SettingForm setting = {};
    FieldForm field = {}; // none when left out
};

// How wide the fields of the string are read (characters kept plus one).
enum class FieldWidth : std::size_t { wide = 80, narrow = 20 };

template <class P>
struct KeyTable {
    std::span<const Key<P>> keys;
    FieldWidth width;
    bool closingComma; // one more comma behind the last field
};

namespace keys {

// Fields the string reader splits off; enough for every table.
constexpr int kMaxFields = 17;

template <class P>
constexpr bool fits(Form form, const KeyMember<P>& member) {
    switch (form) {
    case Form::none: return true;
    case Form::name: return member.index() == 2 || member.index() == 3;
    case Form::latitude:
    case Form::longitude:
    case Form::number:
    case Form::grid:
    case Form::scale: return member.index() == 0;
    case Form::integer: return member.index() == 1;
    case Form::base: return member.index() == 4;
    }
    return false;
}

constexpr bool formatted(Form form) { return form == Form::number || form == Form::grid || form == Form::scale; }

template <class P>
const Key<P>* atField(const KeyTable<P>& table, int index) {
    for (const Key<P>& k : table.keys)
        if (k.field.index == index) return &k;
    return nullptr;
}

template <class M, class P>
M P::*memberOf(const Key<P>& k) {
    return *std::get_if<M P::*>(&k.member);
}

// The name an entry holds and the size of its member (Obj is P or const P).
template <class P, class Obj>
auto* nameIn(Obj& p, const Key<P>& k, std::size_t& size) {
    if (auto m = std::get_if<char (P::*)[40]>(&k.member)) {
        size = sizeof(p.*(*m));
        return &(p.*(*m))[0];
    }
    auto m = std::get_if<char (P::*)[30]>(&k.member);
    size = sizeof(p.*(*m));
    return &(p.*(*m))[0];
}

template <class P, std::size_t W>
void readFields(P& p, const KeyTable<P>& table, char* init) {
    char fields[kMaxFields][W];
    breakFields(init, fields, kMaxFields, 1);
    for (const Key<P>& k : table.keys) {
        if (k.field.form == Form::none) continue;
        if (k.field.form == Form::base) {
            (p.*memberOf<BaseProjection>(k)).reset(textAfterCommas(init, k.field.index));
            continue;
        }
        char* field = fields[k.field.index]; // below kMaxFields (wellFormed)
        switch (k.field.form) {
        case Form::none:
        case Form::base: break;
        case Form::name: {
            std::size_t size = 0;
            char* name = nameIn(p, k, size);
            keepName(name, size, field);
            break;
        }
        case Form::latitude: {
            double& value = p.*memberOf<double>(k);
            value = latitudeField(field, value);
            break;
        }
        case Form::longitude: p.*memberOf<double>(k) = longitudeField(field); break;
        case Form::number: p.*memberOf<double>(k) = numberField(field); break;
        case Form::grid: p.*memberOf<double>(k) = gridField(field); break;
        case Form::scale: p.*memberOf<double>(k) = floorScale(numberField(field)); break;
        case Form::integer: p.*memberOf<int>(k) = cAtoi(field); break;
        }
    }
}

} // namespace keys

template <class P>
constexpr bool wellFormed(const KeyTable<P>& table) {
    int fields = 0;
    int baseField = 0;
    for (const Key<P>& k : table.keys) {
        const SettingForm& s = k.setting;
        if (s.form == Form::grid || !keys::fits(s.form, k.member)) return false;
        if (s.form != Form::none && (k.key == nullptr || s.def == nullptr)) return false;
        if (keys::formatted(s.form) != (s.format != nullptr)) return false;
        const FieldForm& f = k.field;
        if ((f.index > 0) != (f.form != Form::none) || !keys::fits(f.form, k.member)) return false;
        if (keys::formatted(f.form) != (f.format != nullptr)) return false;
        if (f.form == Form::base) baseField = f.index;
        else if (f.index >= keys::kMaxFields) return false;
        if (f.index > 0) ++fields;
    }
    for (int index = 1; index <= fields; ++index) {
        int found = 0;
        for (const Key<P>& k : table.keys)
            if (k.field.index == index) ++found;
        if (found != 1) return false;
    }
    return baseField == 0 || (baseField == fields && !table.closingComma);
}

// The settings keys of a table, in its order (entries without a settings form
// left out: their key is null and their form none), for the settings check.
template <class P, std::size_t N>
constexpr std::array<SettingKey, N> settingKeysOf(const Key<P> (&table)[N]) {
    std::array<SettingKey, N> out{};
    for (std::size_t i = 0; i < N; ++i)
        if (table[i].setting.form != Form::none) {
            const KeyMember<P>& m = table[i].member;
            const std::size_t width = m.index() == 2 ? 39 : m.index() == 3 ? 29 : 0; // char[40], char[30]
            out[i] = SettingKey{table[i].key, table[i].setting.form, table[i].setting.def,
                                table[i].setting.form == Form::name ? width : 0};
        }
    return out;
}

// One field of the initialisation string, for a reader that checks a string
// before a projection reads it: its number (1 behind the type code), its form and
// the settings key of its value (null when the value is not in the settings).
struct InitField {
    int index = 0;
    Form form = Form::none;
    const char* key = nullptr;
};

// The fields of a table's string, in field order.
template <class P>
std::vector<InitField> initFieldsOf(const KeyTable<P>& table) {
    std::vector<InitField> fields;
    for (int index = 1; const Key<P>* k = keys::atField(table, index); ++index)
        fields.push_back(InitField{index, k->field.form, k->key});
    return fields;
}

// Gives every member with a settings default that default, read as loadKeys reads
// a missing key: the one statement of a class's defaults, which its constructor
// also starts from. A base keeps the projection it has.
template <class P>
void applyDefaults(P& p, const KeyTable<P>& table) {
    for (const Key<P>& k : table.keys) {
        const SettingForm& s = k.setting;
        char text[100];
        copyBounded(text, s.def != nullptr ? s.def : "", sizeof text);
        switch (s.form) {
        case Form::none:
        case Form::grid:
        case Form::base: break;
        case Form::name: {
            std::size_t size = 0;
            char* name = keys::nameIn(p, k, size);
            keepName(name, size, text);
            break;
        }
        case Form::latitude: p.*keys::memberOf<double>(k) = latitudeField(text, 0.0); break;
        case Form::longitude: p.*keys::memberOf<double>(k) = longitudeField(text); break;
        case Form::number: p.*keys::memberOf<double>(k) = cAtof(text); break;
        case Form::scale: p.*keys::memberOf<double>(k) = floorScale(cAtof(text)); break;
        case Form::integer: p.*keys::memberOf<int>(k) = cAtoi(text); break;
        }
    }
}

// Reads every key of the table from section of file (see above).
template <class P>
void loadKeys(P& p, const KeyTable<P>& table, char* section, char* file) {
    for (const Key<P>& k : table.keys) {
        const SettingForm& s = k.setting;
        switch (s.form) {
        case Form::none:
        case Form::grid: break;
        case Form::name: {
            std::size_t size = 0;
            char* name = keys::nameIn(p, k, size);
            iniGetName(section, k.key, s.def, name, size, file);
            break;
        }
        case Form::latitude: p.*keys::memberOf<double>(k) = iniGetLatitude(section, k.key, s.def, file); break;
        case Form::longitude: p.*keys::memberOf<double>(k) = iniGetLongitude(section, k.key, s.def, file); break;
        case Form::number: p.*keys::memberOf<double>(k) = iniGetDouble(section, k.key, s.def, file); break;
        case Form::scale:
            p.*keys::memberOf<double>(k) = floorScale(iniGetDouble(section, k.key, s.def, file));
            break;
        case Form::integer: p.*keys::memberOf<int>(k) = iniGetInt(section, k.key, cAtoi(s.def), file); break;
        case Form::base: {
            BaseProjection& base = p.*keys::memberOf<BaseProjection>(k);
            base->changeTo(acceptedBaseType(iniGetInt(section, k.key, cAtoi(s.def), file)));
            base->loadData(section, file);
            break;
        }
        }
    }
}

// Writes every key of the table into section of file, in the table's order.
template <class P>
void saveKeys(P& p, const KeyTable<P>& table, char* section, char* file) {
    for (const Key<P>& k : table.keys) {
        const SettingForm& s = k.setting;
        switch (s.form) {
        case Form::none:
        case Form::grid: break;
        case Form::name: {
            std::size_t size = 0;
            iniWriteString(section, k.key, keys::nameIn(p, k, size), file);
            break;
        }
        case Form::latitude: iniWriteLat(section, k.key, p.*keys::memberOf<double>(k), file); break;
        case Form::longitude: iniWriteLon(section, k.key, p.*keys::memberOf<double>(k), file); break;
        case Form::number:
        case Form::scale: iniWriteDouble(section, k.key, s.format, p.*keys::memberOf<double>(k), file); break;
        case Form::integer: iniWriteInt(section, k.key, p.*keys::memberOf<int>(k), file); break;
        case Form::base: {
            BaseProjection& base = p.*keys::memberOf<BaseProjection>(k);
            iniWriteInt(section, k.key, base->type, file);
            base->saveData(section, file);
            break;
        }
        }
    }
}

// Reads the fields of an initialisation string into the members; members whose
// fields are missing or unreadable get what the field readers give for empty text.
template <class P>
void readInitString(P& p, const KeyTable<P>& table, char* init) {
    if (table.width == FieldWidth::narrow && !exactTexts())
        keys::readFields<P, static_cast<std::size_t>(FieldWidth::narrow)>(p, table, init);
    else
        keys::readFields<P, static_cast<std::size_t>(FieldWidth::wide)>(p, table, init);
}

// Appends the initialisation string: the type code, then each field behind a comma.
template <class P>
void writeInitString(InitText& out, const P& p, const KeyTable<P>& table) {
    out.append(cFormatString("%d", p.type));
    const std::size_t fieldLength = static_cast<std::size_t>(table.width) - 1;
    for (int index = 1; const Key<P>* k = keys::atField(table, index); ++index) {
        out.append(',');
        const FieldForm& f = k->field;
        switch (f.form) {
        case Form::none: break;
        case Form::name: {
            std::size_t size = 0;
            out.append(initStringName(keys::nameIn(p, *k, size)));
            break;
        }
        case Form::latitude: out.append(latitudeText(p.*keys::memberOf<double>(*k))); break;
        case Form::longitude: out.append(longitudeText(p.*keys::memberOf<double>(*k))); break;
        case Form::number:
        case Form::scale:
            out.append(numberText(f.format, p.*keys::memberOf<double>(*k), NumberReader::plain, fieldLength));
            break;
        case Form::grid:
            out.append(numberText(f.format, p.*keys::memberOf<double>(*k), NumberReader::grid, fieldLength));
            break;
        case Form::integer: out.append(cFormatString("%d", p.*keys::memberOf<int>(*k))); break;
        case Form::base: (p.*keys::memberOf<BaseProjection>(*k))->initText(out); break;
        }
    }
    if (table.closingComma) out.append(',');
}

} // namespace gw

#endif
