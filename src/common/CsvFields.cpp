#include "common/CsvFields.h"

namespace {

bool NeedsQuotes(std::string_view field)
{
    for (const char c : field) {
        const auto b = static_cast<unsigned char>(c);
        if (b <= 32 || c == '"' || c == ',')
            return true;
    }
    return false;
}

bool IsBlank(char c)
{
    const auto b = static_cast<unsigned char>(c);
    return b >= 1 && b <= 32;
}

}  // namespace

std::string QuoteCsvField(std::string_view field)
{
    if (!NeedsQuotes(field))
        return std::string(field);
    std::string out;
    out.reserve(field.size() + 2);
    out += '"';
    for (const char c : field) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
    return out;
}

void AppendCsvLine(std::string& out, const std::vector<std::string>& fields)
{
    if (fields.size() == 1 && fields[0].empty()) {
        out += "\"\"";
        return;
    }
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out += ',';
        if (NeedsQuotes(fields[i]))
            out += QuoteCsvField(fields[i]);
        else
            out += fields[i];
    }
}

std::string JoinCsvFields(const std::vector<std::string>& fields)
{
    std::string out;
    AppendCsvLine(out, fields);
    return out;
}

std::vector<std::string> SplitCsvFields(std::string_view text)
{
    std::vector<std::string> fields;
    size_t i = 0;
    // NUL ends the text as it would a C string: nothing after it is a field.
    if (const size_t nul = text.find('\0'); nul != std::string_view::npos)
        text = text.substr(0, nul);
    auto skipBlanks = [&] {
        while (i < text.size() && IsBlank(text[i]))
            ++i;
    };
    skipBlanks();
    while (i < text.size()) {
        std::string field;
        if (text[i] == '"') {
            ++i;
            while (i < text.size()) {
                if (text[i] == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') {
                        field += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += text[i++];
            }
        } else {
            const size_t start = i;
            while (i < text.size() && !IsBlank(text[i]) && text[i] != ',')
                ++i;
            field.assign(text.substr(start, i - start));
        }
        fields.push_back(std::move(field));
        skipBlanks();
        if (i < text.size() && text[i] == ',') {
            if (i + 1 == text.size())
                fields.emplace_back();
            ++i;
            skipBlanks();
        }
    }
    return fields;
}
