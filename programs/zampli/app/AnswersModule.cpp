// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AnswersModule.h"

#include "media/ProblemLog.h"

#include <QLibrary>
#include <functional>

namespace zampli {

namespace {
struct Forgetting final : AnswerWriter {
    void sessionStarted(qint64) override {}
    void record(const AnswerRecord &) override {}
};
} // namespace

std::unique_ptr<AnswerWriter> loadAnswerWriter(const QString &installedFolder, const QString &programFolder,
                                               ProblemLog &log)
{
    // Never unloaded: the writer's code lives there until the process ends.
    QLibrary module(installedFolder + QStringLiteral("/zampli-risposte"));
    using Open = AnswerWriter *(*)(const QString &, const std::function<void(const QString &)> &);
    if (const auto open = reinterpret_cast<Open>(module.resolve("zampli_open_answers")))
        return std::unique_ptr<AnswerWriter>(open(programFolder, [&log](const QString &line) { log.note(line); }));
    log.note(QStringLiteral("manca il modulo delle risposte (%1): le risposte di questa volta non vengono salvate, "
                            "ma si gioca lo stesso; reinstalla ZAMPLI")
                 .arg(module.errorString()));
    return std::make_unique<Forgetting>();
}

} // namespace zampli
