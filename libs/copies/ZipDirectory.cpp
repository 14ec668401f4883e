// SPDX-License-Identifier: GPL-3.0-or-later
#include "copies/ZipDirectory.h"

#include <QtEndian>

#include <algorithm>
#include <cerrno>
#include <limits>
#include <numeric>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace zampli::copies::detail {

namespace {

using Fault = ZipDirectory::Fault;

constexpr quint64 kEndLength = 22;         // end of central directory record, comment apart
constexpr quint64 kMaxComment = 0xFFFF;
constexpr quint64 kLocatorLength = 20;     // ZIP64 end of central directory locator
constexpr quint64 kEnd64Length = 56;       // ZIP64 end of central directory record, its extension apart
constexpr quint64 kCentralLength = 46;     // central directory header, name, extra and comment apart
constexpr quint64 kLocalLength = 30;       // local header, name and extra apart
constexpr quint16 kZip64Extra = 0x0001;
constexpr quint16 kUtf8Flag = 1 << 11;

// Whether [at, at + length) lies within [0, limit), without overflowing.
bool fits(quint64 at, quint64 length, quint64 limit)
{
    return at <= limit && length <= limit - at;
}

std::optional<QByteArray> readAt(int fd, quint64 at, quint64 length)
{
    if (length > quint64(std::numeric_limits<qsizetype>::max()) || at > quint64(std::numeric_limits<off_t>::max()))
        return std::nullopt;
    QByteArray bytes(qsizetype(length), Qt::Uninitialized);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t got = ::pread(fd, bytes.data() + done, size_t(bytes.size() - done), off_t(at + quint64(done)));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return std::nullopt;
        done += got;
    }
    return bytes;
}

template <typename T> T le(const QByteArray &bytes, qsizetype at)
{
    return qFromLittleEndian<T>(bytes.constData() + at);
}

bool signedAs(const QByteArray &bytes, qsizetype at, const char (&signature)[5])
{
    return bytes.mid(at, 4) == QByteArray::fromRawData(signature, 4);
}

struct Central {
    quint64 count = 0;
    quint64 offset = 0;
    quint64 size = 0;
    quint64 end = 0; // where the records after the directory begin
};

// The ZIP64 record named by the locator just before the end record at `endAt`,
// its figures checked against the 32-bit ones where those are not escapes.
std::optional<Central> central64(int fd, quint64 endAt, const QByteArray &end32)
{
    const std::optional<QByteArray> locator = readAt(fd, endAt - kLocatorLength, kLocatorLength);
    if (!locator || le<quint32>(*locator, 4) != 0 || le<quint32>(*locator, 16) > 1)
        return std::nullopt;
    const quint64 recordAt = le<quint64>(*locator, 8);
    if (!fits(recordAt, kEnd64Length, endAt - kLocatorLength))
        return std::nullopt;
    const std::optional<QByteArray> record = readAt(fd, recordAt, kEnd64Length);
    if (!record || !signedAs(*record, 0, "PK\x06\x06") || le<quint64>(*record, 4) < kEnd64Length - 12
        || !fits(recordAt, le<quint64>(*record, 4) + 12, endAt - kLocatorLength) || le<quint32>(*record, 16) != 0
        || le<quint32>(*record, 20) != 0 || le<quint64>(*record, 24) != le<quint64>(*record, 32))
        return std::nullopt;
    const Central found{le<quint64>(*record, 32), le<quint64>(*record, 48), le<quint64>(*record, 40), recordAt};
    const quint16 count32 = le<quint16>(end32, 10);
    const quint32 size32 = le<quint32>(end32, 12);
    const quint32 offset32 = le<quint32>(end32, 16);
    if ((count32 != 0xFFFF && count32 != found.count) || (size32 != 0xFFFFFFFF && size32 != found.size)
        || (offset32 != 0xFFFFFFFF && offset32 != found.offset))
        return std::nullopt;
    return found;
}

// The end record must be the only one near the end of the file and its
// comment must end the file: with two, libzip and this reading could each
// take another directory.
std::optional<Central> findCentral(int fd, quint64 fileSize)
{
    const quint64 window = std::min(fileSize, kEndLength + kMaxComment + kLocatorLength);
    const std::optional<QByteArray> tail = readAt(fd, fileSize - window, window);
    if (!tail)
        return std::nullopt;
    const QByteArray signature("PK\x05\x06", 4);
    const qsizetype at = tail->lastIndexOf(signature);
    if (at < 0 || tail->indexOf(signature) != at || quint64(at) + kEndLength > window)
        return std::nullopt;
    const QByteArray end = tail->mid(at, kEndLength);
    if (quint64(at) + kEndLength + le<quint16>(end, 20) != window || le<quint16>(end, 4) != 0
        || le<quint16>(end, 6) != 0 || le<quint16>(end, 8) != le<quint16>(end, 10))
        return std::nullopt;
    const quint64 endAt = fileSize - window + quint64(at);
    // libzip takes the ZIP64 record whenever its locator is there.
    if (endAt >= kLocatorLength) {
        const std::optional<QByteArray> locator = readAt(fd, endAt - kLocatorLength, 4);
        if (!locator)
            return std::nullopt;
        if (signedAs(*locator, 0, "PK\x06\x07"))
            return central64(fd, endAt, end);
    }
    return Central{le<quint16>(end, 10), le<quint32>(end, 16), le<quint32>(end, 12), endAt};
}

