// SPDX-License-Identifier: Apache-2.0
#include "driver/driver_error.h"

#include <array>
#include <utility>

namespace kalmora::driver {

namespace {

struct CodeText
{
    int code;
    const char *text;
};

constexpr std::array<CodeText, 26> kCodeTexts{{
    {1, "[0x0001]: Warning"},
    {2, "[0x0002]: Insufficient Memory for Operation"},
    {3, "[0x0003]: Invalid Field Type"},
    {4, "[0x0004]: Invalid Handle"},
    {5, "[0x0005]: Operation Not Supported"},
    {6, "[0x0006]: Invalid Time"},
    {7, "[0x0007]: Invalid Data Translation"},
    {8, "[0x0008]: Parameter/Column out of Range"},
    {9, "[0x0009]: Invalid Parameter"},
    {10, "[0x000A]: Result set at EOF"},
    {11, "dbExpress Error [0x000B]: Parameter Not Set"},
    {12, "[0x000C] Invalid Username/Password"},
    {13, "[0x000D]: Invalid Precision"},
    {14, "[0x000E]: Invalid Length"},
    {15, "[0x000F]: Invalid Transaction Isolation Level"},
    {16, "[0x0010]: Invalid Transaction ID"},
    {17, "[0x0011]: Duplicate Transaction ID"},
    {19, "[0x0013]: Local Transaction already active"},
    {20, "[0x0014]: Multiple Transactions not Enabled"},
    {21, "[0x0015]: Connection failed"},
    {22, "[0x0016]: Driver initialization failed"},
    {23, "[0x0017]: Optimistic Locking failed"},
    {24, "[0x0018]: Invalid REF"},
    {25, "[0x0019]: No table found"},
    {64, "[0x0064]: No more data"},
    {65, "[0x0065]: SQL Error"},
}};

} // namespace

std::string resultCodeText(int code)
{
    for (const CodeText &entry : kCodeTexts) {
        if (entry.code == code)
            return entry.text;
    }
    return {};
}

std::string composeDriverMessage(int code, const std::string &serverText,
                                 const std::string &previous)
{
    std::string message;
    if (code >= 1 && code <= 100) {
        const std::string codeText = resultCodeText(code);
        if (!codeText.empty())
            message = "dbExpress Error: " + codeText;
    }
    if (!serverText.empty()) {
        if (!message.empty())
            message += "\r\n";
        message += "SQL Server Error: " + serverText;
    }
    if (message.empty()) {
        if (!previous.empty())
            return previous;
        return "dbExpress Error: Unknown Error Code '" + std::to_string(code) + "'";
    }
    return message;
}

DriverError::DriverError(int code, std::string serverText)
    : core::EDatabaseError(composeDriverMessage(code, serverText)), code_(code),
      serverText_(std::move(serverText))
{
}

DriverError::DriverError(int code, std::string serverText, const std::string &message)
    : core::EDatabaseError(message), code_(code), serverText_(std::move(serverText))
{
}

std::string FailureHistory::compose(int code, const std::string &serverText)
{
    last_ = composeDriverMessage(code, serverText, last_);
    return last_;
}

DriverError FailureHistory::recompose(const DriverError &error)
{
    return DriverError(error.code(), error.serverText(), compose(error.code(), error.serverText()));
}

} // namespace kalmora::driver
