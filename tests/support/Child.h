#pragma once

#include <QObject>
#include <QtGlobal>

// A named child widget the test cannot go on without: a missing one ends the test run
// with its name, instead of a crash on a null pointer further down.
template <typename T> T *child(const QObject *parent, const char *name)
{
    T *w = parent->findChild<T *>(QLatin1String(name));
    if (!w)
        qFatal("no child %s", name);
    return w;
}
