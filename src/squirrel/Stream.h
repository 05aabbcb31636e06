// Stream: the byte stream behind blob and file objects (the common stream methods use it).
#pragma once

#include <cstdio>
#include <vector>

#include "squirrel/Vm.h"

namespace sq {

struct Stream {
    virtual ~Stream() = default;
    virtual size_t read(void* dst, size_t n) = 0;
    virtual size_t write(const void* src, size_t n) = 0;
    virtual bool seek(long offset, int origin) = 0;  // origin: SEEK_SET / SEEK_CUR / SEEK_END
    virtual long tell() = 0;
    virtual long len() = 0;
    virtual bool eos() = 0;
    virtual bool flush() = 0;
    virtual bool valid() const { return true; }
};

struct BlobStream final : Stream {
    std::vector<uint8_t> data;
    size_t pos = 0;
    size_t read(void* dst, size_t n) override;
    size_t write(const void* src, size_t n) override;
    bool seek(long offset, int origin) override;
    long tell() override { return static_cast<long>(pos); }
    long len() override { return static_cast<long>(data.size()); }
    bool eos() override { return pos >= data.size(); }
    bool flush() override { return true; }
};

struct FileStream final : Stream {
    FILE* file = nullptr;
    bool owned = true;
    ~FileStream() override { if (file && owned) std::fclose(file); }
    size_t read(void* dst, size_t n) override { return std::fread(dst, 1, n, file); }
    size_t write(const void* src, size_t n) override { return std::fwrite(src, 1, n, file); }
    bool seek(long offset, int origin) override { return std::fseek(file, offset, origin) == 0; }
    long tell() override { return std::ftell(file); }
    long len() override;
    bool eos() override { return std::feof(file) != 0; }
    bool flush() override { return std::fflush(file) == 0; }
    bool valid() const override { return file != nullptr; }
};

void ReleaseStream(void* p);
// The stream of a blob or file instance; raises "the stream is invalid" otherwise.
Stream* StreamOf(Vm& vm, const Value& self);
// A new blob instance holding bytes (the class lives in the registry).
Value NewBlob(Vm& vm, std::vector<uint8_t> bytes);
// Builds a class whose methods are natives, optionally derived from base.
Class* MakeNativeClass(Vm& vm, Class* base);
void AddNativeMember(Vm& vm, Class* cls, const char* name, NativeFn fn, int params = 0, const char* mask = nullptr);

}  // namespace sq
