#include "dump/DumpCapture.h"

#include "dbc/DbcParser.h"
#include "dump/AdapterSource.h"
#include "dump/FileSource.h"
#include "dump/FrameWriter.h"

#include <QFile>
#include <QFileInfo>

#include <atomic>
#include <csignal>
#include <memory>

namespace {

// Lock-free, so the handler may set it on any thread while the capture loop reads it.
std::atomic<bool> g_stopRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the stop flag is set in a signal handler");

extern "C" void onStopSignal(int)
{
    g_stopRequested = true;
}

void say(QIODevice *err, const QString &line)
{
    err->write(QByteArrayLiteral("brantel-dump: ") + line.toUtf8() + '\n');
}

bool loadDatabase(const QString &path, DbcDatabase *db, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    QString why;
    if (!loadDbc(file.readAll(), db, &why)) {
        *error = QStringLiteral("%1: %2").arg(path, why);
        return false;
    }
    return true;
}

} // namespace

QString DumpSummary::text() const
{
    const QString frames = QStringLiteral("%1 frames (channel 0: %2, channel 1: %3), ")
                               .arg(counts.shownFrames()).arg(counts.shownFrames(0))
                               .arg(counts.shownFrames(1));
    if (fromFile)
        return frames + QStringLiteral("%1 frames filtered out").arg(counts.filteredFrames());
    return frames
        + QStringLiteral("%1 transfers, %2 malformed transfers dropped, %3 frames filtered out%4")
              .arg(counts.transfers()).arg(counts.malformedTransfers()).arg(counts.filteredFrames())
              .arg(reportingStopped ? QString()
                                    : QStringLiteral("; the adapter did not confirm reporting off"));
}

void DumpCapture::installStopSignals()
{
#ifdef _WIN32
    std::signal(SIGINT, onStopSignal);
    std::signal(SIGTERM, onStopSignal);
#else
    // No SA_RESTART needed: the writing loop polls the flag, it never blocks on a signal.
    struct sigaction action = {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
#endif
}

void DumpCapture::requestStop()
{
    g_stopRequested = true;
}

void DumpCapture::clearStopRequest()
{
    g_stopRequested = false;
}

bool DumpCapture::stopRequested()
{
    return g_stopRequested;
}

int DumpCapture::run(QIODevice *out, QIODevice *err)
{
    m_summary = DumpSummary();
    m_summary.fromFile = !m_options.input.isEmpty();
    QString error;

    DbcDatabase db;
    if (!m_options.dbc.isEmpty() && !loadDatabase(m_options.dbc, &db, &error)) {
        say(err, error);
        return DumpExit::Failed;
    }
    if (m_summary.fromFile && !m_options.output.isEmpty()
        && QFileInfo(m_options.output) == QFileInfo(m_options.input)) {
        say(err, QStringLiteral("the output would overwrite the input %1").arg(m_options.input));
        return DumpExit::Usage;
    }

    QFile file;
    if (!m_options.output.isEmpty()) {
        file.setFileName(m_options.output);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            say(err, QStringLiteral("cannot write %1: %2").arg(m_options.output, file.errorString()));
            return DumpExit::Failed;
        }
        out = &file;
    }

    std::unique_ptr<FrameSource> source;
    if (m_summary.fromFile)
        source = std::make_unique<FileSource>(m_options.input);
    else
        source = std::make_unique<AdapterSource>(m_options, &m_summary);
    int code = source->open(&error);
    if (code != DumpExit::Ok) {
        say(err, error);
        return code;
    }

    FrameWriter writer(m_options, m_options.dbc.isEmpty() ? nullptr : &db, out, &m_summary.counts);
    code = source->run(writer, &error);
    const bool written = writer.finish();

    say(err, m_summary.text());
    if (!written) {
        say(err, QStringLiteral("writing the frames failed: %1").arg(out->errorString()));
        return DumpExit::Failed;
    }
    if (code != DumpExit::Ok)
        say(err, error);
    return code;
}
