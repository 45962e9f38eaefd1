// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Record fields, sentence checksums and file-name stems.
#include "gridwise/fields.h"

#include "platform/CLocale.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

// Which characters are skipped where a field starts and which end a field.
enum class Separators {
    anyRun,     // blanks, ':', ';' and ',' split; runs of them count as one
    commasOnly, // only ',' ends a field; blanks, ':' and ';' skipped at a field start
    fixed25,    // only ',' ends a field; blanks and ':' skipped at a field start
};

bool skippedAtStart(char c, Separators sep) {
    switch (sep) {
    case Separators::anyRun: return c == ' ' || c == ':' || c == ';' || c == ',';
    case Separators::commasOnly: return c == ' ' || c == ':' || c == ';';
    case Separators::fixed25: return c == ' ' || c == ':';
    }
    return false;
}

bool endsField(char c, Separators sep) {
    if (c == ',') return true;
    return sep == Separators::anyRun && (c == ' ' || c == ':' || c == ';');
}

// Splits text into at most maxFields fields of W characters (W - 1 kept).
//
// Skipping at a field start stops at the last character of the text, which is
// then taken as it is. When that last character is a separator it closes one
// more, empty, field: "a,," in the any-run mode gives the three fields "a", ""
// and "", as a single trailing separator ("a,b,") leaves one empty last field.
template <std::size_t W>
int split(const char* text, char (*fields)[W], int maxFields, Separators sep) {
    if (maxFields <= 0 || fields == nullptr) return 0;
    for (int i = 0; i < maxFields; ++i) fields[i][0] = '\0';
    if (text == nullptr || text[0] == '\0') return 0;
    const std::size_t len = std::strlen(text);
    std::size_t pos = 0;
    int k = 0;
    for (;;) {
        while (pos + 1 < len && skippedAtStart(text[pos], sep)) ++pos;
        std::size_t n = 0;
        if (text[pos] != ',') {
            while (pos < len && !endsField(text[pos], sep)) {
                if (n < W - 1) fields[k][n++] = text[pos];
                ++pos;
            }
            if (pos == len) {
                fields[k][n] = '\0';
                return k + 1;
            }
        }
        fields[k][n] = '\0';
        ++k;
        if (k == maxFields) return maxFields;
        ++pos;  // past the character that ended the field
        if (pos == len) return k + 1;
    }
}

// Exclusive-or of text[first, last) with each byte taken as a signed 8-bit value,
// then the remainder by 255 (sign of the dividend).
int sentenceXor(const char* text, std::size_t first, std::size_t last) {
    int c = 0;
    for (std::size_t i = first; i < last; ++i) c ^= static_cast<int>(static_cast<signed char>(text[i]));
    return c % 255;
}

// The checksum as it is written: the low byte of the value, two hex digits.
unsigned checksumByte(int c) { return static_cast<unsigned>(c) & 0xFFu; }

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads a hexadecimal number as the "%x" conversion does into an unsigned int:
// leading whitespace, an optional sign, an optional "0x", then hex digits up to
// the first other character. Nothing readable gives 0; too large a value
// saturates as strtoul does.
unsigned readHex(const char* s) {
    std::size_t i = 0;
    while (gw::cIsSpace(static_cast<unsigned char>(s[i]))) ++i;
    bool negative = false;
    if (s[i] == '+' || s[i] == '-') {
        negative = s[i] == '-';
        ++i;
    }
    if (hexValue(s[i]) < 0) return 0;
    if (s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X') && hexValue(s[i + 2]) >= 0) i += 2;
    std::uint64_t v = 0;
    bool overflow = false;
    for (int h; (h = hexValue(s[i])) >= 0; ++i) {
        if (v > (UINT64_MAX >> 4)) overflow = true;
        v = (v << 4) | static_cast<std::uint64_t>(h);
    }
    if (overflow) v = UINT64_MAX;
    if (negative) v = 0 - v;
    return static_cast<unsigned>(v);
}

} // namespace

extern "C" {

int breakFields(char* text, char fields[][20], int maxFields, int mode) {
    return split<20>(text, fields, maxFields, mode == 0 ? Separators::anyRun : Separators::commasOnly);
}

void checkSum(char* sentence) {
    if (sentence == nullptr) return;
    std::size_t len = std::strlen(sentence);
    unsigned c = checksumByte(len > 1 ? sentenceXor(sentence, 1, len) : 0);
    static const char digits[] = "0123456789ABCDEF";
    char* end = sentence + len;
    end[0] = '*';
    end[1] = digits[c >> 4];
    end[2] = digits[c & 0xFu];
    end[3] = '\r';
    end[4] = '\n';
    end[5] = '\0';
}

int checkCheckSum(const char* sentence) {
    if (sentence == nullptr) return 0;
    std::size_t len = std::strlen(sentence);
    std::size_t star = 0;
    for (std::size_t i = len; i > 1; --i) {
        if (sentence[i - 1] == '*') {
            star = i - 1;
            break;
        }
    }
    if (star == 0) return 0;
    if (sentence[0] != '$') return 0;
    // The number read is compared with the checksum as an int, as the "%x" read
    // leaves it; with bytes of 0x80 and above that value is negative and its full
    // hexadecimal form ("FFFFFF80") matches. The two digits checkSum writes (the
    // low byte, "80") are accepted as well. For 7-bit text both are the same.
    const int c = sentenceXor(sentence, 1, star);
    const unsigned read = readHex(sentence + star + 1);
    return (read == static_cast<unsigned>(c) || read == checksumByte(c)) ? 1 : 0;
}

int checkDosFileName(char* name) {
    if (name == nullptr) return 0;
    constexpr std::size_t kMaxKept = 151;
    static const char dropped[] = "\"/\\[}:;=, ";
    std::size_t n = 0;
    for (std::size_t i = 0; name[i] != '\0' && name[i] != '.' && n < kMaxKept; ++i) {
        if (std::strchr(dropped, name[i]) == nullptr) name[n++] = name[i];
    }
    name[n] = '\0';
    return n > 0 ? 1 : 0;
}

} // extern "C"

int breakFields(char* text, char fields[][30], int maxFields, int mode) {
    return split<30>(text, fields, maxFields, mode == 0 ? Separators::anyRun : Separators::commasOnly);
}

int breakFields(char* text, char fields[][80], int maxFields, int mode) {
    return split<80>(text, fields, maxFields, mode == 0 ? Separators::anyRun : Separators::commasOnly);
}

int breakFields(char* text, char fields[][25]) {
    return split<25>(text, fields, 115, Separators::fixed25);
}
