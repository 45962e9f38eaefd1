#include "projections/LocalSystemSupport.h"

#include <cstring>

#include "platform/CLocale.h"
#include "platform/IniFile.h"
#include "projections/ProjectionFactory.h"

namespace gw {

void copyProjectionPart(Projection& dst, const Projection& src) {
    dst.type = src.type;
    copyBounded(dst.general, src.general, sizeof dst.general);
    copyBounded(dst.specific, src.specific, sizeof dst.specific);
}

double iniGetDouble(const char* section, const char* key, const char* def, const char* file) {
    char text[100];
    iniGetString(section, key, def, text, sizeof text, file);
    return cAtof(text);
}

void iniWriteDouble(const char* section, const char* key, const char* fmt, double value,
                    const char* file) {
    std::string text = cFormatString(fmt, value);
    iniWriteString(section, key, text.c_str(), file);
}

void iniWriteInt(const char* section, const char* key, int value, const char* file) {
    char text[16];
    cFormat(text, sizeof text, "%d", value);
    iniWriteString(section, key, text, file);
}

std::string initStringName(const char* name) {
    std::string out = name ? name : "";
    for (char& c : out)
        if (c == ',') c = ' ';
    return out;
}

char* textAfterCommas(char* text, int n) {
    if (!text) return nullptr;
    char* p = text;
    for (int i = 0; i < n; ++i) {
        p = std::strchr(p, ',');
        if (!p) return nullptr;
        ++p;
    }
    return p;
}

int acceptedBaseType(int code) { return (code == 3 || code == 6) ? 0 : code; }

Projection* makeBaseProjection(char* text) {
    bool blank = true;
    if (text)
        for (const char* p = text; *p; ++p)
            if (!cIsSpace(static_cast<unsigned char>(*p))) {
                blank = false;
                break;
            }
    // The code read the way the envelope reads it.
    int code = projLeadingInt(text);
    if (blank || acceptedBaseType(code) != code) return new Projection();
    return new Projection(text);
}

} // namespace gw
