// SPDX-License-Identifier: GPL-3.0-or-later
// The reference for the startup benchmark: a Qt Widgets window with one
// push button, built with the same compiler and flags as Orvella.

#include <QApplication>
#include <QPushButton>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Minimal"));
    QPushButton button(QStringLiteral("Schallleistungspegel"), &window);
    button.move(20, 20);
    window.resize(314, 285);
    window.show();
    return app.exec();
}
