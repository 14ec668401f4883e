// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/ClassReader.h"
#include "results/ResultsEditor.h"
#include "tabs/results/ResultsLoader.h"
#include "tabs/results/ResultsNames.h"

#include <QDateTime>
#include <QFileInfo>
#include <QMap>
#include <QMutexLocker>
#include <tuple>

namespace zampli::teacher {

void foldTallies(ResultsSnapshot &s, const QList<SessionVowel> &tallies)
{
    // A session begun before the first day of the filter counts on that day:
    // the trend's days are the filter's.
    const QDate firstDay = QDateTime::fromMSecsSinceEpoch(s.filter.fromMs).date();
    QHash<qint64, QDate> dayOf;
    for (const SessionSummary &session : std::as_const(s.sessions))
        dayOf.insert(session.id, std::max(firstDay, QDateTime::fromMSecsSinceEpoch(session.startedMs).date()));
    QMap<QDate, std::array<Score, 5>> perDay;
    s.scores = {};
    for (const SessionVowel &t : tallies) {
        if (!dayOf.contains(t.session))
            continue; // a session written after the list was read: the next reading has both
        s.scores[t.vowel].right += t.right;
        s.scores[t.vowel].wrong += t.wrong;
        Score &day = perDay[dayOf.value(t.session)][t.vowel];
        day.right += t.right;
        day.wrong += t.wrong;
    }
    s.days.clear();
    for (auto d = perDay.cbegin(); d != perDay.cend(); ++d) {
        DayShare share{d.key(), {}, {}};
        for (int v = 0; v < 5; ++v) {
            const int all = d.value()[v].right + d.value()[v].wrong;
            share.answers[v] = all;
            share.share[v] = all ? double(d.value()[v].right) / all : -1;
        }
        s.days << share;
    }
}

// Lives on the loader's thread; the only user of its reader.
class ResultsWorker : public QObject {
public:
    ResultsWorker(ResultsLoader &loader, QString database) : loader_(loader), database_(std::move(database)) {}

    // Reads the latest request, unless it was answered already and `force` is false.
    void run(bool force)
    {
        const quint64 generation = loader_.latest_.load();
        if (generation == done_ && !force)
            return;
        ResultsFilter filter;
        {
            QMutexLocker lock(&loader_.mutex_);
            filter = loader_.pending_;
        }
        ResultsSnapshot s;
        s.generation = generation;
        s.filter = filter;
        const bool opened = open(s);
        if (opened)
            read(s, generation);
        if (loader_.latest_.load() != generation)
            return; // stopped or overtaken: the newer request follows
        done_ = generation;
        loader_.deliver(s);
        // The class's table spans every child: slower, and not what the
        // teacher waits for after a change of filter, so it follows apart.
        if (opened && readClass(s, generation))
            loader_.deliver(s);
    }

    // Cheap enough for a poll: a look at the folder and one pragma.
    void check()
    {
        const bool exists = QFileInfo::exists(database_);
        if (exists && !reader_ && exists_) {
            ResultsSnapshot quiet; // unreadable so far: told once, tried again in silence
            if (!open(quiet))
                return;
        }
        if (exists != exists_ || (reader_ && (reader_->fileMoved() || reader_->dataVersion() != version_)))
            run(true);
    }

private:
    // The same filter on an unchanged file is answered from the last reading.
    bool readClass(ResultsSnapshot &s, quint64 generation)
    {
        const auto stale = [this, generation] { return loader_.latest_.load() != generation; };
        const ClassKey key{s.filter.fromMs, s.filter.toMs, s.filter.childId, s.filter.label,
                           s.filter.kind ? kindKey(*s.filter.kind) : QString(), version_};
        if (key != classKey_) {
            reader_->setStopCheck(stale);
            overview_ = ClassReader(*reader_).classOverview(s.filter);
            practise_ = stale() ? QList<PractiseNext>{} : ClassReader(*reader_).practiseNext(s.filter);
            reader_->setStopCheck({});
            if (stale())
                return false;
            classKey_ = key;
        }
        s.overview = overview_;
        s.practise = practise_;
        s.classRead = true;
        return true;
    }

