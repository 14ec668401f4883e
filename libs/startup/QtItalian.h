// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QTranslator;

namespace zampli {

// Qt's own texts (file dialogs, message box buttons, context menus) in
// Italian, from the translations Qt is installed with. False, and nothing
// installed, where they are missing: Qt's English then shows.
bool installQtItalian(QTranslator &translator);

} // namespace zampli
