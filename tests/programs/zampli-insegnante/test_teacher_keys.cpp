// SPDX-License-Identifier: GPL-3.0-or-later
// The teacher's window by keyboard alone: each tab's keys after any change
// of tab, one Alt+letter for one control, Space to hear a word, F1 for the guide.
#include "SoundFiles.h"
#include "TeacherWindow.h"
#include "imports/VoiceClean.h"
#include "wordlist/WordList.h"

#include <QtTest>
#include <QtWidgets>

using namespace zampli;
using namespace zampli::teacher;

namespace {

// Three words a list, the first two with a voice.
const QStringList kVowels{"a", "e", "i", "o", "u"};
const QStringList kWords[] = {{"ape", "ago", "ala"},
                              {"erba", "elmo", "eco"},
                              {"isola", "imbuto", "iride"},
                              {"orso", "oca", "occhio"},
                              {"uva", "uovo", "uno"}};
constexpr int kWordTabs = 5, kTabs = 9;

// The key goes where a keyboard sends it: to the widget with the focus.
void press(QWidget *window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget *focus = QApplication::focusWidget();
    QTest::keyClick(focus ? focus : window, key, modifiers);
}

// The letter after a single &, lower case; none without one.
QChar mnemonic(const QString &text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != u'&')
            continue;
        if (text[i + 1] != u'&')
            return text[i + 1].toLower();
        ++i; // "&&" is a plain ampersand
    }
    return {};
}

// Records where two texts claim the same Alt+letter.
void claim(QHash<QChar, QString> &taken, const QString &text, QStringList &clashes)
{
    const QChar letter = mnemonic(text);
    if (letter.isNull())
        return;
    if (taken.contains(letter))
        clashes << QStringLiteral("Alt+%1: «%2» e «%3»").arg(letter, taken[letter], text);
    else
        taken.insert(letter, text);
}

} // namespace

// Stands for the desktop's browser: records each address it is asked to show.
class BrowserFake : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl &url) { opened << url; }
};

class TeacherKeysTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    std::unique_ptr<test::TeacherWindow> shown_;

    QString list(int vowel) const { return dir_.filePath(QStringLiteral("testi/%1.txt").arg(kVowels[vowel])); }
    QString voice(const QString &word) const { return dir_.filePath(QStringLiteral("voci/%1.wav").arg(word)); }
    QTabWidget *tabs() const { return shown_->window.tabs(); }

