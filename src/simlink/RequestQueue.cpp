#include "simlink/RequestQueue.h"

#include <cstring>

namespace halvex {

void RequestQueue::Attach(uint8_t* view) {
    view_ = view;
    next_ = count_ = sealed_ = sealedBytes_ = 0;
}

void RequestQueue::Detach() { Attach(nullptr); }

bool RequestQueue::fits(uint64_t recordBytes) const {
    return view_ && count_ < kMaxRecords && uint64_t{next_} + recordBytes + kTerminatorBytes <= kUsableBytes;
}

void RequestQueue::put32(uint32_t at, uint32_t value) { std::memcpy(view_ + at, &value, 4); }

uint32_t RequestQueue::get32(uint32_t at) const {
    uint32_t v;
    std::memcpy(&v, view_ + at, 4);
    return v;
}

bool RequestQueue::QueueRead(uint32_t type, uint32_t offset, uint32_t sizeBytes, void* destination) {
    if (!fits(uint64_t{kReadHeaderBytes} + sizeBytes)) return false;
    const bool copiesBack = destination && sizeBytes;
    put32(next_, type);
    put32(next_ + 4, offset);
    put32(next_ + 8, sizeBytes);
    put32(next_ + 12, copiesBack ? DestinationField(destination, count_) : 0);
    std::memset(view_ + next_ + kReadHeaderBytes, 0, sizeBytes);
    records_[count_++] = Record{next_, sizeBytes, copiesBack ? destination : nullptr, Kind::Read};
    next_ += kReadHeaderBytes + sizeBytes;
    return true;
}

bool RequestQueue::QueueWrite(uint32_t type, uint32_t offset, uint32_t sizeBytes, const void* source) {
    if (!fits(uint64_t{kWriteHeaderBytes} + sizeBytes)) return false;
    put32(next_, type);
    put32(next_ + 4, offset);
    put32(next_ + 8, sizeBytes);
    if (source)
        std::memcpy(view_ + next_ + kWriteHeaderBytes, source, sizeBytes);
    else
        std::memset(view_ + next_ + kWriteHeaderBytes, 0, sizeBytes);
    records_[count_++] = Record{next_, sizeBytes, nullptr, Kind::Write};
    next_ += kWriteHeaderBytes + sizeBytes;
    return true;
}

bool RequestQueue::QueueEightByteRead(uint32_t type, uint32_t offset, void* destination) {
    if (!fits(kEightByteReadBytes)) return false;
    put32(next_, type);
    put32(next_ + 4, offset);
    put32(next_ + 8, destination ? DestinationField(destination, count_) : 0);
    std::memset(view_ + next_ + 12, 0, 8);
    records_[count_++] = Record{next_, 8, destination, Kind::EightByteRead};
    next_ += kEightByteReadBytes;
    return true;
}

void RequestQueue::Seal() {
    if (!view_) return;
    put32(next_, 0);
    sealed_ = count_;
    sealedBytes_ = next_ + kTerminatorBytes;
    next_ = count_ = 0;
}

void RequestQueue::Deliver(uint32_t highestType) {
    for (uint32_t i = 0; i < sealed_; ++i) {
        const Record& r = records_[i];
        const uint32_t type = get32(r.place);
        if (type == 0) break;
        if (type > highestType) {
            put32(r.place, 0);
            break;
        }
        if (!r.destination) continue;
        const uint32_t dataAt = r.place + (r.kind == Kind::EightByteRead ? 12 : kReadHeaderBytes);
        std::memcpy(r.destination, view_ + dataAt, r.sizeBytes);
    }
    sealed_ = 0;
}

}  // namespace halvex
