#pragma once

#include <stdexcept>
#include <string>

namespace velmora::par1 {

// A file that is not a PAR 1.0 file at all, or one whose structure is broken.
class Par1FormatError : public std::runtime_error {
public:
    enum class Kind { NotPar, Malformed };

    Par1FormatError(Kind kind, const std::string& message)
        : std::runtime_error(message), kind_(kind) {}

    Kind kind() const { return kind_; }

private:
    Kind kind_;
};

// A failed system call on a file; the message names the file and the reason.
class IoError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace velmora::par1
