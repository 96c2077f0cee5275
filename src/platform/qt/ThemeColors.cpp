#include "platform/qt/ThemeColors.h"

#include <QGuiApplication>
#include <QPalette>


namespace {

struct TRole {
    uint32_t Index;  // the desktop's colour index
    QPalette::ColorGroup Group;
    QPalette::ColorRole Role;
};

// The desktop's colour indices that have a palette role.
constexpr TRole Roles[] = {
    {4, QPalette::Active, QPalette::Window},              // menu
    {5, QPalette::Active, QPalette::Base},                // window background
    {7, QPalette::Active, QPalette::WindowText},          // menu text
    {8, QPalette::Active, QPalette::Text},                // window text
    {13, QPalette::Active, QPalette::Highlight},          // highlight
    {14, QPalette::Active, QPalette::HighlightedText},    // highlighted text
    {15, QPalette::Active, QPalette::Button},             // button face
    {16, QPalette::Active, QPalette::Dark},               // button shadow
    {17, QPalette::Disabled, QPalette::Text},             // gray text
    {18, QPalette::Active, QPalette::ButtonText},         // button text
    {20, QPalette::Active, QPalette::Light},              // button highlight
    {21, QPalette::Active, QPalette::Shadow},             // dark shadow
    {22, QPalette::Active, QPalette::Midlight},           // light
    {23, QPalette::Active, QPalette::ToolTipText},        // tool tip text
    {24, QPalette::Active, QPalette::ToolTipBase},        // tool tip background
    {26, QPalette::Active, QPalette::Link},               // link
};

}  // namespace

TColor ThemeColor(TColor color)
{
    if (!IsSystemColor(color))
        return color;
    for (const TRole& role : Roles) {
        if (role.Index == (color & 0xFFu)) {
            const QColor c = QGuiApplication::palette().color(role.Group, role.Role);
            return MakeColor(static_cast<uint8_t>(c.red()), static_cast<uint8_t>(c.green()),
                             static_cast<uint8_t>(c.blue()));
        }
    }
    return color;
}
