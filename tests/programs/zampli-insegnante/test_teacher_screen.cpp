// SPDX-License-Identifier: GPL-3.0-or-later
// The teacher's window read whole: at its first size, 960 by 720, the
// Risultati tab shows every button, label and field with its text whole,
// with no answers and with a class of named children; and what a screen
// reader says of it: every button and every menu item of the window and of
// each of its tabs has a name of words, without the & of its Alt+letter and
// not a bare arrow or symbol.
#include "CopyFiles.h"
#include "ResultsPlant.h"
#include "ResultsSample.h"
#include "TeacherWindow.h"
#include "results/Schema.h"

#include <QAccessible>
#include <QtTest>
#include <QtWidgets>

using namespace zampli;

namespace {

// A name is words: two letters in a row at least, no mnemonic's &.
bool sayable(const QString &name)
{
    static const QRegularExpression word(QStringLiteral("\\p{L}{2,}"));
    return word.match(name).hasMatch() && !name.contains(u'&');
}

QString describe(const QObject *object, const QString &text)
{
    return QStringLiteral("%1 «%2» (%3)").arg(QString::fromLatin1(object->metaObject()->className()), text,
                                             object->objectName());
}

// The widgets of `area` the screen cuts: a button or a one-line label
// narrower than its text, a field narrower than the words it shows when
// empty, anything past the window's edge.
QStringList cutIn(const QWidget *window, const QWidget *area)
{
    QStringList cut;
    for (const QWidget *w : area->findChildren<QWidget *>()) {
        if (!w->isVisible() || qobject_cast<const QAbstractScrollArea *>(w->parentWidget()->parentWidget()))
            continue; // what scrolls inside a table or a list is not cut, only out of view
        const QRect at(w->mapTo(window, QPoint(0, 0)), w->size());
        if (!window->rect().contains(at))
            cut << describe(w, QStringLiteral("fuori dalla finestra"));
        if (const auto *button = qobject_cast<const QPushButton *>(w); button && w->width() < w->sizeHint().width())
            cut << describe(w, button->text());
        if (const auto *label = qobject_cast<const QLabel *>(w);
            label && !label->wordWrap() && label->pixmap().isNull() && w->width() < w->sizeHint().width())
            cut << describe(w, label->text());
        if (const auto *field = qobject_cast<const QLineEdit *>(w); field && !field->placeholderText().isEmpty()
            && w->width() < field->fontMetrics().horizontalAdvance(field->placeholderText()) + 12)
            cut << describe(w, field->placeholderText());
    }
    return cut;
}

} // namespace

class TeacherScreenTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_, state_;

    QString copy() const { return dir_.filePath("Classe 2"); }

private slots:
    void initTestCase()
    {
        qputenv("XDG_STATE_HOME", QFile::encodeName(state_.path()));
        for (const char *vowel : {"a", "e", "i", "o", "u"})
            writeFile(copy() + QStringLiteral("/testi/%1.txt").arg(vowel), "");
        writeFile(copy() + "/testi/a.txt", "ape\r\nago\r\n");
    }

    void risultatiIsWholeAt960By720_data()
    {
        QTest::addColumn<bool>("answers");
        QTest::newRow("no answers") << false;
        QTest::newRow("a class") << true;
    }
    void risultatiIsWholeAt960By720()
    {
        QFETCH(bool, answers);
        const QString db = resultsDatabasePath(resultsFolder(), copy());
        QFile::remove(db);
        if (answers) {
            test::writeSample(db, copy());
            QVERIFY(test::plant(db, "INSERT INTO children(id, name, created_ms) VALUES (1, 'Maria Margherita', 0), "
                                "(2, 'Giovanni Battista', 0); UPDATE sessions SET child_id = 1 + id % 2;"));
        }
        test::TeacherWindow w(copy());
        QVERIFY(w.clickTab(QStringLiteral("Risultati")));
        QWidget *tab = w.window.tabs()->currentWidget();
        auto *sessions = tab->findChild<QTableView *>(QStringLiteral("sessioni"));
        QTRY_COMPARE(sessions->model()->rowCount(), answers ? 3 : 0);
        // The window's first size, which the tab's widest row must not push out.
        w.window.resize(960, 720);
        QTRY_COMPARE(w.window.size(), QSize(960, 720));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        const QStringList cut = cutIn(&w.window, tab);
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(u'\n')));
    }

    void everyButtonAndMenuItemHasAName()
    {
        test::TeacherWindow w(copy());
        QStringList nameless;
        int buttons = 0, items = 0;
        // Each tab in turn, as the teacher goes through them: the buttons she can see there.
        QTabWidget *tabs = w.window.tabs();
        for (int i = 0; i < tabs->count(); ++i) {
            QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(i).center());
            QTRY_COMPARE(tabs->currentIndex(), i);
            for (QAbstractButton *button : w.window.findChildren<QAbstractButton *>()) {
                if (!button->isVisible())
                    continue;
                QAccessibleInterface *said = QAccessible::queryAccessibleInterface(button);
                const QString name = said ? said->text(QAccessible::Name) : QString();
                if (!sayable(name))
                    nameless << describe(button, name);
                ++buttons;
            }
        }
        for (QMenu *menu : w.window.findChildren<QMenu *>()) {
            QAccessibleInterface *said = QAccessible::queryAccessibleInterface(menu);
            for (int i = 0; said && i < said->childCount(); ++i) {
                QAccessibleInterface *item = said->child(i);
                if (item->role() == QAccessible::Separator)
                    continue;
                const QString name = item->text(QAccessible::Name);
                if (!sayable(name))
                    nameless << describe(menu, name);
                ++items;
            }
        }
        QVERIFY2(buttons > 20 && items > 10, qPrintable(QStringLiteral("%1 pulsanti, %2 voci").arg(buttons).arg(items)));
        QVERIFY2(nameless.isEmpty(), qPrintable(nameless.join(u'\n')));
    }
};

QTEST_MAIN(TeacherScreenTest)
#include "test_teacher_screen.moc"
