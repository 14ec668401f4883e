// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/ResultsReader.h"

#include <QDateTime>
#include <QSaveFile>
#include <sqlite3.h>

namespace zampli {

namespace {

// A field as spreadsheets read it back: quoted when it holds the separator,
// a quote or a line break, its quotes doubled.
QString csvField(const QString &text)
{
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
    Statement s(db_.handle(), "SELECT a.at_ms, a.session_id, s.label, a.window, a.turn, a.asked, a.asked_as,"
                              " a.asked_style, a.word, a.chosen, a.chosen_as, a.chosen_style, a.right, a.answer_ms"
                              " FROM answers a JOIN sessions s ON s.id = a.session_id"
                              " WHERE a.at_ms >= ?1 AND a.at_ms <= ?2 AND (?3 IS NULL OR s.label = ?3)"
                              " ORDER BY a.at_ms, a.id");
    s.bind(1, f.fromMs);
    s.bind(2, f.toMs);
    s.bind(3, f.label);
    QString text = QStringLiteral("\uFEFF") + QString::fromLatin1(kHeader) + QStringLiteral("\r\n");
    int rc;
    while ((rc = s.step()) == SQLITE_ROW) {
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
    }
    if (rc != SQLITE_DONE) {
        error_ = db_.message();
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit()) {
        error_ = file.errorString();
        return false;
    }
    return true;
}

} // namespace zampli
