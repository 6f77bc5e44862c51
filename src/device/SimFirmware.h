#pragma once
// Model of the adapter's firmware: answers every command the program sends, keeps the
// device state, and streams frame reports while monitoring is on. Both the in-process
// simulated backend and the umockdev ioctl handler of the libusb tests talk to it, so
// one model serves every test and `brantel --simulate`.
//
// Thread-safe: one mutex guards everything; the GUI thread, a monitor receive thread and
// a umockdev worker thread may call it at the same time.

#include "device/UsbBackend.h"

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

class SimFirmware {
public:
    using Bytes = std::vector<uint8_t>;

    static constexpr int FilterBankCount = 14;
    static constexpr int OfflineRecordSize = 21;
    static constexpr int FrameReportSize = 19;
    static constexpr int BulkTransferSize = 64;

    struct FilterBank {
        uint8_t flagsA = 0;
        uint8_t flagsB = 0x01;
        std::array<uint8_t, 4> id{};
        std::array<uint8_t, 4> mask{};
    };
    struct Channel {
        std::array<uint8_t, 4> bitTiming{{0x00, 0x12, 0x00, 0x17}};
        std::array<FilterBank, FilterBankCount> banks{};
    };
    struct State {
        std::string deviceType = "HLW-C2+";     // 7 characters, only "+" is the last
        std::string serialNumber = "HL261206001"; // 11 characters
        uint8_t hardwareMajor = 1, hardwareMinor = 0x02;
        uint8_t firmwareMajor = 1, firmwareMinor = 0x15;
        uint8_t channelCount = 2;
        uint8_t capacity = 50;
        bool offlineMode = false;
        bool relayMode = false;
        uint8_t sendType = 0;
        bool monitoring = false;
        bool offlineSending = false;
        std::vector<Channel> channels = std::vector<Channel>(2);
        std::vector<Bytes> offlineRecords; // stored 21-byte records
    };

    enum class Fault {
        NoReply,           // this reply and every later reply of the request are not sent
        ShortReply,        // the reply is cut to 2 bytes
        LongReply,         // the reply carries one extra byte
        WrongStatus,       // byte 2 of the reply is 0x80 instead of 0x81
        RemoveMidExchange, // the request is taken, then the device is unplugged
        WriteNeverCompletes, // the request is never taken; the write fails at its time-out
        TruncatedReply,    // the reply loses its last byte
        WriteFails,        // the request does not get through: the write fails at once
        PartialWrite,      // only the request's first bytes get through (and are answered)
    };

    enum class BulkResult { Ok, Cancelled, Unplugged };

    SimFirmware();
    explicit SimFirmware(State initial);

    // --- transport side -------------------------------------------------------------
    // Interrupt OUT. Gone when the device is unplugged; TimedOut or Failed when a
    // scripted fault keeps the request out. `accepted` (optional) gets the bytes that
    // got through.
    TransferStatus handleRequest(const uint8_t *data, size_t length, int timeoutMs = 0,
                                 size_t *accepted = nullptr);
    // Interrupt IN, without waiting. False when no reply is queued.
    bool tryTakeReply(Bytes &out);
    // Interrupt IN, waiting up to timeoutMs: Ok, TimedOut, or Gone when unplugged.
    TransferStatus takeReply(Bytes &out, int timeoutMs);
    // Bulk IN without waiting: a transfer that is due now (injected or streamed).
    bool tryTakeBulk(Bytes &out);
    // Bulk IN, waiting until a transfer is due, `cancel` turns true (after which the
    // caller must call notifyWaiters()) or the device is unplugged.
    BulkResult takeBulk(Bytes &out, const std::atomic<bool> &cancel);
    // Wakes every waiter so that it re-checks its cancel flag.
    void notifyWaiters();

    // --- test and demo side -----------------------------------------------------------
    State state() const;
    void setState(const State &s);
    void setPlugged(bool plugged);
    bool isPlugged() const;
    // Called (outside the lock) whenever the device is plugged or unplugged.
    void setPlugListener(std::function<void(bool plugged)> listener);

    // The next `count` requests with this command code (0: any command) suffer `fault`
    // at reply number `replyIndex` (0-based; multi-reply commands have several).
    void scriptFault(uint8_t commandCode, Fault fault, int replyIndex = 0, int count = 1);
    void clearFaults();

    std::vector<Bytes> requests() const;
    void clearRequests();

    // Bulk transfers handed out before any streamed traffic, whether monitoring or not.
    void queueBulk(const Bytes &transfer);
    // Demo traffic while monitoring: transfers per second (0 = none, only queued ones),
    // each of 1 to 3 records; recordsPerTransfer 0 cycles through 1, 2 and 3.
    void setStreamRate(double transfersPerSecond, int recordsPerTransfer = 0);
    // Frame reports streamed since the device was made (queued transfers not counted).
    uint64_t streamedRecords() const;

    static Bytes frameReport(uint32_t timeStamp, bool extended, bool remote, int channel,
                             uint32_t id, bool sent, const Bytes &data);

private:
    struct ScriptedFault {
        uint8_t code;
        Fault fault;
        int replyIndex;
    };
    using Clock = std::chrono::steady_clock;

    std::vector<Bytes> answer(const Bytes &request); // with the lock held
    Bytes nextStreamedTransfer(Clock::time_point now); // with the lock held
    bool bulkDue(Bytes &out, Clock::time_point now);   // with the lock held
    Bytes demoFrame(uint64_t n, uint32_t stamp) const; // with the lock held

    mutable std::mutex m_mutex;
    std::condition_variable m_cond;
    State m_state;
    bool m_plugged = true;
    std::function<void(bool)> m_plugListener;
    std::deque<Bytes> m_replies;
    std::deque<Bytes> m_bulkQueue;
    std::deque<ScriptedFault> m_faults;
    std::vector<Bytes> m_requests;
    double m_rate = 0;
    Clock::time_point m_monitorStart;
    Clock::time_point m_nextDue;
    uint64_t m_streamed = 0;
    uint64_t m_streamedRecords = 0;
    int m_recordsPerTransfer = 0;
};
