#pragma once
// The monitor's display cache size as kept in Config.ini (section "CacheCount", key
// "size"), and the range every size is held to.

#include <QString>

constexpr int DefaultCacheSize = 4096;
constexpr int MinimumCacheSize = 1;
constexpr int MaximumCacheSize = 100000;

// Config.ini beside the executable when that directory is writable (portable use);
// otherwise in the user's configuration directory.
QString cacheConfigPath(const QString &executableDir);
// The same for the running program.
QString cacheConfigPath();

// A requested size held to MinimumCacheSize..MaximumCacheSize.
int clampCacheSize(int requested);

// The stored size. A missing or unreadable file, a missing key or a value that is not a
// positive number gives DefaultCacheSize; a larger value than the maximum gives the maximum.
int readCacheSize(const QString &iniPath);

// Stores `size`; false when the file could not be written.
bool writeCacheSize(const QString &iniPath, int size);
