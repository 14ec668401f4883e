// SPDX-License-Identifier: GPL-3.0-or-later
// The entry of the school module: loaded only by a copy that has a school's
// server, so that a copy without one never maps the client library.
#include "results/Schema.h"
#include "school/SchoolDelivery.h"

#include <QtGlobal>

// Delivers from the results file of `copyFolder`, the one the answers' module writes.
extern "C" Q_DECL_EXPORT void *zampli_start_delivery(const QString &copyFolder,
                                                     const std::function<void(const QString &)> &report)
{
    return new zampli::SchoolDelivery(copyFolder, zampli::resultsDatabasePath(zampli::resultsFolder(), copyFolder),
                                      zampli::DeliveryKey{{}, zampli::thisComputer(), zampli::thisAccount()}, report);
}

extern "C" Q_DECL_EXPORT void zampli_stop_delivery(void *delivery)
{
    delete static_cast<zampli::SchoolDelivery *>(delivery);
}
