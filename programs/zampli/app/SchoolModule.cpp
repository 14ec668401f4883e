// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SchoolModule.h"

#include "media/ProblemLog.h"
#include "school/SchoolSetting.h"

#include <QLibrary>
#include <functional>

namespace zampli {

SchoolModule::~SchoolModule()
{
    if (delivery_)
        stop_(delivery_);
}

void SchoolModule::start(const QString &installedFolder, const QString &copyFolder, ProblemLog &log)
{
    if (delivery_ || !hasSchoolSetting(copyFolder))
        return;
    // Never unloaded: the delivery's code lives there until the process ends.
    QLibrary module(installedFolder + QStringLiteral("/zampli-scuola"));
    using Start = void *(*)(const QString &, const std::function<void(const QString &)> &);
    using Stop = void (*)(void *);
    const auto begin = reinterpret_cast<Start>(module.resolve("zampli_start_delivery"));
    stop_ = reinterpret_cast<Stop>(module.resolve("zampli_stop_delivery"));
    if (!begin || !stop_) {
        log.note(QStringLiteral("manca il modulo della scuola (%1): le risposte restano su questo computer finché "
                                "non reinstalli ZAMPLI")
                     .arg(module.errorString()));
        return;
    }
    delivery_ = begin(copyFolder, [&log](const QString &line) { log.note(line); });
}

} // namespace zampli
