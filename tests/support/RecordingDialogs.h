#pragma once
// Test double of the dialog seam: records every box and answers file dialogs from a
// queue, so widget tests never block on a modal dialog.

#include "widgets/Dialogs.h"

#include <QList>
#include <QStringList>

class RecordingDialogs : public Dialogs {
public:
    struct Box {
        Kind kind;
        QString title;
        QString text;
        QMessageBox::StandardButtons buttons;
    };

    RecordingDialogs() { Dialogs::setInstance(this); }
    ~RecordingDialogs() override { Dialogs::setInstance(nullptr); }

    QList<Box> boxes;
    QStringList fileAnswers;   // taken front first; an empty queue answers "cancelled"
    QStringList fileCaptions;  // captions of the file dialogs asked for
    QStringList fileFilters;

    QMessageBox::StandardButton message(QWidget *, Kind kind, const QString &title,
                                        const QString &text,
                                        QMessageBox::StandardButtons buttons) override
    {
        boxes.append({kind, title, text, buttons});
        return (buttons & QMessageBox::Yes) ? QMessageBox::Yes : QMessageBox::Ok;
    }
    QString saveFileName(QWidget *, const QString &caption, const QString &,
                         const QString &filter) override
    {
        return answer(caption, filter);
    }
    QString openFileName(QWidget *, const QString &caption, const QString &,
                         const QString &filter) override
    {
        return answer(caption, filter);
    }

    QStringList texts() const
    {
        QStringList out;
        for (const Box &b : boxes)
            out << b.text;
        return out;
    }

private:
    QString answer(const QString &caption, const QString &filter)
    {
        fileCaptions << caption;
        fileFilters << filter;
        return fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
    }
};
