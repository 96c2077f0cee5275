#pragma once

// Comma-separated fields as the CSV export writes them and as stored
// name-division rules keep them. A field holding a character of code 32 or
// less, a double quote or a comma is enclosed in double quotes with each inner
// quote doubled; any other field, the empty one included, is written as it
// is. UTF-8 never puts a byte below 0x80 inside a character, so scanning
// bytes never quotes a field because of part of a character.

#include <string>
#include <string_view>
#include <vector>

// One field, quoted when it needs to be.
std::string QuoteCsvField(std::string_view field);
// Appends the fields joined by ","; a line of exactly one empty field becomes
// two double quotes, so that it still reads back as one field.
void AppendCsvLine(std::string& out, const std::vector<std::string>& fields);
std::string JoinCsvFields(const std::vector<std::string>& fields);

// Splits a line written that way. Outside double quotes a blank or a control
// character also ends a field (and blanks around separators are skipped); a
// field may be empty, and a "," at the very end adds one empty field. An
// empty or blank text gives no field. An unclosed quote runs to the end.
std::vector<std::string> SplitCsvFields(std::string_view text);
