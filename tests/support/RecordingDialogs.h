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
    // The file type chosen with each saved name, by its pattern ("*.log"); taken front
    // first; an empty queue chooses the first type, as a dialog does unless told.
    QStringList typeAnswers;

    QMessageBox::StandardButton message(QWidget *, Kind kind, const QString &title,
                                        const QString &text,
                                        QMessageBox::StandardButtons buttons) override
    {
        boxes.append({kind, title, text, buttons});
        return (buttons & QMessageBox::Yes) ? QMessageBox::Yes : QMessageBox::Ok;
    }
    QString saveFileName(QWidget *, const QString &caption, const QString &,
                         const QString &filter, QString *selectedFilter) override
    {
        const QStringList types = filter.split(QStringLiteral(";;"));
        const QString pattern = typeAnswers.isEmpty() ? QString() : typeAnswers.takeFirst();
        const QStringList chosen = pattern.isEmpty() ? QStringList() : types.filter(pattern);
        if (selectedFilter)
            *selectedFilter = chosen.isEmpty() ? types.first() : chosen.last();
        return openFileName(nullptr, caption, QString(), filter);
    }
    QString openFileName(QWidget *, const QString &caption, const QString &,
                         const QString &filter) override
    {
        fileCaptions << caption;
        fileFilters << filter;
        return fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
    }

    QStringList texts() const
    {
        QStringList out;
        for (const Box &b : boxes)
            out << b.text;
        return out;
    }
};
