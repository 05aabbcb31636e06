#include "simlink/SimIpcClient.h"
#include "simlink/SimOffsets.h"
#include "simlink/SimVariables.h"

namespace halvex {

IpcSimVariables::IpcSimVariables() {
    uint32_t& result = LastResultRef();
    const bool opened = SimIpcClient::Open(0, result);
    // A connection another object of this process holds is not ours to close.
    if (!opened && result != SimIpcCode::AlreadyOpen) SimIpcClient::Close();
    SetConnected(opened);
}

IpcSimVariables::~IpcSimVariables() {
    if (IsConnected()) SimIpcClient::Close();
}

bool IpcSimVariables::QueueRead(uint32_t offset, uint32_t sizeBytes, void* destination, uint32_t& result) {
    return SimIpcClient::Read(offset, sizeBytes, destination, result);
}

bool IpcSimVariables::QueueWrite(uint32_t offset, uint32_t sizeBytes, const void* source, uint32_t& result) {
    return SimIpcClient::Write(offset, sizeBytes, source, result);
}

bool IpcSimVariables::Process(uint32_t& result) { return SimIpcClient::Process(result); }

bool IpcSimVariables::ReadAltitudes() {
    int32_t feet = 0;
    uint32_t radio = 0;
    if (!ReadOne(offsets::AltitudeFeet.at, 4, &feet)) return false;
    altitudeFt_ = static_cast<float>(feet);
    if (!ReadOne(offsets::RadioAltitude.at, 4, &radio)) return false;
    radioAltitudeFt_ = static_cast<float>(radio * 5.0061644e-5);
    return true;
}

}  // namespace halvex
