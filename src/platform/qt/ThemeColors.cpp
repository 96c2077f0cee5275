#include "platform/qt/ThemeColors.h"

#include <QGuiApplication>
#include <QPalette>

#include <optional>

namespace {

struct TRole {
    QPalette::ColorGroup Group;
    QPalette::ColorRole Role;
};

// The desktop's colour indices that have a palette role.
std::optional<TRole> RoleOf(uint32_t index)
{
    switch (index) {
    case 4:  // menu
        return TRole{QPalette::Active, QPalette::Window};
    case 5:  // window background
        return TRole{QPalette::Active, QPalette::Base};
    case 7:  // menu text
        return TRole{QPalette::Active, QPalette::WindowText};
    case 8:  // window text
        return TRole{QPalette::Active, QPalette::Text};
    case 13:  // highlight
        return TRole{QPalette::Active, QPalette::Highlight};
    case 14:  // highlighted text
        return TRole{QPalette::Active, QPalette::HighlightedText};
    case 15:  // button face
        return TRole{QPalette::Active, QPalette::Button};
    case 16:  // button shadow
        return TRole{QPalette::Active, QPalette::Dark};
    case 17:  // gray text
        return TRole{QPalette::Disabled, QPalette::Text};
    case 18:  // button text
        return TRole{QPalette::Active, QPalette::ButtonText};
    case 20:  // button highlight
        return TRole{QPalette::Active, QPalette::Light};
    case 21:  // dark shadow
        return TRole{QPalette::Active, QPalette::Shadow};
    case 22:  // light
        return TRole{QPalette::Active, QPalette::Midlight};
    case 23:  // tool tip text
        return TRole{QPalette::Active, QPalette::ToolTipText};
    case 24:  // tool tip background
        return TRole{QPalette::Active, QPalette::ToolTipBase};
    case 26:  // link
        return TRole{QPalette::Active, QPalette::Link};
    default:
        return std::nullopt;
    }
}

}  // namespace

TColor ThemeColor(TColor color)
{
    if (!IsSystemColor(color))
        return color;
    const std::optional<TRole> role = RoleOf(color & 0xFFu);
    if (!role)
        return color;
    const QColor c = QGuiApplication::palette().color(role->Group, role->Role);
    return MakeColor(static_cast<uint8_t>(c.red()), static_cast<uint8_t>(c.green()), static_cast<uint8_t>(c.blue()));
}
