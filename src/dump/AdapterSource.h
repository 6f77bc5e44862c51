#pragma once
// Frames from the adapter: checks it as Connect does, switches frame reporting on, reads
// bulk transfers on a thread of its own, and on any stop (frame count, time, signal, lost
// device) switches reporting off and closes the link.

#include "device/CWrapWinUSB.h"
#include "dump/FrameSource.h"

struct DumpOptions;
struct DumpSummary;

class AdapterSource : public FrameSource {
public:
    // `summary` gets the transfers and whether reporting was confirmed off.
    AdapterSource(const DumpOptions &options, DumpSummary *summary)
        : m_options(options), m_summary(summary) {}

    int open(QString *error) override;
    int run(FrameWriter &writer, QString *error) override;

private:
    const DumpOptions &m_options;
    DumpSummary *m_summary;
    CWrapWinUSB m_link;
};
