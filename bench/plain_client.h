// SPDX-License-Identifier: Apache-2.0
#pragma once
// The Firebird client API used directly and as plainly as it goes: the reference the
// benchmarks measure the program against. Same client library and database as the
// program's driver, and the driver's transaction mode (read committed with record versions,
// read-write, waiting on locks); statements prepared once, messages as the server describes
// them, filled and read in place.

#include <cstdint>
#include <cstring>
#include <firebird/Interface.h>
#include <string>
#include <vector>

namespace kalmora::bench {

/// One attachment, detached at the end.
class PlainClient
{
public:
    PlainClient(const std::string &database, const std::string &user, const std::string &password);
    ~PlainClient();
    PlainClient(const PlainClient &) = delete;
    PlainClient &operator=(const PlainClient &) = delete;

    Firebird::IAttachment *attachment() const { return attachment_; }
    Firebird::IUtil *util() const { return util_; }
    Firebird::ThrowStatusWrapper &status() { return status_; }

    /// A transaction in the driver's mode.
    Firebird::ITransaction *startTransaction();
    /// Runs `text` (no parameters, no result) in a transaction of its own.
    void execute(const std::string &text);
    /// Runs the query `text` in a transaction of its own and reads its rows to the end.
    void readAll(const std::string &text);
    /// The text of a client failure.
    static std::string errorText(const Firebird::FbException &failure);

private:
    Firebird::IMaster *master_;
    Firebird::IUtil *util_;
    Firebird::ThrowStatusWrapper status_;
    Firebird::IProvider *provider_ = nullptr;
    Firebird::IAttachment *attachment_ = nullptr;
};

/// A message of a prepared statement as the server describes it: the buffer and each
/// field's offset and null offset.
struct PlainMessage
{
    PlainMessage(Firebird::ThrowStatusWrapper &status, Firebird::IMessageMetadata *metadata);
    ~PlainMessage();
    PlainMessage(const PlainMessage &) = delete;
    PlainMessage &operator=(const PlainMessage &) = delete;

    Firebird::IMessageMetadata *metadata;
    std::vector<unsigned char> buffer;
    std::vector<unsigned> offsets;
    std::vector<unsigned> nullOffsets;

    template <class T> T read(std::size_t field) const
    {
        T value;
        std::memcpy(&value, buffer.data() + offsets[field], sizeof value);
        return value;
    }
    template <class T> void write(std::size_t field, T value)
    {
        std::memcpy(buffer.data() + offsets[field], &value, sizeof value);
        const std::int16_t notNull = 0;
        std::memcpy(buffer.data() + nullOffsets[field], &notNull, sizeof notNull);
    }
    bool isNull(std::size_t field) const
    {
        std::int16_t indicator;
        std::memcpy(&indicator, buffer.data() + nullOffsets[field], sizeof indicator);
        return indicator != 0;
    }
};

} // namespace kalmora::bench
