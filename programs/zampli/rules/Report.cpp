// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/Report.h"

namespace zampli {

QString numberText(int v)
{
    return v < 0 ? QString::number(v) : QLatin1Char(' ') + QString::number(v);
}

QString exerciseReport(CounterVariant variant, int done, int wrong)
{
    const QString text = QStringLiteral("Sono stati eseguiti ") + numberText(done);
    if (variant == CounterVariant::A)
        return text + QStringLiteral(" esercizi.");
    return text + QStringLiteral(" esercizi esatti e ") + numberText(wrong) + QStringLiteral(" esercizi errati. ");
}

} // namespace zampli
