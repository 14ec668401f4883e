// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ModalWindows.h"
#include "PushButtons.h"
#include "TeacherTabs.h"
#include "tabs/results/ResultsTab.h"

#include <QtTest>
#include <QtWidgets>
#include <memory>

namespace zampli::test {

// Presses `text` in the next box, keeping what the box said in `said`.
inline void pressInBox(const QString &text, QString *said = nullptr)
{
    whenModalShows<QMessageBox>([text, said](QMessageBox *box) {
        if (said)
            *said = box->text();
        QTest::mouseClick(buttonSaying(box, text), Qt::LeftButton);
    });
}

// The rows of a table as the teacher reads them, their first `columns`
// cells (all when negative) joined by `between`.
inline QStringList rowTexts(const QAbstractItemModel *m, QChar between, int columns = -1)
{
    QStringList out;
    for (int r = 0; r < m->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < (columns < 0 ? m->columnCount() : columns); ++c)
            cells << m->index(r, c).data().toString();
        out << cells.join(between);
    }
    return out;
}

// The items of `box`, top to bottom.
inline QStringList itemTexts(const QComboBox *box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

// The Risultati tab, reached as the teacher reaches it: its parts by their
// names, its buttons clicked.
struct ResultsTabDriver {
    std::unique_ptr<teacher::ResultsTab> tab_;

    template <class W>
    W *widget(const char *name)
    {
        W *w = tab_->findChild<W *>(QLatin1String(name));
        if (!w)
            qFatal("no widget %s", name);
        return w;
    }
    void click(const char *name) { QTest::mouseClick(widget<QPushButton>(name), Qt::LeftButton); }
    QString said() { return widget<QLabel>("messaggio")->text(); }
    // Shows the Classe view and clicks there the first of `rows` that begins
    // with `row`, twice when `twice`.
    void clickClassRow(const QStringList &rows, const QString &row, bool twice)
    {
        QVERIFY(clickTab(widget<QTabWidget>("viste"), QStringLiteral("Classe")));
        auto *table = widget<QTableView>("classe");
        const int at = int(rows.indexOf(QRegularExpression(QRegularExpression::escape(row) + ".*")));
        QVERIFY2(at >= 0, qPrintable(row));
        QTRY_VERIFY(table->isVisible() && table->visualRect(table->model()->index(at, 0)).isValid());
        const QPoint middle = table->visualRect(table->model()->index(at, 0)).center();
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, middle);
        if (twice) // the press that makes the click before a double one
            QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, middle);
    }
};

} // namespace zampli::test
