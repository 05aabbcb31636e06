// File mappings on the paging file: the creator learns when the name already existed; the server
// opens the mapping by name.
#include "platform/SharedBlock.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

namespace halvex::platform {

std::string SharedBlockSystemName(const std::string& name) { return name; }  // the session's own namespace

SharedBlock::~SharedBlock() { Close(); }

SharedBlock::Created SharedBlock::Create(const std::string& name, size_t sizeBytes) {
    Close();
    ::SetLastError(0);
    HANDLE mapping = ::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                          static_cast<DWORD>(sizeBytes), name.c_str());
    if (!mapping) return Created::Failed;
    if (::GetLastError() == ERROR_ALREADY_EXISTS) {  // someone else's block: never share it
        ::CloseHandle(mapping);
        return Created::AlreadyExisted;
    }
    mapping_ = mapping;
    owner_ = true;
    systemName_ = name;
    size_ = sizeBytes;
    if (!map()) {
        Close();
        return Created::Failed;
    }
    return Created::Ok;
}

bool SharedBlock::OpenExisting(const std::string& name, size_t sizeBytes) {
    Close();
    HANDLE mapping = ::OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, name.c_str());
    if (!mapping) return false;
    mapping_ = mapping;
    owner_ = false;
    systemName_ = name;
    size_ = sizeBytes;
    // A mapping smaller than expected is refused here rather than read past its end later.
    if (!map()) {
        Close();
        return false;
    }
    MEMORY_BASIC_INFORMATION region{};
    if (::VirtualQuery(view_, &region, sizeof region) == 0 || region.RegionSize < sizeBytes) {
        Close();
        return false;
    }
    return true;
}

bool SharedBlock::map() {
    if (!mapping_) return false;
    if (view_) return true;
    // Mapping 0 bytes maps the whole object, so a short one is caught by the size check.
    void* p = ::MapViewOfFile(static_cast<HANDLE>(mapping_), FILE_MAP_ALL_ACCESS, 0, 0, owner_ ? size_ : 0);
    view_ = static_cast<uint8_t*>(p);
    return view_ != nullptr;
}

size_t SharedBlock::ReadAt(size_t offsetBytes, void* into, size_t bytes) const {
    if (!view_ || offsetBytes > size_) return 0;
    const size_t n = std::min(bytes, size_ - offsetBytes);
    std::memcpy(into, view_ + offsetBytes, n);
    return n;
}

bool SharedBlock::WriteAt(size_t offsetBytes, const void* from, size_t bytes) {
    if (!view_ || offsetBytes > size_ || bytes > size_ - offsetBytes) return false;
    std::memcpy(view_ + offsetBytes, from, bytes);
    return true;
}

// Paging-file mappings are committed when they are created, so there is nothing to reserve.
BlockReservation SetBlockReservation(BlockReservation reserve) {
    static BlockReservation current = nullptr;
    BlockReservation previous = current;
    current = reserve;
    return previous;
}

void SharedBlock::Close() {
    if (view_) ::UnmapViewOfFile(view_);
    view_ = nullptr;
    if (mapping_) ::CloseHandle(static_cast<HANDLE>(mapping_));  // the name goes with the last handle
    mapping_ = nullptr;
    owner_ = false;
    systemName_.clear();
    size_ = 0;
}

}  // namespace halvex::platform
