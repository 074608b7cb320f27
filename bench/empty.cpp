// SPDX-License-Identifier: GPL-3.0-or-later
// The floor of the startup benchmark: an empty Qt Widgets window, what Qt
// itself costs (platform plugin, style, the default font) before any control.

#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Empty"));
    window.resize(314, 285);
    window.show();
    return app.exec();
}
