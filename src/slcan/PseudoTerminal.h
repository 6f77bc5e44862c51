#pragma once
// A pseudo-terminal that stands in for a serial CAN device, and the symbolic link that
// names it. The bridge keeps the master side (non-blocking); programs open the slave
// through the link. The slave is put in raw mode, so no line end is translated and
// nothing is echoed, before any program can see it.

#include <QByteArray>
#include <QString>

class PseudoTerminal {
public:
    PseudoTerminal() = default;
    ~PseudoTerminal() { hangUp(); }
    PseudoTerminal(const PseudoTerminal &) = delete;
    PseudoTerminal &operator=(const PseudoTerminal &) = delete;

    bool open(QString *error);
    int fd() const { return m_master; }
    QString slavePath() const { return m_slavePath; }

    // True while no program has the terminal open (also before the first one opens it).
    bool hostAbsent() const;
    // Drops what the bridge wrote and no program read, so the next program does not
    // read stale lines.
    void discardUnread();
    // Closes the master: programs reading the terminal see end of file.
    void hangUp();

    // Points `link` at `target`. An existing link is replaced only when it dangles (a
    // bridge that died left it); anything else at that path is refused.
    static bool makeLink(const QString &link, const QString &target, QString *error);
    // Removes `link` if it still points at `target`.
    static void removeLink(const QString &link, const QString &target);

private:
    int m_master = -1;
    QString m_slavePath;
};
