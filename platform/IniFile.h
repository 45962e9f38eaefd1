// Settings files in the INI format.
//
// Our reader and writer of the classic private-profile format: "[section]" lines,
// "key=value" lines, ';' comment lines. Section and key names compare without
// regard to ASCII case; whitespace around keys and values is ignored on reading;
// LF and CRLF files are both read. A missing file, section or key gives the
// caller's default. A bare file name (no '/') resolves in the settings folder:
// $GRIDWISE_SETTINGS_DIR if set, else $XDG_CONFIG_HOME/gridwise, else
// ~/.config/gridwise (created on the first write).
//
// Writes keep every other byte of the file (comments, other sections, unknown
// keys, line endings), replace a key's value in place or append the key at the
// end of its section, create the file and the section when missing, and replace
// the file atomically (temporary file in the same folder, then rename), so a
// crash leaves the old or the new file, never a broken one.
//
// Reads of one file are served from a cache that is refreshed when the file's
// size or modification time changes, so loading a section key by key does not
// re-read and re-parse the file for every key.
#ifndef GRIDWISE_PLATFORM_INIFILE_H
#define GRIDWISE_PLATFORM_INIFILE_H

#include <cstddef>
#include <string>

namespace gw {

// The path a settings file name stands for (see above). Empty for a null or empty name.
std::string resolveSettingsPath(const char* file);

// The value of key in section of file, or def (null counts as "") when the file,
// section or key is missing. Surrounding whitespace of the value is removed.
std::string iniGetString(const char* section, const char* key, const char* def, const char* file);

// The same into a caller's buffer of cap bytes: copies at most cap - 1 characters,
// terminates, returns the number of characters copied. Nothing is written when cap is 0.
std::size_t iniGetString(const char* section, const char* key, const char* def, char* out,
                         std::size_t cap, const char* file);

// An integer value read like the platform's integer reader: leading blanks, an
// optional sign and decimal digits (0 when there are no digits); def only when the
// key (or the section or the file) is missing.
int iniGetInt(const char* section, const char* key, int def, const char* file);

// Writes key=value into section of file. Returns false, leaving the old file
// untouched, when the write cannot be done.
bool iniWriteString(const char* section, const char* key, const char* value, const char* file);

} // namespace gw

#endif
