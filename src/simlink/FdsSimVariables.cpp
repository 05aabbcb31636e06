#include "simlink/FdsClient.h"
#include "simlink/SimOffsets.h"
#include "simlink/SimVariables.h"

namespace halvex {

FdsSimVariables::FdsSimVariables() {
    uint32_t& result = LastResultRef();
    const bool opened = FdsClient::Open(result);
    // A connection another object of this process holds is not ours to close.
    if (!opened && result != FdsCode::AlreadyOpen) FdsClient::Close();
    SetConnected(opened);
}

FdsSimVariables::~FdsSimVariables() {
    if (IsConnected()) FdsClient::Close();
}

bool FdsSimVariables::QueueRead(uint32_t offset, uint32_t sizeBytes, void* destination, uint32_t& result) {
    return FdsClient::Read(offset, sizeBytes, destination, result);
}

bool FdsSimVariables::QueueWrite(uint32_t offset, uint32_t sizeBytes, const void* source, uint32_t& result) {
    return FdsClient::Write(offset, sizeBytes, source, result);
}

bool FdsSimVariables::Process(uint32_t& result) { return FdsClient::Process(result); }

bool FdsSimVariables::ReadAltitudes() {
    int64_t fine = 0;
    int16_t groundMetres = 0;
    if (!ReadOne(offsets::AltitudeFine.at, 8, &fine)) return false;
    altitudeFt_ = static_cast<float>(static_cast<double>(fine) * 7.6388007e-10);
    if (!ReadOne(offsets::GroundAltitude.at, 2, &groundMetres)) return false;
    radioAltitudeFt_ = altitudeFt_ - groundMetres * 3.28084f;
    return true;
}

}  // namespace halvex
