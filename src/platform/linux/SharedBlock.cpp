// POSIX shared memory: created exclusively, so a name already in use is reported, never reused.
#include "platform/SharedBlock.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <set>

namespace halvex::platform {

namespace {

// Names this process has created and still holds. Block names carry the process id, so one that
// exists but is not held here was left behind by a dead process of the same id (these blocks,
// unlike the other platform's, outlive their process) and may be removed.
struct HeldNames {
    std::mutex lock;
    std::set<std::string> names;
};

HeldNames& held() {
    static HeldNames h;
    return h;
}

}  // namespace

std::string SharedBlockSystemName(const std::string& name) {
    std::string s = "/halvex." + std::to_string(getuid()) + "." + name;
    for (size_t i = 1; i < s.size(); ++i)
        if (s[i] == '/') s[i] = '_';
    return s;
}

SharedBlock::~SharedBlock() { Close(); }

SharedBlock::Created SharedBlock::Create(const std::string& name, size_t sizeBytes) {
    Close();
    const std::string systemName = SharedBlockSystemName(name);
    std::lock_guard guard(held().lock);
    int fd = ::shm_open(systemName.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0 && errno == EEXIST && !held().names.count(systemName) && ::shm_unlink(systemName.c_str()) == 0)
        fd = ::shm_open(systemName.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) return errno == EEXIST ? Created::AlreadyExisted : Created::Failed;
    if (::ftruncate(fd, static_cast<off_t>(sizeBytes)) != 0) {
        ::close(fd);
        ::shm_unlink(systemName.c_str());
        return Created::Failed;
    }
    held().names.insert(systemName);
    fd_ = fd;
    owner_ = true;
    systemName_ = systemName;
    size_ = sizeBytes;
    return Created::Ok;
}

bool SharedBlock::OpenExisting(const std::string& name, size_t sizeBytes) {
    Close();
    const std::string systemName = SharedBlockSystemName(name);
    const int fd = ::shm_open(systemName.c_str(), O_RDWR | O_CLOEXEC, 0);
    if (fd < 0) return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || st.st_size < static_cast<off_t>(sizeBytes)) {  // never map past its end
        ::close(fd);
        return false;
    }
    fd_ = fd;
    owner_ = false;
    systemName_ = systemName;
    size_ = sizeBytes;
    return true;
}

uint8_t* SharedBlock::Map() {
    if (fd_ < 0) return nullptr;
    if (view_) return view_;
    void* p = ::mmap(nullptr, size_, PROT_READ | PROT_WRITE, MAP_SHARED, fd_, 0);
    if (p == MAP_FAILED) return nullptr;
    view_ = static_cast<uint8_t*>(p);
    return view_;
}

void SharedBlock::Unmap() {
    if (view_) ::munmap(view_, size_);
    view_ = nullptr;
}

void SharedBlock::Close() {
    Unmap();
    if (fd_ >= 0) {
        ::close(fd_);
        if (owner_) {
            std::lock_guard guard(held().lock);
            ::shm_unlink(systemName_.c_str());
            held().names.erase(systemName_);
        }
    }
    fd_ = -1;
    owner_ = false;
    systemName_.clear();
    size_ = 0;
}

}  // namespace halvex::platform
