// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace zampli::teacher {

// "1 risposta", "16.960 risposte": counts with the thousands marked.
QString countText(int n, const char *one, const char *many);

} // namespace zampli::teacher
