// libFuzzer target for the word-list reader: any bytes at all give at most
// fifty words, each a plain file name of bounded length, and never a crash.
#include "exercises/initial/words/WordList.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using zampli::WordList;
    const WordList list = zampli::readWordList(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (list.words.size() > WordList::kMaxWords || (list.cut && list.words.size() != WordList::kMaxWords))
        std::abort();
    const auto blank = [](QChar c) { return c == u' ' || c == u'\t'; };
    for (const QString &word : list.words) {
        if (!zampli::isPlainWord(word) || word.size() > WordList::kMaxFieldLength || blank(word.front()) ||
            blank(word.back()))
            std::abort();
    }
    return 0;
}
