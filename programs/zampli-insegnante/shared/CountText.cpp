// SPDX-License-Identifier: GPL-3.0-or-later
#include "shared/CountText.h"

#include <QLocale>

namespace zampli::teacher {

QString countText(int n, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(QLocale(QLocale::Italian).toString(n), QLatin1String(n == 1 ? one : many));
}

} // namespace zampli::teacher
