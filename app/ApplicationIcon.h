#pragma once

#include <QIcon>

namespace app
{

// Locavia's icon, drawn once as a floor plan (resources/icons/locavia.svg) and rendered here at the sizes
// window managers ask for, so that the windows carry it without an image plug-in.
class ApplicationIcon
{
public:
    ApplicationIcon() = delete;

    static QIcon icon();
    // The drawing, from the program's own resources.
    static QString svgPath() { return QStringLiteral(":/locavia/icons/locavia.svg"); }
};

} // namespace app
