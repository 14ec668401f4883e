// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/SummaryViews.h"

#include <QDateTime>
#include <algorithm>
#include <limits>
#include <map>
#include <tuple>

namespace zampli {

namespace {

// The style a kind is told apart by, as RESULTS_KIND_FILTER takes it.
int styleOf(const SummaryKind &k)
{
    return k.askedAs == QLatin1String("lettera")    ? k.askedStyle
           : k.chosenAs == QLatin1String("lettera") ? k.chosenStyle
                                                    : 0;
}

// SQLite orders text by its UTF-8 bytes.
bool textBefore(const QString &a, const QString &b)
{
    return a.toUtf8() < b.toUtf8();
}

int answersTo(const SummaryCounts &c, int asked)
{
    int n = 0;
    for (const int k : c.cells[asked])
        n += k;
    return n;
}

} // namespace

SummaryViews::SummaryViews(const SummaryData &d, const ResultsFilter &f) : d_(d), f_(f)
{
    // No bound at either end holds every answer the summaries keep: none is before 1970.
    if (f.fromMs != 0) {
        const QDate day = QDateTime::fromMSecsSinceEpoch(f.fromMs).date();
        fromDay_ = int(day.toJulianDay());
        wholeDays_ = day.startOfDay().toMSecsSinceEpoch() == f.fromMs;
    }
    if (f.toMs != std::numeric_limits<qint64>::max()) {
        const QDate day = QDateTime::fromMSecsSinceEpoch(f.toMs).date();
        toDay_ = int(day.toJulianDay());
        wholeDays_ = wholeDays_ && day.addDays(1).startOfDay().toMSecsSinceEpoch() == f.toMs + 1;
    }
}

const SummarySession *SummaryViews::session(qint64 id) const
{
    const auto at = d_.sessions.find(id);
    return at == d_.sessions.end() ? nullptr : &*at;
}

bool SummaryViews::keeps(const SummarySession &s) const
{
    const bool label = f_.label.isNull() || (!s.label.isNull() && s.label == f_.label);
    const bool child = f_.childId == ResultsFilter::kAnyChild || (s.named && s.child == f_.childId) ||
                       (f_.childId == ResultsFilter::kNoChild && !s.named);
    return label && child;
}

bool SummaryViews::kindKept(int kind) const
{
    if (!f_.kind)
        return true;
    const SummaryKind &k = d_.kinds[kind];
    return k.askedAs == f_.kind->askedAs && k.chosenAs == f_.kind->chosenAs && styleOf(k) == f_.kind->style;
}

template <class F>
void SummaryViews::eachRow(F &&f) const
{
    for (const SummaryRow &r : d_.rows) {
        if (!dayKept(r.day) || !kindKept(r.kind))
            continue;
        const SummarySession *s = session(r.session);
        if (s && keeps(*s))
            f(r, *s);
    }
}

QList<SessionSummary> SummaryViews::sessions(const QHash<qint64, QString> &childNames) const
{
    // Every answer of a session counts, whatever the days: the days choose the sessions.
    QHash<qint64, Score> tally;
    for (const SummaryRow &r : d_.rows) {
        if (!kindKept(r.kind))
            continue;
        Score &t = tally[r.session];
        for (int a = 0; a < 5; ++a) {
            t.right += r.counts.right[a];
            t.wrong += answersTo(r.counts, a) - r.counts.right[a];
        }
    }
    QList<SessionSummary> out;
    for (auto s = d_.sessions.cbegin(); s != d_.sessions.cend(); ++s) {
        const auto t = tally.constFind(s.key());
        if (t == tally.cend() || s->endedMs < f_.fromMs || s->startedMs > f_.toMs || !keeps(*s))
            continue;
        out << SessionSummary{s.key(), s->startedMs, s->endedMs, s->label, s->named ? s->child : 0,
                              s->named ? childNames.value(s->child) : QString(),
                              s->windows.join(QLatin1Char(' ')).split(QLatin1Char(' '), Qt::SkipEmptyParts),
                              t->right, t->wrong};
    }
    std::sort(out.begin(), out.end(), [](const SessionSummary &a, const SessionSummary &b) {
        return std::tie(a.startedMs, a.id) < std::tie(b.startedMs, b.id);
    });
    return out;
}

QList<MissedWord> SummaryViews::mostMissedWords(int limit) const
{
    QHash<QString, MissedWord> byWord;
    for (const SummaryWord &w : d_.words) {
        if (!dayKept(w.day) || !kindKept(w.kind))
            continue;
        const SummarySession *s = session(w.session);
        if (!s || !keeps(*s))
            continue;
        MissedWord &m = byWord[w.word];
        m.word = w.word;
        m.wrong += w.wrong;
        m.asked += w.asked;
    }
    QList<MissedWord> out;
    for (const MissedWord &m : std::as_const(byWord))
        if (m.wrong > 0)
            out << m;
    std::sort(out.begin(), out.end(), [](const MissedWord &a, const MissedWord &b) {
        return a.wrong != b.wrong ? a.wrong > b.wrong : textBefore(a.word, b.word);
    });
    if (limit >= 0 && out.size() > limit)
        out.resize(limit);
    return out;
}

QList<KindConfusion> SummaryViews::confusionByKind() const
{
    // The filter's kind aside; answers of no session count when every session does.
    const bool everySession = f_.label.isNull() && f_.childId == ResultsFilter::kAnyChild;
    QList<KindConfusion> out;
    for (const SummaryRow &r : d_.rows) {
        if (!dayKept(r.day))
            continue;
        const SummarySession *s = session(r.session);
        if (!everySession && (!s || !keeps(*s)))
            continue;
        const SummaryKind &k = d_.kinds[r.kind];
        const QuestionKind kind{k.askedAs, k.chosenAs, styleOf(k)};
        auto at = std::find_if(out.begin(), out.end(), [&](const KindConfusion &c) { return c.kind == kind; });
        if (at == out.end())
            at = out.insert(out.end(), KindConfusion{kind, {}});
        for (int a = 0; a < 5; ++a)
            for (int c = 0; c < 5; ++c)
                at->counts[a][c] += r.counts.cells[a][c];
    }
    std::sort(out.begin(), out.end(), [](const KindConfusion &x, const KindConfusion &y) {
        return std::tie(x.kind.askedAs, x.kind.chosenAs, x.kind.style) <
               std::tie(y.kind.askedAs, y.kind.chosenAs, y.kind.style);
    });
    return out;
}

QList<SessionVowel> SummaryViews::vowelsBySession() const
{
    std::map<std::pair<qint64, int>, Score> tally;
    eachRow([&](const SummaryRow &r, const SummarySession &s) {
        if (s.endedMs < f_.fromMs || s.startedMs > f_.toMs)
            return;
        for (int a = 0; a < 5; ++a) {
            const int all = answersTo(r.counts, a);
            if (all == 0)
                continue;
            Score &t = tally[{r.session, a}];
            t.right += r.counts.right[a];
            t.wrong += all - r.counts.right[a];
        }
    });
    QList<SessionVowel> out;
    for (const auto &[key, score] : tally)
        out << SessionVowel{key.first, key.second, score.right, score.wrong};
    return out;
}

QHash<qint64, ChildOverview> SummaryViews::classOverview() const
{
    QHash<qint64, ChildOverview> seen;
    eachRow([&](const SummaryRow &r, const SummarySession &s) {
        ChildOverview &row = seen[s.named ? s.child : 0];
        for (int a = 0; a < 5; ++a) {
            row.vowels[a].right += r.counts.right[a];
            row.vowels[a].wrong += answersTo(r.counts, a) - r.counts.right[a];
        }
        row.lastDay = qMax(row.lastDay, QDate::fromJulianDay(r.day));
    });
    return seen;
}

QHash<qint64, QList<Confusion>> SummaryViews::practiseNext() const
{
    // Per child, way put and vowel asked: each vowel chosen.
    using Key = std::tuple<qint64, QByteArray, int>;
    std::map<Key, std::array<int, 5>> chosen;
    eachRow([&](const SummaryRow &r, const SummarySession &s) {
        for (int a = 0; a < 5; ++a) {
            auto &c = chosen[Key{s.named ? s.child : 0, d_.kinds[r.kind].askedAs.toUtf8(), a}];
            for (int k = 0; k < 5; ++k)
                c[k] += r.counts.cells[a][k];
        }
    });
    struct Candidate {
        QByteArray way;
        int asked, chosen, times, outOf;
    };
    QHash<qint64, QList<Candidate>> found;
    for (const auto &[key, counts] : chosen) {
        int total = 0;
        for (const int n : counts)
            total += n;
        const int asked = std::get<2>(key);
        for (int c = 0; c < 5; ++c)
            if (c != asked && total >= Confusion::kMinAnswers && counts[c] >= Confusion::kMinConfusions &&
                counts[c] * Confusion::kMinShare >= total)
                found[std::get<0>(key)] << Candidate{std::get<1>(key), asked, c, counts[c], total};
    }
    static const QString kLetters = QStringLiteral("AEIOU");
    QHash<qint64, QList<Confusion>> out;
    for (auto f = found.begin(); f != found.end(); ++f) {
        std::sort(f->begin(), f->end(), [](const Candidate &a, const Candidate &b) {
            return std::tie(b.times, a.way, a.asked, a.chosen) < std::tie(a.times, b.way, b.asked, b.chosen);
        });
        QList<Confusion> &list = out[f.key()];
        for (int i = 0; i < std::min<qsizetype>(2, f->size()); ++i) {
            const Candidate &c = f->at(i);
            list << Confusion{kLetters.mid(c.asked, 1), kLetters.mid(c.chosen, 1), QString::fromUtf8(c.way),
                              c.times, c.outOf, {}};
        }
    }
    return out;
}

} // namespace zampli
