// The transfer control: a blocking HTTP GET on the calling thread, bounded in
// all by the instance's request time-out.
#pragma once

#include <chrono>
#include <stdexcept>
#include <string>

namespace trevalon::net {

// Raised by OpenURL when no answer could be had.
class TransferError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class Inet {
public:
    explicit Inet(std::chrono::milliseconds requestTimeout) : requestTimeout_(requestTimeout) {}

    // The address of the next fetch.
    std::string URL;

    // GET URL; the whole response body as text. Throws TransferError.
    std::string OpenURL();

    std::chrono::milliseconds RequestTimeout() const { return requestTimeout_; }

private:
    std::chrono::milliseconds requestTimeout_;
};

// GET `address`; a failed fetch leaves the answer empty, for a caller that
// never stops on one.
inline std::string FetchOrEmpty(Inet& inet, const std::string& address) {
    try {
        inet.URL = address;
        return inet.OpenURL();
    } catch (...) {
        return {};
    }
}

}  // namespace trevalon::net