private slots:
    void init()
    {
        QDir(dir_.path()).removeRecursively();
        QVERIFY(QDir(dir_.path()).mkpath("testi") && QDir(dir_.path()).mkpath("voci"));
        for (int v = 0; v < kWordTabs; ++v) {
            test::writeFile(list(v), (kWords[v].join("\r\n") + "\r\n").toLatin1());
            for (const QString &w : kWords[v].mid(0, 2))
                test::writeFile(voice(w), wavBytes(Samples(kVoiceRate, 0.2f)));
        }
        shown_ = std::make_unique<test::TeacherWindow>(dir_.path());
    }
    void cleanup() { shown_.reset(); }

    // On every tab reached by the keyboard, the focus is inside it, and on
    // each list Ctrl+Down moves the selected word and Space plays its voice.
    void tabKeysWorkAfterEveryChangeOfTab_data()
    {
        QTest::addColumn<int>("way");
        QTest::newRow("Ctrl+number") << 0;
        QTest::newRow("Ctrl+PgDown") << 1;
        QTest::newRow("Ctrl+Tab") << 2;
    }
    void tabKeysWorkAfterEveryChangeOfTab()
    {
        QFETCH(int, way);
        int moves[kWordTabs] = {};
        // All the tabs in turn, and back to the first.
        for (int step = 0; step <= kTabs; ++step) {
            const int index = step % kTabs;
            if (step > 0) {
                if (way == 0)
                    press(&shown_->window, Qt::Key(Qt::Key_1 + index), Qt::ControlModifier);
                else
                    press(&shown_->window, way == 1 ? Qt::Key_PageDown : Qt::Key_Tab, Qt::ControlModifier);
            }
            QCOMPARE(tabs()->currentIndex(), index);
            QWidget *page = tabs()->currentWidget();
            QVERIFY2(page->isAncestorOf(QApplication::focusWidget()),
                     qPrintable(QStringLiteral("tab %1: the focus is on %2").arg(index).arg(
                         QApplication::focusWidget() ? QApplication::focusWidget()->metaObject()->className() : "nothing")));
            if (index >= kWordTabs)
                continue;
            shown_->player.played.clear();
            press(&shown_->window, Qt::Key_Down, Qt::ControlModifier);
            ++moves[index];
            QStringList expected = kWords[index];
            expected.move(0, moves[index]); // the first word, one place further each visit
            QCOMPARE(readWordList(test::readAll(list(index))).words, expected);
            press(&shown_->window, Qt::Key_Space);
            QCOMPARE(shown_->player.played, QStringList{voice(kWords[index][0])});
        }
    }

    // Among what can be reached at once (the menus' titles, the buttons and
    // labelled fields of the tab shown), each Alt+letter names one thing,
    // inside each menu too; and each key names one action: a key claimed
    // twice does nothing at all.
    void mnemonicsAndShortcutsAreUniqueOnEveryTab()
    {
        QStringList clashes;
        for (int index = 0; index < kTabs; ++index) {
            press(&shown_->window, Qt::Key(Qt::Key_1 + index), Qt::ControlModifier);
            QCOMPARE(tabs()->currentIndex(), index);
            QHash<QChar, QString> taken;
            for (QAction *menu : shown_->window.menuBar()->actions())
                claim(taken, menu->text(), clashes);
            for (QAbstractButton *button : shown_->window.findChildren<QAbstractButton *>())
                if (button->isVisible())
                    claim(taken, button->text(), clashes);
            for (QLabel *label : shown_->window.findChildren<QLabel *>())
                if (label->isVisible() && label->buddy())
                    claim(taken, label->text(), clashes);
            for (int t = 0; t < tabs()->count(); ++t)
                claim(taken, tabs()->tabText(t), clashes);

            QHash<QKeySequence, QString> keys;
            const auto claimKey = [&](const QKeySequence &key, const QString &what) {
                if (key.isEmpty())
                    return;
                if (keys.contains(key) && keys[key] != what)
                    clashes << QStringLiteral("%1: «%2» e «%3»").arg(key.toString(), keys[key], what);
                keys.insert(key, what);
            };
            for (QAction *action : shown_->window.findChildren<QAction *>()) {
                const QList<QObject *> where = action->associatedObjects();
                const bool reachable = std::any_of(where.cbegin(), where.cend(), [](QObject *o) {
                    auto *w = qobject_cast<QWidget *>(o);
                    return w && (w->isVisible() || qobject_cast<QMenu *>(w));
                });
                if (reachable && action->isEnabled())
                    for (const QKeySequence &key : action->shortcuts())
                        claimKey(key, action->text().isEmpty() ? action->objectName() : action->text());
            }
            for (QAbstractButton *button : shown_->window.findChildren<QAbstractButton *>())
                if (button->isVisible() && !qobject_cast<QToolButton *>(button))
                    claimKey(button->shortcut(), button->text());
        }
        for (QMenu *menu : shown_->window.menuBar()->findChildren<QMenu *>()) {
            QHash<QChar, QString> taken;
            for (QAction *item : menu->actions())
                claim(taken, item->text(), clashes);
        }
        clashes.removeDuplicates();
        QVERIFY2(clashes.isEmpty(), qPrintable(clashes.join(u'\n')));
    }

    // Space on a word without a voice plays nothing and says what to do (on
    // one with a voice, see the tabs' keys above).
    void spaceOnAWordWithoutAVoiceSaysWhatToDo()
    {
        auto *view = tabs()->currentWidget()->findChild<QTableView *>("elenco");
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(view->model()->index(2, 2)).center());
        QTest::keyClick(view, Qt::Key_Space);
        QCOMPARE(shown_->player.played, QStringList());
        const QString said = tabs()->currentWidget()->findChild<QLabel *>("messaggio")->text();
        QVERIFY2(said.contains(QStringLiteral("«ala» non ha ancora una voce")), qPrintable(said));
    }

    // F1 opens the guide from any tab, in the desktop's browser: the one
    // beside the program, which the build links to the source tree's.
    void f1OpensTheGuide()
    {
        BrowserFake browser;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &browser, "open");
        press(&shown_->window, Qt::Key_7, Qt::ControlModifier);
        // The short help, shown when no guide is found, is closed so the test goes on.
        QString helpShown;
        QMetaObject::invokeMethod(
            this,
            [&helpShown] {
                if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                    helpShown = box->windowTitle();
                    box->accept();
                }
            },
            Qt::QueuedConnection);
        press(&shown_->window, Qt::Key_F1);
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        QCOMPARE(helpShown, QString());
        QCOMPARE(browser.opened.size(), 1);
        const QString guide = qEnvironmentVariable("ZAMPLI_TEST_SOURCE_DIR") + "/docs/guida/index.html";
        QCOMPARE(QFileInfo(browser.opened.first().toLocalFile()).canonicalFilePath(),
                 QFileInfo(guide).canonicalFilePath());
    }
};

int main(int argc, char **argv)
{
    QTemporaryDir settings; // the window's settings stay out of the user's own
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(settings.path()));
    QApplication app(argc, argv);
    TeacherKeysTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_teacher_keys.moc"
