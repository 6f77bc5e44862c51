#pragma once
// Where brantel-dump's frames come from: the adapter (AdapterSource) or a saved capture
// (FileSource). DumpCapture opens one and lets it feed a FrameWriter.

class FrameWriter;
class QString;

class FrameSource {
public:
    virtual ~FrameSource() = default;

    // Makes the frames ready to flow: DumpExit::Ok, or another exit code with a one-line
    // *error (and nothing left running).
    virtual int open(QString *error) = 0;
    // After open(): begins the writer and hands it frames until the source ends, the
    // writer wants no more or a stop is requested, then ends the source. DumpExit::Ok, or
    // DumpExit::Failed with a one-line *error.
    virtual int run(FrameWriter &writer, QString *error) = 0;
};
