// SPDX-License-Identifier: GPL-2.0-or-later
// libFuzzer target: any text as the plugin listing of sosreport, read in both of the ways the
// settings pane reads it. The enabled plugins it reports are always the first names listed, and
// every plugin described is one of the names listed.
#include "pluginlisting.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const PluginListing listing(QString::fromUtf8(reinterpret_cast<const char *>(data), int(size)));
    QStringList names;
    for (bool withDisabled : {false, true}) {
        QStringList enabled;
        names = listing.pluginNames(withDisabled, &enabled);
        if (names.mid(0, enabled.size()) != enabled)
            qFatal("the enabled plugins are not the first ones listed");
    }
    const QHash<QString, QString> descriptions = listing.pluginDescriptions();
    for (auto described = descriptions.cbegin(); described != descriptions.cend(); ++described)
        if (!names.contains(described.key()))
            qFatal("a plugin is described that is not listed");
    listing.profileNames();
    return 0;
}
