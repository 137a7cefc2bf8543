// Names compared as Windows compares file, printer, key and section names:
// without regard to case (ASCII letters).
#pragma once

#include <string>
#include <string_view>

// ASCII case folding without branches or tables, so that the loops over
// names stay quick (and a whole name folds in vector steps).
inline char LowerAscii(char c) {
    return static_cast<char>(c | (static_cast<unsigned char>(c - 'A') < 26u) << 5);
}
inline char UpperAscii(char c) {
    return static_cast<char>(c & ~((static_cast<unsigned char>(c - 'a') < 26u) << 5));
}

inline std::string Lower(std::string text) {
    for (char& c : text) c = LowerAscii(c);
    return text;
}

inline std::string Upper(std::string text) {
    for (char& c : text) c = UpperAscii(c);
    return text;
}

inline bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    if (prefix.size() > text.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (text[i] != prefix[i] && LowerAscii(text[i]) != LowerAscii(prefix[i])) return false;
    return true;
}

inline bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && StartsWithIgnoringCase(a, b);
}

// Whether `text` holds `part` (an empty part it always holds).
inline bool ContainsIgnoringCase(std::string_view text, std::string_view part) {
    for (size_t i = 0; i + part.size() <= text.size(); ++i)
        if (StartsWithIgnoringCase(text.substr(i), part)) return true;
    return part.empty();
}

// `path` relative to the folder `root` when it lies below it ("C:\PKG" and
// "c:\pkg\winnt\A.DLL" give "winnt\A.DLL"); any other path as it is.
inline std::string RelativeTo(std::string_view root, const std::string& path) {
    if (path.size() > root.size() + 1 && StartsWithIgnoringCase(path, root) &&
        path[root.size()] == '\\')
        return path.substr(root.size() + 1);
    return path;
}
