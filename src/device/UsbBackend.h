#pragma once
// The transport under CWrapWinUSB. Qt-free so that the native Windows backend can
// implement it without the toolkit.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

struct PipeIds {
    uint8_t bulkIn = 0;
    uint8_t bulkOut = 0;
    uint8_t interruptIn = 0;
    uint8_t interruptOut = 0;
};

// Endpoint/pipe kinds as the device reports them; shared by every real backend so the
// classification rule exists once.
enum class PipeKind { Control, Isochronous, Bulk, Interrupt };

// A later pipe of the same kind overwrites an earlier one; control and isochronous
// pipes are ignored. Returns nothing: a missing pipe stays 0 and its transfers fail.
inline void classifyPipe(PipeIds &ids, PipeKind kind, uint8_t pipeId)
{
    const bool in = (pipeId & 0x80) != 0;
    if (kind == PipeKind::Bulk)
        (in ? ids.bulkIn : ids.bulkOut) = pipeId;
    else if (kind == PipeKind::Interrupt)
        (in ? ids.interruptIn : ids.interruptOut) = pipeId;
}

// How an interrupt transfer ended. Backends tell a time-out and a vanished device from
// other failures so that an exchange can say why it failed; NotOpen is the facade's own
// answer for a closed link and never comes from a backend.
enum class TransferStatus { Ok, TimedOut, Gone, Failed, NotOpen };

// One backend instance serves one link. The facade guarantees that close() is called
// only when no other call is inside the backend, so backends need no lifetime guard;
// they must however allow a command exchange on one thread while readBulk() blocks on
// another, and cancelBulk() may be called from any thread at any time.
class UsbBackend {
public:
    virtual ~UsbBackend() = default;

    // Find the adapter, open it and discover its pipes. With several adapters present
    // the one enumerated last is opened.
    virtual bool open() = 0;
    virtual void close() = 0;

    // Interrupt OUT / IN transfers for commands; TimedOut after timeoutMs. `transferred`
    // counts the bytes moved, also when the transfer failed part-way.
    virtual TransferStatus writeInterrupt(const uint8_t *data, uint32_t length,
                                          uint32_t *transferred, unsigned timeoutMs) = 0;
    virtual TransferStatus readInterrupt(uint8_t *data, uint32_t length, uint32_t *transferred,
                                         unsigned timeoutMs) = 0;

    // Bulk IN read for the monitor: blocks until a transfer arrives, the transfer fails,
    // or cancelBulk() is called (then it returns false). The facade may call cancelBulk()
    // repeatedly while close() waits, so a cancel that lands just before a read starts
    // is retried rather than lost.
    virtual bool readBulk(uint8_t *data, uint32_t length, uint32_t *transferred) = 0;
    virtual void cancelBulk() = 0;
    // Lets bulk reads work again after cancelBulk() without reopening the device. The
    // facade calls it only while no bulk read is pending.
    virtual void resumeBulk() = 0;

    virtual PipeIds pipes() const = 0;

    // Platform handle for callers that need it (the WinUSB interface handle); null elsewhere.
    virtual void *nativeHandle() const { return nullptr; }
};

using UsbBackendFactory = std::function<std::unique_ptr<UsbBackend>()>;
