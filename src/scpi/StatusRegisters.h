#pragma once

#include <cstdint>

// The IEEE 488.2 status model: the standard event status register with its enable mask,
// and the status byte summarised from it, the error queue and the output queue.
class StatusRegisters {
public:
    enum EsrBit : std::uint8_t {
        OperationComplete = 0x01,
        QueryError = 0x04,
        DeviceError = 0x08,
        ExecutionError = 0x10,
        CommandError = 0x20,
        PowerOn = 0x80,
    };
    enum StbBit : std::uint8_t {
        ErrorAvailable = 0x04,
        MessageAvailable = 0x10,
        EventSummary = 0x20,
        RequestService = 0x40,
    };

    // The event bit an error number's class sets.
    static std::uint8_t EventBitFor(int errorCode);

    void SetEvent(std::uint8_t bits) { esr_ |= bits; }
    std::uint8_t ReadAndClearEsr();   // *ESR?
    void Clear() { esr_ = 0; }        // *CLS (the queue is cleared by its owner)
    void SetEse(int mask) { ese_ = std::uint8_t(mask); }
    void SetSre(int mask) { sre_ = std::uint8_t(mask & ~RequestService); }
    int Ese() const { return ese_; }
    int Sre() const { return sre_; }
    std::uint8_t Stb(bool errorsQueued, bool messageWaiting) const;

private:
    std::uint8_t esr_ = PowerOn;
    std::uint8_t ese_ = 0;
    std::uint8_t sre_ = 0;
};
