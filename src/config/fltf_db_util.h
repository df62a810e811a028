// Settings and changeable window texts: INI access with its result markers, the text-with-
// default rule, the language choice and the hexadecimal byte-list encoding of INI values.
// A non-polymorphic second base of every window class, so each window reads its own texts.
#pragma once

#include <cstddef>
#include <map>
#include <string>

// Markers the INI reader answers instead of a value.
inline constexpr const char* kIniFileNotFound = "File Not Found";
inline constexpr const char* kIniError = "Error";

// True for either marker: callers treat both as a missing value.
bool IsIniMarker(const std::string& value);

class CFltfDBUtil {
public:
    // Folder of the running executable (no trailing separator).
    std::string GetModuleDir() const;

    // [section] key of file; "File Not Found" when the file is missing, "Error" when the key
    // is absent (or holds "Error"). At most 2023 characters.
    std::string ReadIniString(const std::string& file, const std::string& section,
                              const std::string& key) const;
    void WriteIniString(const std::string& file, const std::string& section, const std::string& key,
                        const std::string& value) const;

    // Shorter reader: the value or "Error", at most 254 characters, no file check.
    std::string ReadIniValue(const std::string& file, const std::string& section,
                             const std::string& key) const;

    // Creates one folder level; callers may ignore the result.
    bool CreateDir(const std::string& path) const;

    // A text of at least two '\'-separated parts is a byte list: each part is a hexadecimal
    // number whose low byte is the next byte; a part that does not start with a hex digit
    // yields a 0 byte, which ends the text. Other texts come back unchanged.
    std::string DecodeHexText(const std::string& text) const;

    // The same bytes into buffer (at most size - 1 of them, then a NUL); returns how many.
    // A plain text is copied (and terminated) and 0 is returned.
    std::size_t DecodeHexTextInto(const std::string& text, char* buffer, std::size_t size) const;

    // Cuts text at every run of delimiter characters; tokens keyed 0, 1, 2, ...
    void SplitText(const std::string& text, const std::string& delimiters,
                   std::map<int, std::string>& out) const;

    // Writes `def` under the key when it reads back as a marker (first text pass).
    void EnsureText(const std::string& file, const std::string& section, const std::string& key,
                    const std::string& def) const;

    // The text-with-default rule for a widget's text: a marker writes and gives the default,
    // a stored value is decoded with DecodeHexText.
    std::string TextWithDefault(const std::string& file, const std::string& section,
                                const std::string& key, const std::string& def) const;

    // The language choice for `name` (key in [LANG_TEXT] of AppConfig.ini, "eng" written and
    // the folders <exe>//name and <exe>//name//eng made when missing); returns the text file
    // <exe>//name//<lang>//name.ini.
    std::string LanguageFile(const std::string& name) const;

    // <exe>//AppConfig.ini
    std::string AppConfigFile() const;
};

// base + separator + name, base = $HOME, else $HOME_PATH, else "."; computed by the first
// call and returned unchanged by every later one (their names are ignored).
std::string HomePath(const std::string& name);

// The path exists and is a folder.
bool DirectoryExists(const std::string& path);
