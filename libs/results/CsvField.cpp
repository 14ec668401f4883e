// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/CsvField.h"

#include <algorithm>

namespace zampli {

namespace {

// The marks that turn the order of text around: in a name they could make a
// cell read as another (a reversed "=" after harmless letters).
bool bidiControl(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069) || u == 0x200E || u == 0x200F ||
           u == 0x061C;
}

} // namespace

QString csvField(const QString &typed)
{
    static const QString kFormulaStarts = QStringLiteral("=+-@");
    QString text;
    text.reserve(typed.size());
    for (const QChar c : typed)
        if (!bidiControl(c))
            text += c;
    const auto first = std::find_if(text.cbegin(), text.cend(), [](QChar c) { return !c.isSpace(); });
    const bool controlFirst = text.startsWith(QLatin1Char('\t')) || text.startsWith(QLatin1Char('\r'));
    if (controlFirst || (first != text.cend() && kFormulaStarts.contains(*first)))
        text.prepend(QLatin1Char('\''));
    if (!text.contains(QLatin1Char(';')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n')) &&
        !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString csvStyle(qint64 style)
{
    return style > 0 ? QString::number(style) : QString();
}

} // namespace zampli
