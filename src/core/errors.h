// SPDX-License-Identifier: Apache-2.0
#pragma once
// The failures of the system. Every failure carries the message the user sees; the
// failure display (src/app) shows it in the error box, except a silent abort.

#include <stdexcept>
#include <string>

namespace kalmora::core {

/// Base of every failure of the system: an exception carrying its message text.
class Exception : public std::runtime_error
{
public:
    explicit Exception(const std::string &message) : std::runtime_error(message) {}
    const std::string message() const { return what(); }
};

/// A failure of the data-set layer or the connection (state, binding, server errors).
class EDatabaseError : public Exception
{
public:
    using Exception::Exception;
};

/// A text that cannot be converted (dates, numbers).
class EConvertError : public Exception
{
public:
    using Exception::Exception;
};

/// A failure that crossed the provider boundary; trailing full stops and blanks removed.
class EOleException : public Exception
{
public:
    /// `errorCode`: the driver's result code of the failure behind it (0: none), so that a
    /// caller can still tell a server's answer apart after the message was reworded.
    explicit EOleException(const std::string &message, int errorCode = 0)
        : Exception(message), errorCode_(errorCode)
    {
    }
    int errorCode() const { return errorCode_; }

private:
    int errorCode_;
};

/// A failure reported by the in-memory data-set engine.
class EDBClient : public EDatabaseError
{
public:
    using EDatabaseError::EDatabaseError;
};

/// A failure that is never shown: it only ends the handler.
class EAbort : public Exception
{
public:
    EAbort() : Exception(std::string()) {}
};

/// The error box's text for a failure message (bytes of the locale's code page): a "." is
/// appended when the message is not empty and its last character's code is greater than
/// that of ".". Every byte of a multi-byte character is above ".", so the last byte decides.
std::string errorBoxText(const std::string &message);

} // namespace kalmora::core
