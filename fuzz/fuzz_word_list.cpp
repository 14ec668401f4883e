// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target for the word-list reader: any bytes at all give at most
// fifty words, each a plain file name of bounded length taken from the
// text, and never a crash.
#include "wordlist/WordList.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using zampli::WordList;
    const WordList list = zampli::readWordList(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (list.words.size() > WordList::kMaxWords || (list.cut && list.words.size() != WordList::kMaxWords))
        std::abort();
    // Every word is text of the file, never made up from elsewhere.
    const QString text = zampli::decodeWordListText(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));
    for (const QString &word : list.words) {
        if (!zampli::isPlainWord(word) || word.size() > WordList::kMaxFieldLength || !text.contains(word))
            std::abort();
    }
    return 0;
}
