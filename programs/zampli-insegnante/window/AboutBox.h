// SPDX-License-Identifier: GPL-3.0-or-later
// Aiuto › Informazioni: the program's version, licence and credits.
#pragma once

#include <QString>

class QWidget;

namespace zampli::teacher {

// The box's text, rich text in Italian.
QString aboutText();
void showAboutBox(QWidget *parent);

} // namespace zampli::teacher
