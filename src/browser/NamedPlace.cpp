#include "browser/NamedPlace.h"

#include <array>
#include <utility>

std::optional<TNamedPlace> ParseNamedPlace(std::string_view text)
{
    using enum TNamedPlaceKind;
    static constexpr std::array<std::pair<std::string_view, TNamedPlaceKind>, 3> lists{
        {{"shelves", npShelves}, {"media", npMedia}, {"categories", npCategories}}};
    static constexpr std::array<std::pair<std::string_view, TNamedPlaceKind>, 3> ones{
        {{"shelf:", npShelf}, {"media:", npMedium}, {"category:", npCategory}}};
    for (const auto& [word, kind] : lists)
        if (text == word)
            return TNamedPlace{kind, {}, {}};
    for (const auto& [prefix, kind] : ones) {
        if (!text.starts_with(prefix))
            continue;
        const std::string_view rest = text.substr(prefix.size());
        const size_t separator = rest.find("//");
        TNamedPlace place{kind, std::string(rest.substr(0, separator)), {}};
        if (separator != std::string_view::npos)
            place.Inner = rest.substr(separator + 2);
        if (place.Name.empty())
            return std::nullopt;
        return place;
    }
    return std::nullopt;
}
