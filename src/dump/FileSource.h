#pragma once
// Frames from a saved capture: a candump log or an ASC file, told apart by the first line
// that is not blank ("(" opens a candump log frame, "date" an ASC header). The file is
// read line by line, each frame keeping its own time. A line that is neither a frame nor
// (in an ASC file) a header line, event or comment ends the conversion with an error
// naming the line; the frames before it have been written.

#include "dump/FrameSource.h"
#include "monitor/AscLog.h"

#include <QFile>
#include <QByteArray>
#include <QString>

class FileSource : public FrameSource {
public:
    explicit FileSource(const QString &path) : m_file(path) {}

    int open(QString *error) override;
    int run(FrameWriter &writer, QString *error) override;

private:
    enum class Layout { Candump, Asc };

    // The next line, its end excluded, valid until the next call; false at the end of the
    // file or on a read error. The file is read in large blocks and split here.
    bool nextLine(const char **begin, const char **end);
    QString where() const;

    QFile m_file;
    Layout m_layout = Layout::Candump;
    AscLog::Reader m_asc;
    QByteArray m_block;
    int m_pos = 0;          // where the next line starts in m_block
    int m_lineBegin = 0;    // the line handed out last
    int m_lineEnd = 0;
    bool m_eof = false;
    bool m_repeat = false;  // open() read the first line: run() takes it again
    qint64 m_lineNumber = 0;
};
