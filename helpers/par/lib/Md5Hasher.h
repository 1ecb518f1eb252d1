#pragma once

#include "Par1Constants.h"

#include <cstddef>
#include <span>

struct evp_md_ctx_st;

namespace velmora::par1 {

// Incremental MD5 through OpenSSL's EVP interface.
class Md5Hasher {
public:
    Md5Hasher();
    ~Md5Hasher();
    Md5Hasher(Md5Hasher&& other) noexcept;
    Md5Hasher& operator=(Md5Hasher&& other) noexcept;
    Md5Hasher(const Md5Hasher&) = delete;
    Md5Hasher& operator=(const Md5Hasher&) = delete;

    void update(const void* data, std::size_t size);
    // The digest of everything added so far; the hasher then starts over.
    Md5Digest finish();

    static Md5Digest of(std::span<const std::uint8_t> data);

private:
    evp_md_ctx_st* context_;
};

} // namespace velmora::par1
