// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/AnswerRecord.h"

namespace zampli {

QString shownName(Shown s)
{
    switch (s) {
    case Shown::Voice: return QStringLiteral("voce");
    case Shown::Letter: return QStringLiteral("lettera");
    case Shown::Face: return QStringLiteral("faccia");
    case Shown::Word: return QStringLiteral("parola");
    case Shown::Tile: return QStringLiteral("tessera");
    }
    return {};
}

} // namespace zampli
