// libFuzzer target: arbitrary bytes as Config.ini; the cache size read from it is always
// within the range the display cache accepts.

#include "monitor/CacheSizeConfig.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QString path = QDir::temp().filePath(
        QStringLiteral("brantel_fuzz_%1/Config.ini").arg(QCoreApplication::applicationPid()));
    static const bool made = QDir().mkpath(QFileInfo(path).absolutePath());
    if (!made)
        std::abort();
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    const int cacheSize = readCacheSize(path);
    if (cacheSize < MinimumCacheSize || cacheSize > MaximumCacheSize)
        std::abort();
    return 0;
}
