// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/PendingAnswers.h"

#include "media/WholeFile.h"

#include <QFile>
#include <QFileInfo>
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

// What is there already, unless the name is a link: that is replaced, never followed.
QByteArray existing(const QString &path)
{
    QFile file(path);
    if (QFileInfo(path).isSymLink() || !file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
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

QString pendingPath(const QString &database)
{
    return database + QStringLiteral(".in-attesa");
}

bool appendPending(const QString &database, const PendingBatch &batch)
{
    const QString path = pendingPath(database);
    return writeWhole(path, existing(path) + pendingLines(batch)).ok();
}

PendingRead readPending(const QString &database)
{
    return parsePending(existing(pendingPath(database)));
}

PendingRead parsePending(QByteArrayView bytes)
{
    PendingRead read;
    for (const QByteArray &l : bytes.toByteArray().split('\n'))
        if (!l.trimmed().isEmpty() && !readLine(read, l))
            ++read.unreadable;
    return read;
}

} // namespace zampli