    bool open(ResultsSnapshot &s)
    {
        if (reader_ && reader_->fileMoved())
            reader_.reset(); // a file set aside: the one now at the path is read instead
        exists_ = QFileInfo::exists(database_);
        if (!exists_) {
            reader_.reset();
            s.state = ResultsSnapshot::State::NoFile;
            return false;
        }
        if (!reader_) {
            auto reader = std::make_unique<ResultsReader>();
            if (!reader->open(database_)) {
                s.state = ResultsSnapshot::State::Unreadable;
                s.problem = reader->error();
                return false;
            }
            // Once opened, so brought up to date: answers an older program
            // wrote are counted in the summaries once. Until then, or if the
            // file cannot take them now, every view reads the answers themselves.
            ResultsReader::summarise(database_, [this](qint64 done, qint64 all) {
                const int percent = all > 0 ? int(done * 100 / all) : 0;
                QMetaObject::invokeMethod(
                    &loader_, [l = &loader_, percent] { emit l->summarising(percent); }, Qt::QueuedConnection);
            });
            reader_ = std::move(reader);
            version_ = -1; // a new connection counts its own versions
            classKey_ = {-1, -1, -1, {}, {}, -1};
        }
        s.state = ResultsSnapshot::State::Read;
        return true;
    }

    void read(ResultsSnapshot &s, quint64 generation)
    {
        const auto stale = [this, generation] { return loader_.latest_.load() != generation; };
        reader_->setStopCheck(stale);
        version_ = reader_->dataVersion();
        s.labels = reader_->labels();
        s.firstAnswerMs = reader_->firstAnswerMs();
        s.sessions = reader_->sessions(s.filter);
        if (!stale())
            s.kinds = reader_->confusionByKind(s.filter);
        if (!stale())
            foldTallies(s, reader_->vowelsBySession(s.filter));
        if (!stale())
            s.words = reader_->mostMissedWords(10, s.filter);
        s.children = reader_->children();
        s.unnamedAnswers = reader_->unnamedAnswers();
        s.nowPlaying = ClassReader(*reader_).nowPlaying();
        s.problems = reader_->problems(true);
        s.damagedCopies = ResultsEditor::damagedCopies(database_);
        reader_->setStopCheck({});
    }

    ResultsLoader &loader_;
    QString database_;
    std::unique_ptr<ResultsReader> reader_;
    quint64 done_ = 0;
    qint64 version_ = -1;
    // from, to, child, label, kind, the file's version
    using ClassKey = std::tuple<qint64, qint64, qint64, QString, QString, qint64>;
    ClassKey classKey_{-1, -1, -1, {}, {}, -1};
    QList<ChildOverview> overview_;
    QList<PractiseNext> practise_;
    bool exists_ = false;
};

ResultsLoader::ResultsLoader(const QString &database, QObject *parent) : QObject(parent)
{
    worker_ = new ResultsWorker(*this, database);
    worker_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, worker_, &QObject::deleteLater);
    thread_.setObjectName(QStringLiteral("risultati"));
    thread_.start(QThread::LowPriority);
}

ResultsLoader::~ResultsLoader()
{
    ++latest_; // stops a query under way
    thread_.quit();
    thread_.wait();
}

void ResultsLoader::load(const ResultsFilter &f)
{
    {
        QMutexLocker lock(&mutex_);
        pending_ = f;
    }
    ++latest_;
    QMetaObject::invokeMethod(worker_, [w = worker_] { w->run(false); }, Qt::QueuedConnection);
}

void ResultsLoader::check()
{
    QMetaObject::invokeMethod(worker_, [w = worker_] { w->check(); }, Qt::QueuedConnection);
}

void ResultsLoader::deliver(const ResultsSnapshot &s)
{
    // Queued to the window's thread; dropped there if a newer request came meanwhile.
    QMetaObject::invokeMethod(
        this, [this, s] {
            if (s.generation == latest_.load())
                emit loaded(s);
        },
        Qt::QueuedConnection);
}

} // namespace zampli::teacher
