// SPDX-License-Identifier: GPL-3.0-or-later
#include "safefile/SystemError.h"

#include <cerrno>

namespace zampli {

QString systemErrorText(int error)
{
    switch (error) {
    case 0: return QStringLiteral("il sistema non dice perché");
    case ENOENT: return QStringLiteral("non c'è");
    case EACCES:
    case EPERM: return QStringLiteral("permesso negato");
    case EROFS: return QStringLiteral("il disco si può solo leggere");
    case ENOSPC:
    case EDQUOT: return QStringLiteral("il disco è pieno");
    case EFBIG: return QStringLiteral("il file è più grande di quanto il disco accetti");
    case EIO: return QStringLiteral("il disco non risponde bene");
    case ENOTDIR: return QStringLiteral("una parte del percorso non è una cartella");
    case EISDIR: return QStringLiteral("è una cartella");
    case ENAMETOOLONG: return QStringLiteral("nome troppo lungo");
    case ELOOP: return QStringLiteral("troppi collegamenti uno dentro l'altro");
    case EMFILE:
    case ENFILE: return QStringLiteral("troppi file aperti");
    case ENOMEM: return QStringLiteral("memoria esaurita");
    case EBUSY:
    case ETXTBSY: return QStringLiteral("in uso da un altro programma");
    case EXDEV: return QStringLiteral("su un altro disco");
    default: return QStringLiteral("errore di sistema numero %1").arg(error);
    }
}

} // namespace zampli
