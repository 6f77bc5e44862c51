#include "widgets/Dialogs.h"

#include <QFileDialog>

namespace {
Dialogs *g_installed = nullptr;
}

Dialogs &Dialogs::instance()
{
    static QtDialogs real;
    return g_installed ? *g_installed : real;
}

void Dialogs::setInstance(Dialogs *dialogs) { g_installed = dialogs; }

void Dialogs::information(QWidget *parent, const QString &title, const QString &text)
{
    instance().message(parent, Kind::Information, title, text, QMessageBox::Ok);
}

void Dialogs::warning(QWidget *parent, const QString &title, const QString &text)
{
    instance().message(parent, Kind::Warning, title, text, QMessageBox::Yes);
}

QMessageBox::StandardButton QtDialogs::message(QWidget *parent, Kind kind, const QString &title,
                                               const QString &text,
                                               QMessageBox::StandardButtons buttons)
{
    return kind == Kind::Warning ? QMessageBox::warning(parent, title, text, buttons)
                                 : QMessageBox::information(parent, title, text, buttons);
}

QString QtDialogs::saveFileName(QWidget *parent, const QString &caption, const QString &dir,
                                const QString &filter)
{
    return QFileDialog::getSaveFileName(parent, caption, dir, filter);
}

QString QtDialogs::openFileName(QWidget *parent, const QString &caption, const QString &dir,
                                const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, caption, dir, filter);
}
