// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/ResultsReader.h"

#include "media/WholeFile.h"
#include "results/ResultsQuery.h"

#include <QDateTime>

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

// A field as spreadsheets read it back: quoted when it holds the separator,
// a quote or a line break, its quotes doubled. A name the adult typed that
// begins like a formula, blanks aside (spreadsheets skip them), is kept as
// text, never run.
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

QString styleText(qint64 style)
{
    return style > 0 ? QString::number(style) : QString();
}

const char *const kHeader = "Data;Ora;Sessione;Nome;Finestra;Turno;Chiesto;Chiesto come;Stile chiesto;Parola;"
                            "Scelto;Scelto come;Stile scelto;Esito;Tempo di risposta (ms)";

} // namespace

bool ResultsReader::exportCsv(const QString &path, const ResultsFilter &f)
{
    // The name is the child's, else the label given to the session.
    Statement s(db_.handle(), "SELECT a.at_ms, a.session_id,"
                              " coalesce((SELECT name FROM children WHERE id = s.child_id), s.label),"
                              " a.window, a.turn, a.asked, a.asked_as, a.asked_style, a.word, a.chosen, a.chosen_as, a.chosen_style, a.right, a.answer_ms"
                              FILTERED_ANSWERS " ORDER BY a.at_ms, a.id");
    bindFilter(s, f);
    QString text = QStringLiteral("\uFEFF") + QString::fromLatin1(kHeader) + QStringLiteral("\r\n");
    const int rc = forEachRow(s, [&] {
        const QDateTime at = QDateTime::fromMSecsSinceEpoch(s.integer(0)).toLocalTime();
        const QStringList fields = {
            at.toString(QStringLiteral("dd/MM/yyyy")), at.toString(QStringLiteral("HH:mm:ss")),
            QString::number(s.integer(1)), s.text(2), s.text(3), QString::number(s.integer(4)), s.text(5), s.text(6),
            styleText(s.integer(7)), s.text(8), s.text(9), s.text(10), styleText(s.integer(11)),
            s.integer(12) ? QStringLiteral("giusto") : QStringLiteral("sbagliato"), QString::number(s.integer(13))};
        QStringList quoted;
        for (const QString &field : fields)
            quoted << csvField(field);
        text += quoted.join(QLatin1Char(';')) + QStringLiteral("\r\n");
    });
    // Half the answers written as if they were all would mislead: nothing is written.
    if (failedWith(rc))
        return false;
    return writeWhole(path, text.toUtf8());
}

bool ResultsReader::writeWhole(const QString &path, const QByteArray &bytes)
{
    const WholeWrite write = zampli::writeWhole(path, bytes);
    if (write.creating)
        error_ = QStringLiteral("impossibile creare %1 (%2): scegli un'altra cartella").arg(path, write.reason);
    else if (!write.ok())
        error_ = QStringLiteral("%1 non è stato scritto (%2): libera spazio sul disco o scegli un'altra cartella")
                     .arg(path, write.reason);
    return write.ok();
}

} // namespace zampli
