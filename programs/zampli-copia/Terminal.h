// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <cstdio>

namespace zampli::copytool {

// Names come from the file system: a control character in one would act on the terminal.
QString visible(const QString &text);
// One line to `to`, through visible().
void print(std::FILE *to, const QString &text);

} // namespace zampli::copytool
