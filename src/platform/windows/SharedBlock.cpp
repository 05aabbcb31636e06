// File mappings on the paging file: the creator learns when the name already existed; the server
// opens the mapping by name.
#include "platform/SharedBlock.h"

#include <windows.h>

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
    if (!Map()) {
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

uint8_t* SharedBlock::Map() {
    if (!mapping_) return nullptr;
    if (view_) return view_;
    // Mapping 0 bytes maps the whole object, so a short one is caught by the size check.
    void* p = ::MapViewOfFile(static_cast<HANDLE>(mapping_), FILE_MAP_ALL_ACCESS, 0, 0, owner_ ? size_ : 0);
    view_ = static_cast<uint8_t*>(p);
    return view_;
}

void SharedBlock::Unmap() {
    if (view_) ::UnmapViewOfFile(view_);
    view_ = nullptr;
}

void SharedBlock::Close() {
    Unmap();
    if (mapping_) ::CloseHandle(static_cast<HANDLE>(mapping_));  // the name goes with the last handle
    mapping_ = nullptr;
    owner_ = false;
    systemName_.clear();
    size_ = 0;
}

}  // namespace halvex::platform
