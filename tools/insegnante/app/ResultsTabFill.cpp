// SPDX-License-Identifier: GPL-3.0-or-later
// The Risultati tab read from the file: filters, the table and the pictures.
#include "ResultsPictures.h"
#include "ResultsTab.h"
#include "results/ResultsEditor.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDateTime>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>

namespace zampli::teacher {

namespace {

ConfusionKind kindAt(int index)
{
    if (index <= 0)
        return {ConfusionKind::Hearing, 0};
    if (index == 1)
        return {ConfusionKind::Faces, 0};
    return {ConfusionKind::Letters, index - 1};
}

QString timeOf(qint64 ms)
{
    return QDateTime::fromMSecsSinceEpoch(ms).toString(QStringLiteral("HH:mm"));
}

QTableWidgetItem *cell(const QString &text, qint64 session)
{
    auto *item = new QTableWidgetItem(text);
    item->setData(Qt::UserRole, session);
    return item;
}

} // namespace

ResultsFilter ResultsTab::filter() const
{
    ResultsFilter f;
    f.fromMs = from_->date().startOfDay().toMSecsSinceEpoch();
    f.toMs = to_->date().addDays(1).startOfDay().toMSecsSinceEpoch() - 1;
    f.label = child_->currentData().toString(); // null for every child
    return f;
}

QString ResultsTab::filterText() const
{
    const QString who = child_->currentIndex() > 0 ? child_->currentText() : QStringLiteral("tutti i bambini");
    return QStringLiteral("%1, dal %2 al %3")
        .arg(who, from_->date().toString(QStringLiteral("d/M/yyyy")), to_->date().toString(QStringLiteral("d/M/yyyy")));
}

void ResultsTab::refresh()
{
    ResultsReader reader;
    if (!QFileInfo::exists(database_) || !reader.open(database_)) {
        message_->setText(QFileInfo::exists(database_)
                              ? QStringLiteral("Non riesco a leggere i risultati (%1): chiudi ZAMPLI e riprova.")
                                    .arg(reader.error())
                              : QStringLiteral("Nessun risultato ancora: i risultati compaiono qui dopo che un "
                                               "bambino ha giocato con questa copia di ZAMPLI."));
        // An unopened reader answers every question with nothing: the views empty.
    } else {
        message_->clear();
    }
    filling_ = true;
    fillChildren();
    if (from_->date() == QDate(2000, 1, 1)) { // first reading: from the first session on
        const QList<SessionSummary> all = reader.sessions();
        from_->setDate(all.isEmpty() ? QDate::currentDate().addDays(-30)
                                     : QDateTime::fromMSecsSinceEpoch(all.first().startedMs).date());
    }
    filling_ = false;
    fillSessions(reader);
    fillPictures(reader);
}

void ResultsTab::fillChildren()
{
    const QString chosen = child_->currentData().toString();
    ResultsEditor editor;
    const QStringList names = editor.open(database_) ? editor.labels() : QStringList();
    child_->clear();
    child_->addItem(QStringLiteral("Tutti"), QString());
    for (const QString &n : names)
        child_->addItem(n, n);
    const int at = child_->findData(chosen);
    child_->setCurrentIndex(chosen.isNull() || at < 0 ? 0 : at);
    eraseMany_->setText(child_->currentIndex() > 0
                            ? QStringLiteral("Cancella tutto di %1…").arg(child_->currentText())
                            : QStringLiteral("Cancella tutto…"));
}

void ResultsTab::fillSessions(ResultsReader &reader)
{
    const QList<SessionSummary> rows = reader.sessions(filter());
    sessions_->setRowCount(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        const SessionSummary &s = rows[r];
        const QDate day = QDateTime::fromMSecsSinceEpoch(s.startedMs).date();
        const QStringList texts{QLocale(QLocale::Italian).toString(day, QStringLiteral("ddd d/M/yyyy")),
                                timeOf(s.startedMs), timeOf(s.endedMs), QString::number(s.right),
                                QString::number(s.wrong), s.label, s.windows.join(QStringLiteral(", "))};
        for (int c = 0; c < texts.size(); ++c)
            sessions_->setItem(r, c, cell(texts[c], s.id));
    }
    sessions_->resizeColumnsToContents();
}

void ResultsTab::fillPictures(ResultsReader &reader)
{
    const ResultsFilter f = filter();
    scores_ = reader.perVowel(f);
    matrix_ = reader.confusion(kindAt(matrixKind_->currentIndex()), f);
    days_ = reader.dailyShare(f);
    words_ = reader.mostMissedWords(10, f);
    missed_->clear();
    for (const MissedWord &w : std::as_const(words_))
        missed_->addItem(missedText(w));
    const QString title = QStringLiteral("Chiesta × scelta: %1").arg(matrixKind_->currentText());
    bars_->setDraw([this](QPainter &p, const QRectF &r) { drawVowelBars(p, r, scores_); });
    matrixView_->setDraw([this, title](QPainter &p, const QRectF &r) { drawConfusion(p, r, matrix_, title); });
    lines_->setDraw([this](QPainter &p, const QRectF &r) { drawDailyLines(p, r, days_); });
}

} // namespace zampli::teacher
