#pragma once
// Every message box and file dialog of the program goes through this seam, so widget
// tests can answer file dialogs and record each box without blocking.

#include <QMessageBox>
#include <QString>

class QWidget;

class Dialogs {
public:
    enum class Kind { Information, Warning };

    virtual ~Dialogs() = default;

    virtual QMessageBox::StandardButton message(QWidget *parent, Kind kind, const QString &title,
                                                const QString &text,
                                                QMessageBox::StandardButtons buttons) = 0;
    virtual QString saveFileName(QWidget *parent, const QString &caption, const QString &dir,
                                 const QString &filter) = 0;
    virtual QString openFileName(QWidget *parent, const QString &caption, const QString &dir,
                                 const QString &filter) = 0;

    // The seam in use; the real dialogs unless a test installed another one.
    static Dialogs &instance();
    // Not owned; pass nullptr to go back to the real dialogs.
    static void setInstance(Dialogs *dialogs);

    // The program's two kinds of box: results and input errors (one OK button), and
    // file or JSON failures (one Yes button).
    static void information(QWidget *parent, const QString &title, const QString &text);
    static void warning(QWidget *parent, const QString &title, const QString &text);
};

class QtDialogs final : public Dialogs {
public:
    QMessageBox::StandardButton message(QWidget *parent, Kind kind, const QString &title,
                                        const QString &text,
                                        QMessageBox::StandardButtons buttons) override;
    QString saveFileName(QWidget *parent, const QString &caption, const QString &dir,
                         const QString &filter) override;
    QString openFileName(QWidget *parent, const QString &caption, const QString &dir,
                         const QString &filter) override;
};
