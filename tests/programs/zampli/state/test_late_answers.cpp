// SPDX-License-Identifier: GPL-3.0-or-later
// The child's answers reach the writer whole and in order, however late the
// answers' module comes, and the module beside the program keeps them.
#include "ResultsRows.h"
#include "app/AnswersModule.h"
#include "media/ProblemLog.h"
#include "state/LateAnswerLog.h"

#include <QMutex>
#include <QTemporaryDir>
#include <QtTest>

using namespace zampli;

namespace {

AnswerRecord answer(int turn, const char *chosen)
{
    AnswerRecord a;
    a.atMs = 1765000000000 + turn * 1000;
    a.window = QStringLiteral("FormZampli3");
    a.turn = turn;
    a.asked = QStringLiteral("A");
    a.chosen = QString::fromLatin1(chosen);
    a.right = a.asked == a.chosen;
    a.answerMs = 900;
    return a;
}

// What reached the writer, a line each: "sessione 1000", "3 I".
struct Seen final : AnswerWriter {
    explicit Seen(QStringList &into) : lines(into) {}
    void sessionStarted(qint64 atMs) override { lines << QStringLiteral("sessione %1").arg(atMs); }
    void record(const AnswerRecord &a) override { lines << QStringLiteral("%1 %2").arg(a.turn).arg(a.chosen); }
    QStringList &lines;
};

} // namespace

class LateAnswersTest : public QObject {
    Q_OBJECT

    QStringList seen_;
    int made_ = 0;
    qint64 now_ = 0;
    QMutex mutex_; // the module's writer tells from its own thread
    QStringList told_;
    ProblemLog log_{[this](const QString &line) { const QMutexLocker lock(&mutex_); told_ << line; }};

    LateAnswerLog::Make seeing()
    {
        return [this] {
            ++made_;
            return std::make_unique<Seen>(seen_);
        };
    }
    LateAnswerLog::Now clock()
    {
        return [this] { return now_; };
    }

private slots:
    void init()
    {
        seen_.clear();
        made_ = 0;
        told_.clear();
    }

    void whatCameBeforeTheWriterReachesItInOrder()
    {
        LateAnswerLog log(seeing(), clock());
        now_ = 1000;
        log.sessionStarted();
        now_ = 2000;
        log.record(answer(1, "A"));
        log.record(answer(2, "E"));
        log.sessionStarted();
        log.record(answer(3, "I"));
        QCOMPARE(made_, 0);
        QCOMPARE(seen_, QStringList());

        // Dated when each session began, not when the writer came.
        now_ = 9000;
        log.start();
        QCOMPARE(made_, 1);
        QCOMPARE(seen_, (QStringList{"sessione 1000", "1 A", "2 E", "sessione 2000", "3 I"}));

        log.record(answer(4, "O"));
        log.sessionStarted();
        log.start();
        QCOMPARE(made_, 1);
        QCOMPARE(seen_.mid(5), (QStringList{"4 O", "sessione 9000"}));
    }

    // The program ended before its first window was painted.
    void aRunTooShortForTheWriterStillHandsItsAnswersOver()
    {
        {
            LateAnswerLog log(seeing(), clock());
            now_ = 4000;
            log.sessionStarted();
            log.record(answer(1, "U"));
        }
        QCOMPARE(made_, 1);
        QCOMPARE(seen_, (QStringList{"sessione 4000", "1 U"}));
    }

    void theModuleKeepsEverySessionAndAnswerInOrder()
    {
        QTemporaryDir state, folder;
        qputenv("XDG_STATE_HOME", QFile::encodeName(state.path()));
        {
            LateAnswerLog log(
                [&] { return loadAnswerWriter(QCoreApplication::applicationDirPath(), folder.path(), log_); },
                clock());
            now_ = 1765000000000;
            log.sessionStarted();
            log.record(answer(1, "A"));
            log.record(answer(2, "E"));
            log.start();
            log.record(answer(3, "I"));
        }
        QCOMPARE(told_, QStringList());
        const QStringList files = QDir(state.path() + "/zampli").entryList({"*.sqlite"}, QDir::Files);
        QCOMPARE(files.size(), 1);
        const QString db = state.path() + "/zampli/" + files[0];
        QCOMPARE(test::queryRows(db, "SELECT started_ms FROM sessions"), QStringLiteral("1765000000000"));
        QCOMPARE(test::queryRows(db, "SELECT turn, chosen, at_ms FROM answers ORDER BY id"),
                 QStringLiteral("1|A|1765000001000 / 2|E|1765000002000 / 3|I|1765000003000"));
    }
};

QTEST_GUILESS_MAIN(LateAnswersTest)
#include "test_late_answers.moc"
