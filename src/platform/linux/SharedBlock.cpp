// POSIX shared memory: created exclusively, so a name already in use is reported, never reused.
// Accessed with pread and pwrite, which report a shrunk block where a mapping would fault.
#include "platform/SharedBlock.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
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

// ftruncate alone reserves nothing: a full /dev/shm would show only as SIGBUS on first use.
int reserveWithFallocate(int descriptor, uint64_t sizeBytes) {
    return ::posix_fallocate(descriptor, 0, static_cast<off_t>(sizeBytes));
}

std::atomic<BlockReservation> reservation{reserveWithFallocate};

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
    if (::ftruncate(fd, static_cast<off_t>(sizeBytes)) != 0 || reservation.load()(fd, sizeBytes) != 0) {
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

size_t SharedBlock::ReadAt(size_t offsetBytes, void* into, size_t bytes) const {
    auto* p = static_cast<uint8_t*>(into);
    size_t done = 0;
    while (fd_ >= 0 && done < bytes) {
        const ssize_t n = ::pread(fd_, p + done, bytes - done, static_cast<off_t>(offsetBytes + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;  // the end of a shrunk block, or an error
        done += static_cast<size_t>(n);
    }
    std::memset(p + done, 0, bytes - done);
    return done;
}

bool SharedBlock::WriteAt(size_t offsetBytes, const void* from, size_t bytes) {
    const auto* p = static_cast<const uint8_t*>(from);
    size_t done = 0;
    while (fd_ >= 0 && done < bytes) {
        const ssize_t n = ::pwrite(fd_, p + done, bytes - done, static_cast<off_t>(offsetBytes + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return done == bytes;
}

BlockReservation SetBlockReservation(BlockReservation reserve) {
    return reservation.exchange(reserve ? reserve : reserveWithFallocate);
}

void SharedBlock::Close() {
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
