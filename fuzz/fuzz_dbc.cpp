// libFuzzer target: arbitrary bytes as a DBC file. Nothing may crash; a refusal names its
// line, and a file that loads decodes frames of its own first bytes for every message at
// every data length without a signal that needs more bytes than the frame has.

#include "dbc/DbcDecoder.h"
#include "dbc/DbcParser.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    DbcDatabase db;
    QString error;
    if (!loadDbc(bytes, &db, &error)) {
        if (!error.startsWith(QLatin1String("line ")))
            std::abort();
        return 0;
    }
    MonitorRecord frame;
    frame.data = bytes.left(8).leftJustified(8, '\0');
    QVector<DbcValue> values;
    for (const DbcMessage &message : db.messages()) {
        frame.id = message.id;
        frame.extended = message.extended;
        for (frame.dlc = 0; frame.dlc <= 9; ++frame.dlc) {
            if (decodeDbcFrame(db, frame, &values) != db.message(message.id, message.extended))
                std::abort();
            for (const DbcValue &value : values) {
                if (value.signal->endByte > frame.shownLength())
                    std::abort();
            }
        }
    }
    return 0;
}
