#pragma once

#include "board/FirmwareState.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// What the simulated board saw on the cable, for tests and diagnostics.

enum class BusEvent : std::uint8_t {
    ByteWritten,      // a write cycle completed: the PC's byte reached the board
    ByteRead,         // a read cycle completed: the board's byte went to the PC
    CycleAborted,     // a strobe withdrawn before the board acknowledged it (value: 1 write, 0 read)
    ReadyHandshake,   // the PC's ready strobe after a converted block
    ResetPulse,       // write and address strobe together (value: 1 when it reset the board)
};

struct BusRecord {
    BusEvent event;
    std::uint8_t value;
    bool operator==(const BusRecord&) const = default;
};

// One four-byte command frame as the board's program received it.
struct CommandFrame {
    std::uint8_t first = 0;
    std::uint8_t high = 0;
    std::uint8_t low = 0;
    std::uint8_t code = 0;
    FirmwareState state = FirmwareState::Off;   // the state that received it
    bool obeyed = false;                        // false: the state does not know the command
    std::int32_t Word() const { return high * 256 + low; }
};

// A fixed-size ring that keeps the newest entries; recording never allocates.
template <typename T>
class RingLog {
public:
    explicit RingLog(std::size_t capacity) : items_(capacity ? capacity : 1) {}
    void Push(const T& item)
    {
        items_[next_] = item;
        next_ = next_ + 1 == items_.size() ? 0 : next_ + 1;
        if (count_ < items_.size())
            ++count_;
        else
            ++dropped_;
    }
    void Clear() { next_ = count_ = dropped_ = 0; }
    std::size_t Size() const { return count_; }
    std::size_t Dropped() const { return dropped_; }
    // Oldest first.
    std::vector<T> Items() const
    {
        std::vector<T> out;
        out.reserve(count_);
        const std::size_t start = count_ < items_.size() ? 0 : next_;
        for (std::size_t i = 0; i < count_; ++i)
            out.push_back(items_[(start + i) % items_.size()]);
        return out;
    }

private:
    std::vector<T> items_;
    std::size_t next_ = 0;
    std::size_t count_ = 0;
    std::size_t dropped_ = 0;
};

// Byte-level records can be switched off (benchmarks, long demo runs); command frames
// are few and are always kept. Both logs keep the newest entries when full.
class BusTrace {
public:
    static constexpr std::size_t kDefaultRecords = std::size_t(1) << 17;   // a 32768-sample upload and more
    static constexpr std::size_t kDefaultFrames = std::size_t(1) << 12;

    explicit BusTrace(std::size_t recordCapacity = kDefaultRecords,
                      std::size_t frameCapacity = kDefaultFrames)
        : records_(recordCapacity), frames_(frameCapacity) {}

    void SetEnabled(bool on) { enabled_ = on; }
    bool Enabled() const { return enabled_; }
    void Clear() { records_.Clear(); frames_.Clear(); }

    void Record(BusEvent event, std::uint8_t value)
    {
        if (enabled_)
            records_.Push({event, value});
    }
    void RecordFrame(const CommandFrame& frame) { frames_.Push(frame); }

    std::vector<BusRecord> Records() const { return records_.Items(); }
    std::size_t DroppedRecords() const { return records_.Dropped(); }
    // The bytes of one kind of record, in order.
    std::vector<std::uint8_t> Bytes(BusEvent event) const;
    std::vector<std::uint8_t> BytesWritten() const { return Bytes(BusEvent::ByteWritten); }
    std::vector<std::uint8_t> BytesRead() const { return Bytes(BusEvent::ByteRead); }

    std::vector<CommandFrame> Frames() const { return frames_.Items(); }
    std::vector<CommandFrame> FramesWithCode(std::uint8_t code) const;

private:
    bool enabled_ = true;
    RingLog<BusRecord> records_;
    RingLog<CommandFrame> frames_;
};
