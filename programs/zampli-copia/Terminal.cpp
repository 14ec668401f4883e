// SPDX-License-Identifier: GPL-3.0-or-later
#include "Terminal.h"

namespace zampli::copytool {

QString visible(const QString &text)
{
    QString out;
    for (const QChar c : text)
        out += c.category() == QChar::Other_Control && c != QLatin1Char('\n')
                   ? QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'))
                   : QString(c);
    return out;
}

void print(std::FILE *to, const QString &text)
{
    std::fputs(visible(text + QLatin1Char('\n')).toLocal8Bit().constData(), to);
}

} // namespace zampli::copytool
