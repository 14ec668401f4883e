// SPDX-License-Identifier: GPL-3.0-or-later
// The entry of the answers' module: the program loads it once its first
// window is up, so the database's library costs nothing at start.
#include "results/ResultsWriter.h"
#include "results/Schema.h"
#include "state/LateAnswerLog.h"

#include <QtGlobal>

namespace {

// The answers kept in the machine's state folder, one file per program
// folder; whatever becomes of the file, the windows behave the same.
class WrittenAnswers final : public zampli::AnswerWriter {
public:
    WrittenAnswers(const QString &programFolder, const zampli::ResultsFile::Report &report)
        : writer_(zampli::resultsDatabasePath(zampli::resultsFolder(), programFolder), programFolder, report)
    {
    }
    void sessionStarted(qint64 atMs) override { writer_.sessionStarted(atMs); }
    void record(const zampli::AnswerRecord &answer) override { writer_.record(answer); }

private:
    zampli::ResultsWriter writer_;
};

} // namespace

extern "C" Q_DECL_EXPORT zampli::AnswerWriter *zampli_open_answers(const QString &programFolder,
                                                                   const std::function<void(const QString &)> &report)
{
    return new WrittenAnswers(programFolder, report);
}
