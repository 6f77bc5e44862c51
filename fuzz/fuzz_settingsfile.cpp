// libFuzzer target: arbitrary bytes as a settings file. Reading it, applying every
// channel object and offline row, must not crash; a file that reads as settings must
// read the same after being composed again.

#include "app/SettingsFile.h"
#include "canparam/ChannalObject.h"
#include "offline/OfflineRowText.h"

#include <QJsonObject>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray text(reinterpret_cast<const char *>(data), int(size));
    const SettingsFile::Content c = SettingsFile::parse(text);
    if (c.status != SettingsFile::Content::Ok)
        return 0;
    if (c.sendType < -1 || c.sendType > 1)
        std::abort();
    for (const QJsonValue &channal : c.canParam) {
        QVector<DataListEntry> rows(14);
        ChannalObject::applyJson(channal.toObject(), &rows);
        for (int bank = 0; bank < rows.size(); ++bank)
            FilterBank::request(bank, 1, rows.at(bank));
    }
    for (const QJsonValue &element : c.offlineDatas)
        encodeOfflineRow(offlineRowFromStored(element), 0, int(c.offlineDatas.size()));

    const SettingsFile::Content again =
        SettingsFile::parse(SettingsFile::compose(c.canParam, c.sendType, c.offlineDatas));
    if (again.status != SettingsFile::Content::Ok || again.canParam != c.canParam
        || again.offlineDatas != c.offlineDatas || again.sendType != c.sendType)
        std::abort();
    return 0;
}
