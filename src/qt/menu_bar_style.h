// The application's style: the platform's own, except for the menu bar's
// overflow button, whose arrow is drawn here.  Qt's own arrow is a picture
// whose format Qt detects by asking every image plugin it has, which loads
// them all (and the JPEG library) while the window is being built; the
// button shows only on a menu bar too narrow for its menus.
#pragma once

#include <QProxyStyle>

namespace zemtori {

class MenuBarStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
};

}  // namespace zemtori
