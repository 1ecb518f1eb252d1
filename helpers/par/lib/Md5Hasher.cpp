#include "Md5Hasher.h"

#include <openssl/evp.h>
#include <stdexcept>
#include <utility>

namespace velmora::par1 {
namespace {

void startDigest(EVP_MD_CTX* context) {
    if (EVP_DigestInit_ex(context, EVP_md5(), nullptr) != 1)
        throw std::runtime_error("MD5 is not available from OpenSSL");
}

} // namespace

Md5Hasher::Md5Hasher() : context_(EVP_MD_CTX_new()) {
    if (context_ == nullptr)
        throw std::bad_alloc();
    startDigest(context_);
}

Md5Hasher::~Md5Hasher() {
    EVP_MD_CTX_free(context_);
}

Md5Hasher::Md5Hasher(Md5Hasher&& other) noexcept
    : context_(std::exchange(other.context_, nullptr)) {}

Md5Hasher& Md5Hasher::operator=(Md5Hasher&& other) noexcept {
    std::swap(context_, other.context_);
    return *this;
}

void Md5Hasher::update(const void* data, std::size_t size) {
    if (size > 0 && EVP_DigestUpdate(context_, data, size) != 1)
        throw std::runtime_error("MD5 update failed");
}

Md5Digest Md5Hasher::finish() {
    Md5Digest digest{};
    unsigned int length = 0;
    if (EVP_DigestFinal_ex(context_, digest.data(), &length) != 1 || length != digest.size())
        throw std::runtime_error("MD5 finish failed");
    startDigest(context_);
    return digest;
}

Md5Digest Md5Hasher::of(std::span<const std::uint8_t> data) {
    Md5Hasher hasher;
    hasher.update(data.data(), data.size());
    return hasher.finish();
}

} // namespace velmora::par1
