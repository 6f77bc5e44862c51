#include "device/BroadcastName.h"

#include <QString>
#include <QStringView>

namespace {

// The four characters that start four positions after the first `key` ("VID_0471"
// skips the key and its separator), compared without reading past the end.
bool fieldAfterIs(QStringView name, QStringView key, QStringView expected)
{
    const qsizetype at = name.indexOf(key);
    if (at < 0)
        return false;
    const qsizetype start = at + 4;
    if (start + expected.size() > name.size())
        return false;
    return name.mid(start, expected.size()) == expected;
}

} // namespace

bool isAdapterBroadcastName(const QString &name)
{
    const QStringView view(name);
    if (view.isEmpty() || !view.contains(QStringView(u"USB")))
        return false;
    return fieldAfterIs(view, u"VID", u"0471") && fieldAfterIs(view, u"PID", u"1200");
}
