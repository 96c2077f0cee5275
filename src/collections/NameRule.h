#pragma once

// One rule that cuts a named part out of a file name: the text before or
// after a delimiter, or a text enclosed by an opening and a closing one. The
// categories by name keep an ordered list of them; each rule works on what
// the earlier ones left of the name.

#include <cstdint>
#include <string>
#include <vector>

struct TNameDivideInfo {
    int32_t Index = 0;  // the rule's position in its list
    std::string Name;   // the part's name ("項目名")
    uint8_t Kind = 0;   // 0 before a delimiter, 1 after one, 2 enclosed
    std::vector<std::string> FirstDelimiters;   // the delimiters, or the opening ones
    std::vector<std::string> SecondDelimiters;  // the closing delimiters of kind 2
    bool FromEnd = false;           // search from the end of the name
    bool RemoveDelimiters = false;  // the part leaves its delimiters out

    bool operator==(const TNameDivideInfo&) const = default;
};
