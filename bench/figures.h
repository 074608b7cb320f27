// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A measured time as the bench scripts read it: one decimal and a point,
// whatever the locale (QApplication sets the C library's from the
// environment, and printf's %f would write "12,3" under German settings).

#include <QByteArray>

inline QByteArray figure(double ms) { return QByteArray::number(ms, 'f', 1); }
