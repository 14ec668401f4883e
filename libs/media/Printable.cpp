// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/Printable.h"

#include <QLocale>

namespace zampli {

namespace {

bool turnsDirection(char32_t c)
{
    return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

bool hidden(char32_t c)
{
    // C0, DEL and C1 controls; the line and paragraph separators break lines as well.
    return c < 0x20 || (c >= 0x7F && c < 0xA0) || c == 0x2028 || c == 0x2029 || turnsDirection(c);
}

} // namespace

QString visible(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const char32_t c : text.toUcs4()) {
        if (!hidden(c)) {
            out += QString::fromUcs4(&c, 1);
            continue;
        }
        const QString hex = QString::number(uint(c), 16).toUpper();
        out += c < 0x100 ? QStringLiteral("\\x") + hex.rightJustified(2, QLatin1Char('0'))
                         : QStringLiteral("\\u") + hex.rightJustified(4, QLatin1Char('0'));
    }
    return out;
}

QString counted(qint64 n, const char *one, const char *many)
{
    const QLocale italian(QLocale::Italian, QLocale::Italy);
    return italian.toString(n) + QLatin1Char(' ') + QLatin1String(n == 1 ? one : many);
}

} // namespace zampli
