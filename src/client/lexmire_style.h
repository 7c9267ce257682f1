// The program's widget style: the platform's own, with the few pictures it would
// otherwise read from files drawn here instead.
#pragma once

#include <QProxyStyle>

class LexmireStyle : public QProxyStyle {
public:
    LexmireStyle();

    // The menu bar's overflow button ("»"), drawn in the palette's text colour. Every
    // menu bar asks for it when it is built; the stock picture is a file, and reading
    // it loads each image-format plugin installed, before the window is first painted.
    QIcon standardIcon(StandardPixmap which, const QStyleOption* option = nullptr,
        const QWidget* widget = nullptr) const override;
};
