#pragma once

// One path per line: the text files a shelf's members are exported to and
// imported from. Exports are UTF-8. A path that is not valid UTF-8, or that
// holds a control character (a line break would split it), is written as a
// "file://" URI with its other bytes percent-escaped ("/home/u/caf\xE9.jpg"
// becomes "file:///home/u/caf%E9.jpg"). Every plain path starts with "/", so
// no file name can be mistaken for an escaped one, and the escape gives back
// the exact bytes. Lines of older exports are taken as they are when they are
// UTF-8; a line that is not is also read as CP932 (how older versions wrote
// names), and the caller decides between the two.

#include <string>
#include <string_view>

enum class TPathLineKind {
    plBlank,        // nothing on the line
    plPlain,        // an absolute path in UTF-8
    plEscaped,      // a "file://" URI; Path holds the bytes it escapes
    plLegacy,       // an absolute path that is not UTF-8: Path holds its bytes, Cp932Path its CP932 reading
    plNotAbsolute,  // neither a path from "/" nor a URI, or one holding a zero byte
    plBadEscape,    // a URI that is malformed or names another host
};

struct TPathLine {
    TPathLineKind Kind = TPathLineKind::plBlank;
    std::string Path;
    // plLegacy: the line read as CP932; empty when CP932 cannot read it or
    // reads it as Path itself.
    std::string Cp932Path;
};

// The line written for path (without its line end).
std::string EncodePathLine(std::string_view path);
// What one line (without its line end) names.
TPathLine DecodePathLine(std::string_view line);
