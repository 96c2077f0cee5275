#include "app/ExtColorInput.h"

#include <algorithm>

#include "common/Text.h"
#include "base/Texts.h"

const std::string InvalidExtensionMessage =
    Tx("拡張子のみを正しく入力してください  \n\n　例） .exe\n　例） .bmp;.jpg");

std::string DuplicateExtensionMessage(std::string_view ext)
{
    return Tx("拡張子 '") + std::string(ext) + Tx("' は既に登録されています  ");
}

namespace {

std::vector<std::string> SplitTokens(std::string_view text)
{
    std::vector<std::string> tokens;
    std::string current;
    for (char ch : text) {
        if (ch == ';' || ch == ',' || ch == ' ') {
            tokens.push_back(current);
            current.clear();
        } else {
            current += ch;
        }
    }
    tokens.push_back(current);
    return tokens;
}

// ".ext" for a valid token, empty for a token that is refused.
std::string NormalizeToken(const std::string& token)
{
    std::string ext;
    if (token.find('.') == std::string::npos)
        ext = "." + token;
    else if (token.front() == '.')
        ext = token;
    else if (token.size() > 2 && token[0] == '*' && token[1] == '.')
        ext = token.substr(1);
    else
        return {};
    // The extension list becomes a key of the settings file, which can carry
    // neither "=" nor a line break; control characters never name a file type.
    const bool unusable = std::any_of(ext.begin(), ext.end(), [](char ch) {
        return ch == '=' || static_cast<unsigned char>(ch) < 0x20 || ch == 0x7F;
    });
    if (unusable || ext == ".")
        return {};
    return ext;
}

bool IsRegistered(const std::string& ext, const std::vector<std::string>& otherEntries)
{
    for (const std::string& entry : otherEntries) {
        for (const std::string& part : SplitString(entry, ';')) {
            std::string other = Trim(part);
            if (!other.empty() && other.front() != '.')
                other.insert(0, 1, '.');
            if (SameText(other, ext))
                return true;
        }
    }
    return false;
}

}  // namespace

TExtInputCheck CheckExtensionInput(std::string_view text, const std::vector<std::string>& otherEntries)
{
    TExtInputCheck check;
    const std::string input = LowerCase(Trim(text));
    std::vector<std::string> extensions;
    for (const std::string& token : SplitTokens(input)) {
        if (token.empty())
            continue;
        std::string ext = NormalizeToken(token);
        if (ext.empty()) {
            check.Result = TExtInputResult::erInvalid;
            check.Message = InvalidExtensionMessage;
            return check;
        }
        if (std::find(extensions.begin(), extensions.end(), ext) == extensions.end())
            extensions.push_back(std::move(ext));
    }
    if (extensions.empty())
        return check;
    for (const std::string& ext : extensions) {
        if (IsRegistered(ext, otherEntries)) {
            check.Result = TExtInputResult::erDuplicate;
            check.Message = DuplicateExtensionMessage(ext);
            return check;
        }
    }
    check.Result = TExtInputResult::erAccepted;
    for (const std::string& ext : extensions) {
        if (!check.Text.empty())
            check.Text += ';';
        check.Text += ext;
    }
    return check;
}
