// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/PendingAnswers.h"

#include "safefile/CappedFile.h"
#include "safefile/WholeFile.h"
#include "safefile/RegularFile.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <optional>

namespace zampli {

namespace {

using Kind = ResultsEvent::Kind;

// The words of the file, Italian like those of the database.
constexpr struct {
    Kind kind;
    const char *name;
} kKindNames[] = {
    {Kind::SessionStart, "inizio"},
    {Kind::Answer, "risposta"},
    {Kind::SessionEnd, "fine"},
    {Kind::Dropped, "perse"},
};
constexpr const char *kHeader = "lotto";

QString kindName(Kind k)
{
    for (const auto &n : kKindNames)
        if (n.kind == k)
            return QString::fromLatin1(n.name);
    return {};
}

QJsonObject answerFields(const AnswerRecord &a)
{
    return {{"finestra", a.window},         {"turno", a.turn},
            {"chiesta", a.asked},           {"chiesta_come", shownName(a.askedAs)},
            {"stile_chiesto", a.askedStyle}, {"parola", a.word},
            {"scelta", a.chosen},           {"scelta_come", shownName(a.chosenAs)},
            {"stile_scelto", a.chosenStyle}, {"giusta", a.right},
            {"tempo_ms", a.answerMs}};
}

QByteArray line(const QJsonObject &o)
{
    return QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n';
}

} // namespace

QByteArray pendingLines(const PendingBatch &b)
{
    QByteArray out = line({{"lotto", b.id}, {"tipo", kHeader}, {"sessione", b.sessionRow},
                           {"inizio_ms", b.sessionStartMs}});
    for (const ResultsEvent &e : b.events) {
        QJsonObject o = e.kind == Kind::Answer ? answerFields(e.answer) : QJsonObject();
        o.insert("lotto", b.id);
        o.insert("tipo", kindName(e.kind));
        o.insert("ms", e.atMs);
        if (e.kind == Kind::Dropped)
            o.insert("quante", e.count);
        out += line(o);
    }
    return out;
}

namespace {

constexpr qint64 kMaxLineBytes = 64 << 10; // see PendingParser

QString tooBig(qint64 bytes)
{
    return QStringLiteral("è troppo grande (%1; un file di risposte in attesa non supera %2)")
        .arg(sizeText(bytes), sizeText(kMaxPendingBytes));
}

QString full(qint64 bytes)
{
    return QStringLiteral("è pieno (%1; un file di risposte in attesa non supera %2)")
        .arg(sizeText(bytes), sizeText(kMaxPendingBytes));
}

std::optional<Shown> shownFrom(const QJsonValue &v)
{
    for (Shown s : {Shown::Voice, Shown::Letter, Shown::Face, Shown::Word, Shown::Tile})
        if (v.toString() == shownName(s))
            return s;
    return std::nullopt;
}

bool allStrings(const QJsonObject &o, std::initializer_list<const char *> keys)
{
    for (const char *k : keys)
        if (!o.value(QLatin1String(k)).isString())
            return false;
    return true;
}

std::optional<AnswerRecord> answerFrom(const QJsonObject &o)
{
    const auto askedAs = shownFrom(o.value("chiesta_come")), chosenAs = shownFrom(o.value("scelta_come"));
    if (!askedAs || !chosenAs || !allStrings(o, {"finestra", "chiesta", "parola", "scelta"}))
        return std::nullopt;
    AnswerRecord a;
    a.atMs = o.value("ms").toInteger();
    a.window = o.value("finestra").toString();
    a.turn = int(o.value("turno").toInteger());
    a.asked = o.value("chiesta").toString();
    a.askedAs = *askedAs;
    a.askedStyle = int(o.value("stile_chiesto").toInteger());
    a.word = o.value("parola").toString();
    a.chosen = o.value("scelta").toString();
    a.chosenAs = *chosenAs;
    a.chosenStyle = int(o.value("stile_scelto").toInteger());
    a.right = o.value("giusta").toBool();
    a.answerMs = o.value("tempo_ms").toInteger();
    return a;
}

std::optional<ResultsEvent> eventFrom(const QJsonObject &o)
{
    const QString tipo = o.value("tipo").toString();
    for (const auto &n : kKindNames) {
        if (tipo != QLatin1String(n.name) || !o.value("ms").isDouble())
            continue;
        ResultsEvent e{n.kind, o.value("ms").toInteger(), {}, 0};
        if (n.kind == Kind::Dropped)
            e.count = o.value("quante").toInteger();
        if (n.kind != Kind::Answer)
            return e;
        const auto a = answerFrom(o);
        if (!a)
            return std::nullopt;
        e.answer = *a;
        return e;
    }
    return std::nullopt;
}

PendingBatch &batchOf(PendingRead &read, const QString &id)
{
    for (PendingBatch &b : read.batches)
        if (b.id == id)
            return b;
    read.batches.push_back(PendingBatch{id, 0, 0, {}});
    return read.batches.back();
}

// False when the line is no record of ours.
bool readLine(PendingRead &read, const QByteArray &bytes)
{
    const QJsonObject o = QJsonDocument::fromJson(bytes).object();
    const QString id = o.value("lotto").toString();
    if (id.isEmpty())
        return false;
    if (o.value("tipo").toString() == QLatin1String(kHeader)) {
        PendingBatch &b = batchOf(read, id);
        b.sessionRow = o.value("sessione").toInteger();
        b.sessionStartMs = o.value("inizio_ms").toInteger();
        return true;
    }
    const auto e = eventFrom(o);
    if (e)
        batchOf(read, id).events.push_back(*e);
    return e.has_value();
}

} // namespace

void PendingParser::add(QByteArrayView bytes)
{
    while (!bytes.isEmpty()) {
        const qsizetype end = bytes.indexOf('\n');
        const QByteArrayView part = end < 0 ? bytes : bytes.first(end);
        if (!tooLong_ && line_.size() + part.size() <= kMaxLineBytes)
            line_ += part;
        else
            tooLong_ = true;
        if (end < 0)
            return;
        if (tooLong_ || (!line_.trimmed().isEmpty() && !readLine(read_, line_)))
            ++read_.unreadable;
        line_.clear();
        tooLong_ = false;
        bytes = bytes.sliced(end + 1);
    }
}

PendingRead PendingParser::finish()
{
    add("\n");
    return std::move(read_);
}

QString pendingPath(const QString &database)
{
    return database + QStringLiteral(".in-attesa");
}

PendingWrite appendPending(const QString &database, const PendingBatch &batch)
{
    const QString path = pendingPath(database);
    const QByteArray lines = pendingLines(batch);
    QByteArray bytes;
    RegularFile there(path);
    if (!there.missing()) {
        if (!there.isOpen())
            return {false, there.refusal()};
        // What is there and the batch must fit together: else the batch goes to a new file alone.
        const qint64 room = kMaxPendingBytes - lines.size();
        if (there.size() > room)
            return {false, there.size() > kMaxPendingBytes ? tooBig(there.size()) : full(there.size())};
        for (;;) {
            const std::optional<QByteArray> more = there.read(64 << 10);
            if (!more)
                return {false, QStringLiteral("non si può leggere fino in fondo")};
            if (more->isEmpty())
                break;
            bytes += *more;
            if (bytes.size() > room) // grown since it was measured
                return {false, full(bytes.size())};
        }
    }
    return {writeWhole(path, bytes + lines).ok(), {}};
}

PendingRead readPending(const QString &database)
{
    PendingRead read;
    RegularFile file(pendingPath(database));
    if (file.missing())
        return read;
    if (!file.isOpen()) {
        read.refused = file.refusal();
        return read;
    }
    if (file.size() > kMaxPendingBytes) {
        read.refused = tooBig(file.size());
        return read;
    }
    PendingParser lines;
    qint64 total = 0;
    for (;;) {
        const std::optional<QByteArray> more = file.read(64 << 10);
        if (!more) {
            read.refused = QStringLiteral("non si può leggere fino in fondo");
            return read;
        }
        if (more->isEmpty())
            break;
        total += more->size();
        if (total > kMaxPendingBytes) { // grown since it was measured
            read.refused = tooBig(total);
            return read;
        }
        lines.add(*more);
    }
    return lines.finish();
}

} // namespace zampli
