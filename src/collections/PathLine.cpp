#include "collections/PathLine.h"

#include "common/Text.h"

namespace {

constexpr std::string_view UriScheme = "file:";
constexpr char HexDigits[] = "0123456789ABCDEF";

// Bytes a URI path carries as they are: letters, digits, "-._~", the
// separator and the signs that mean nothing special inside a path.
bool IsUriSafe(unsigned char c)
{
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
        return true;
    return std::string_view("-._~/!$&'()*+,;=:@").find(static_cast<char>(c)) != std::string_view::npos;
}

bool HasControlCharacter(std::string_view text)
{
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F)
            return true;
    }
    return false;
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

TPathLine DecodeUri(std::string_view line)
{
    TPathLine result;
    result.Kind = TPathLineKind::plBadEscape;
    std::string_view rest = line.substr(UriScheme.size());
    // "file:///path" and "file://localhost/path"; "file:/path" as well.
    if (rest.substr(0, 2) == "//") {
        rest.remove_prefix(2);
        const size_t slash = rest.find('/');
        if (slash == std::string_view::npos)
            return result;
        const std::string_view host = rest.substr(0, slash);
        if (!host.empty() && !SameText(host, "localhost"))
            return result;
        rest.remove_prefix(slash);
    }
    if (rest.empty() || rest[0] != '/')
        return result;
    std::string path;
    for (size_t i = 0; i < rest.size(); ++i) {
        if (rest[i] != '%') {
            path += rest[i];
            continue;
        }
        const int hi = i + 1 < rest.size() ? HexValue(rest[i + 1]) : -1;
        const int lo = i + 2 < rest.size() ? HexValue(rest[i + 2]) : -1;
        if (hi < 0 || lo < 0)
            return result;
        path += static_cast<char>(hi * 16 + lo);
        i += 2;
    }
    // No file name holds a zero byte.
    if (path.find('\0') != std::string::npos)
        return result;
    result.Kind = TPathLineKind::plEscaped;
    result.Path = std::move(path);
    return result;
}

}  // namespace

std::string EncodePathLine(std::string_view path)
{
    if (IsValidUtf8(path) && !HasControlCharacter(path))
        return std::string(path);
    std::string line(UriScheme);
    line += "//";
    for (const char c : path) {
        const auto u = static_cast<unsigned char>(c);
        if (IsUriSafe(u)) {
            line += c;
        } else {
            line += '%';
            line += HexDigits[u >> 4];
            line += HexDigits[u & 0x0F];
        }
    }
    return line;
}

TPathLine DecodePathLine(std::string_view line)
{
    TPathLine result;
    // No path starts with a blank, so a line of blanks is an empty one.
    if (Trim(line).empty())
        return result;
    if (line.size() >= UriScheme.size() && SameText(line.substr(0, UriScheme.size()), UriScheme))
        return DecodeUri(line);
    // A zero byte would cut the path short where the system reads it, and
    // a different file would be taken.
    if (line[0] != '/' || line.find('\0') != std::string_view::npos) {
        result.Kind = TPathLineKind::plNotAbsolute;
        return result;
    }
    result.Path = std::string(line);
    if (IsValidUtf8(line)) {
        result.Kind = TPathLineKind::plPlain;
        return result;
    }
    result.Kind = TPathLineKind::plLegacy;
    // A byte CP932 cannot read comes out as U+FFFD: then the line is no CP932
    // name.
    const std::string cp932 = DecodeText(line);
    if (cp932.find("\xEF\xBF\xBD") == std::string::npos && cp932 != result.Path && !cp932.empty() && cp932[0] == '/')
        result.Cp932Path = cp932;
    return result;
}
