#include "monitor/CacheSizeConfig.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace {
const QString kFileName = QStringLiteral("Config.ini");
const QString kKey = QStringLiteral("CacheCount/size");
} // namespace

QString cacheConfigPath(const QString &executableDir)
{
    const QFileInfo dir(executableDir);
    if (dir.isDir() && dir.isWritable())
        return QDir(executableDir).filePath(kFileName);
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation))
        .filePath(kFileName);
}

QString cacheConfigPath() { return cacheConfigPath(QCoreApplication::applicationDirPath()); }

int clampCacheSize(int requested)
{
    return qBound(MinimumCacheSize, requested, MaximumCacheSize);
}

int readCacheSize(const QString &iniPath)
{
    if (!QFileInfo::exists(iniPath))
        return DefaultCacheSize;
    const QSettings ini(iniPath, QSettings::IniFormat);
    if (ini.status() != QSettings::NoError)
        return DefaultCacheSize;
    // Read wide: as an int, a number like 4294967297 would wrap to a small size.
    bool ok = false;
    const qlonglong size = ini.value(kKey).toString().toLongLong(&ok);
    if (!ok || size <= 0)
        return DefaultCacheSize;
    return int(qMin<qlonglong>(size, MaximumCacheSize));
}

bool writeCacheSize(const QString &iniPath, int size)
{
    // The user's configuration directory may not exist yet.
    if (!QDir().mkpath(QFileInfo(iniPath).absolutePath()))
        return false;
    QSettings ini(iniPath, QSettings::IniFormat);
    ini.setValue(kKey, size);
    ini.sync();
    return ini.status() == QSettings::NoError;
}
