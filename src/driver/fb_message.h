// SPDX-License-Identifier: Apache-2.0
#pragma once
// Firebird messages: the layout of an output row read once from its metadata, the column
// descriptions it gives, decoding a field of a row buffer into a Value, and the input
// message built for bound parameters.

#include "driver/driver.h"
#include "driver/fb_handles.h"

#include <cstddef>
#include <firebird/Interface.h>
#include <optional>
#include <vector>

namespace kalmora::driver {

class FbSession;

/// One field of a message, as its metadata gives it.
struct FbField
{
    unsigned type = 0; // SQL_* without the null bit
    int subType = 0;
    unsigned length = 0;
    int scale = 0;
    unsigned charSet = 0;
    unsigned offset = 0;
    unsigned nullOffset = 0;
    bool nullable = true;
};

/// The fields and column descriptions of an output message, read once.
struct FbRowLayout
{
    std::vector<FbField> fields;
    std::vector<core::ColumnDesc> columns;
    unsigned messageLength = 0;
};

/// Throws DriverError (InvalidFieldType) for a column type the driver cannot read.
FbRowLayout readRowLayout(FbSession &session, Firebird::IMessageMetadata *metadata);

inline bool fieldIsNull(const FbField &field, const unsigned char *row)
{
    return *reinterpret_cast<const short *>(row + field.nullOffset) != 0;
}

/// Decodes a non-null field of `row` into `out`, reusing its text buffer. Blobs are read
/// whole (or up to the session's blob size) in `transaction`.
void decodeField(FbSession &session, Firebird::ITransaction *transaction, const FbField &field,
                 const unsigned char *row, core::Value &out);

/// A parameter as bound: its type and value; unset until setParameter.
struct FbBoundParam
{
    core::ColumnDesc type;
    core::Value value;
};

/// How one parameter travels: its SQL type, length and scale in the message, or the type the
/// server described when a typeless null keeps it.
struct FbWireType
{
    unsigned type = 0;
    unsigned length = 0;
    int scale = 0;
    bool keepDescribed = false;
    friend bool operator==(const FbWireType &, const FbWireType &) = default;
};

/// The input message of one prepared statement: metadata made from the server's description
/// with each parameter's type replaced by the type of its bound value, the offsets it gives,
/// and the buffer. Kept for the life of the statement: an execute whose values travel with
/// the same types as the last one only writes the buffer again.
class FbInputMessage
{
public:
    /// Reads the server's description of the parameters; once per prepare.
    void describe(FbSession &session, Firebird::IMessageMetadata *described);
    /// Writes the bound values into the message, first making its metadata again when a
    /// value's type differs from the last fill's. Throws DriverError (ParameterNotSet,
    /// InvalidFieldType, InvalidPrecision, InvalidLength) or a client exception.
    void fill(FbSession &session, const std::vector<std::optional<FbBoundParam>> &params);
    Firebird::IMessageMetadata *metadata() const { return metadata_.get(); }
    unsigned char *buffer() { return buffer_.empty() ? nullptr : buffer_.data(); }

private:
    /// A parameter as the server describes it.
    struct Described
    {
        unsigned type = 0;
        unsigned length = 0;
        unsigned charSet = 0;
    };
    void build(FbSession &session, const std::vector<FbWireType> &wires);

    FbRef<Firebird::IMessageMetadata> described_;
    std::vector<Described> fields_;
    std::vector<FbWireType> wires_; // of metadata_
    std::vector<FbWireType> next_;  // scratch for the next fill
    FbRef<Firebird::IMessageMetadata> metadata_;
    std::vector<unsigned> offsets_;
    std::vector<unsigned> nullOffsets_;
    std::vector<unsigned char> buffer_;
};

} // namespace kalmora::driver
