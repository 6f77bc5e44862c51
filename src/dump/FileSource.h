#pragma once
// Frames from a saved capture: a candump log or an ASC file, told apart by the first line
// that is not blank ("(" opens a candump log frame, "date" an ASC header). The file is
// read line by line, each frame keeping its own time. A line that is neither a frame nor
// (in an ASC file) a header line, event or comment ends the conversion with an error
// naming the line; the frames before it have been written.

#include "dump/FrameSource.h"
#include "monitor/AscLog.h"

#include <QFile>
#include <QString>

class FileSource : public FrameSource {
public:
    explicit FileSource(const QString &path) : m_file(path) {}

    int open(QString *error) override;
    int run(FrameWriter &writer, QString *error) override;

private:
    enum class Layout { Candump, Asc };

    // The next line without its end; false at the end of the file.
    bool nextLine(QString *line);
    QString where() const;

    QFile m_file;
    Layout m_layout = Layout::Candump;
    AscLog::Reader m_asc;
    QString m_pending; // the first line, read by open()
    bool m_hasPending = false;
    int m_lineNumber = 0;
};