// The ZIP64 extra field's figures replace those written as 0xFFFFFFFF, in
// this order; a field missing or given twice makes the entry unreadable.
bool widen(const QByteArray &extra, ZipPlace &place, quint64 &offset, quint16 disk)
{
    std::optional<QByteArray> field;
    for (qsizetype at = 0; at + 4 <= extra.size();) {
        const quint16 id = le<quint16>(extra, at);
        const quint16 length = le<quint16>(extra, at + 2);
        if (at + 4 + length > extra.size())
            return false;
        if (id == kZip64Extra) {
            if (field)
                return false;
            field = extra.mid(at + 4, length);
        }
        at += 4 + length;
    }
    qsizetype used = 0;
    for (quint64 *value : {&place.size, &place.compressed, &offset}) {
        if (*value != 0xFFFFFFFF)
            continue;
        if (!field || used + 8 > field->size())
            return false;
        *value = le<quint64>(*field, used);
        used += 8;
    }
    return disk == 0 || (disk == 0xFFFF && field && used + 4 <= field->size() && le<quint32>(*field, used) == 0);
}

// Fills `place` from the header at `at` in `directory`; where the next header begins.
std::optional<qsizetype> readHeader(const QByteArray &directory, qsizetype at, ZipPlace &place)
{
    if (at + qsizetype(kCentralLength) > directory.size() || !signedAs(directory, at, "PK\x01\x02"))
        return std::nullopt;
    const qsizetype nameLength = le<quint16>(directory, at + 28);
    const qsizetype extraLength = le<quint16>(directory, at + 30);
    const qsizetype commentLength = le<quint16>(directory, at + 32);
    const qsizetype next = at + qsizetype(kCentralLength) + nameLength + extraLength + commentLength;
    if (next > directory.size())
        return std::nullopt;
    place.utf8 = (le<quint16>(directory, at + 8) & kUtf8Flag) != 0;
    place.compressed = le<quint32>(directory, at + 20);
    place.size = le<quint32>(directory, at + 24);
    place.name = directory.mid(at + qsizetype(kCentralLength), nameLength);
    quint64 offset = le<quint32>(directory, at + 42);
    if (!widen(directory.mid(at + qsizetype(kCentralLength) + nameLength, extraLength), place, offset,
               le<quint16>(directory, at + 34)))
        return std::nullopt;
    place.start = offset;
    return next;
}

// Where the entry's data ends, from its local header; whether that header
// names it as the directory does in `sameName`.
bool placeData(int fd, quint64 fileSize, ZipPlace &place, bool &sameName)
{
    if (!fits(place.start, kLocalLength, fileSize))
        return false;
    const std::optional<QByteArray> local = readAt(fd, place.start, kLocalLength);
    if (!local || !signedAs(*local, 0, "PK\x03\x04"))
        return false;
    const quint64 nameLength = le<quint16>(*local, 26);
    const quint64 dataAt = place.start + kLocalLength + nameLength + le<quint16>(*local, 28);
    if (!fits(dataAt, place.compressed, fileSize))
        return false;
    sameName = readAt(fd, place.start + kLocalLength, nameLength) == place.name;
    place.end = dataAt + place.compressed;
    return true;
}

// Sorted by where they start, each entry must start after every one before it ended.
void findOverlap(ZipDirectory &found, quint64 directoryStart)
{
    std::vector<qsizetype> order(size_t(found.entries.size()));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](qsizetype a, qsizetype b) { return found.entries[a].start < found.entries[b].start; });
    qsizetype furthest = -1;
    for (const qsizetype index : order) {
        const ZipPlace &place = found.entries[index];
        if (furthest >= 0 && place.start < found.entries[furthest].end) {
            found.fault = Fault::Overlap;
            found.entry = std::max(index, furthest);
            found.other = std::min(index, furthest);
            return;
        }
        if (place.end > directoryStart) {
            found.fault = Fault::IntoDirectory;
            found.entry = index;
            return;
        }
        if (furthest < 0 || place.end > found.entries[furthest].end)
            furthest = index;
    }
}

} // namespace

ZipDirectory readZipDirectory(int fd)
{
    ZipDirectory found;
    found.fault = Fault::Inconsistent;
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < qint64(kEndLength))
        return found;
    const quint64 fileSize = quint64(info.st_size);
    const std::optional<Central> central = findCentral(fd, fileSize);
    // Each header takes at least its fixed part: a count past that is a lie.
    if (!central || !fits(central->offset, central->size, central->end)
        || central->count > central->size / kCentralLength)
        return found;
    const std::optional<QByteArray> directory = readAt(fd, central->offset, central->size);
    if (!directory)
        return found;
    qsizetype at = 0;
    bool namesAgree = true;
    for (quint64 i = 0; i < central->count; ++i) {
        ZipPlace place;
        bool sameName = false;
        const std::optional<qsizetype> next = readHeader(*directory, at, place);
        if (!next || !placeData(fd, fileSize, place, sameName))
            return found;
        namesAgree = namesAgree && sameName;
        found.entries << place;
        at = *next;
    }
    if (at != directory->size())
        return found;
    // Entries pointed at one local header disagree with its name too: the
    // overlap says better what the file is.
    found.fault = Fault::None;
    findOverlap(found, central->offset);
    if (found.fault == Fault::None && !namesAgree)
        found.fault = Fault::Inconsistent;
    return found;
}

} // namespace zampli::copies::detail
