// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target for the reader of the answers set aside beside the
// results file: any bytes give no more records than lines, never a crash,
// and every batch read, written again, reads back the same.
#include "results/PendingAnswers.h"

#include <cstdint>
#include <cstdlib>

namespace {

bool sameAnswer(const zampli::AnswerRecord &a, const zampli::AnswerRecord &b)
{
    return a.atMs == b.atMs && a.window == b.window && a.turn == b.turn && a.asked == b.asked &&
           a.askedAs == b.askedAs && a.askedStyle == b.askedStyle && a.word == b.word && a.chosen == b.chosen &&
           a.chosenAs == b.chosenAs && a.chosenStyle == b.chosenStyle && a.right == b.right &&
           a.answerMs == b.answerMs;
}

bool sameEvents(const std::vector<zampli::ResultsEvent> &a, const std::vector<zampli::ResultsEvent> &b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t k = 0; k < a.size(); ++k)
        if (a[k].kind != b[k].kind || a[k].atMs != b[k].atMs || a[k].count != b[k].count ||
            !sameAnswer(a[k].answer, b[k].answer))
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const zampli::PendingRead read = zampli::parsePending(bytes);
    std::size_t records = std::size_t(read.unreadable);
    for (const zampli::PendingBatch &b : read.batches)
        records += b.events.size();
    if (records > std::size_t(bytes.count('\n')) + 1)
        std::abort();
    for (const zampli::PendingBatch &b : read.batches) {
        const zampli::PendingRead again = zampli::parsePending(zampli::pendingLines(b));
        if (b.id.isEmpty() || again.unreadable != 0 || again.batches.size() != 1 ||
            again.batches[0].id != b.id || again.batches[0].sessionRow != b.sessionRow ||
            again.batches[0].sessionStartMs != b.sessionStartMs || !sameEvents(again.batches[0].events, b.events))
            std::abort();
    }
    return 0;
}
