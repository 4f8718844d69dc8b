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

namespace kalmora::data {

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
    std::vector<ColumnDesc> columns;
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
                 const unsigned char *row, Value &out);

/// A parameter as bound: its type and value; unset until setParameter.
struct FbBoundParam
{
    ColumnDesc type;
    Value value;
};

/// The input message of a statement: metadata made from the server's description with
/// each parameter's type replaced by the type of its bound value, and the buffer.
class FbInputMessage
{
public:
    /// Throws DriverError (ParameterNotSet, InvalidFieldType) or a client exception.
    void build(FbSession &session, Firebird::IMessageMetadata *described,
               const std::vector<std::optional<FbBoundParam>> &params);
    Firebird::IMessageMetadata *metadata() const { return metadata_.get(); }
    unsigned char *buffer() { return buffer_.empty() ? nullptr : buffer_.data(); }

private:
    FbRef<Firebird::IMessageMetadata> metadata_;
    std::vector<unsigned char> buffer_;
};

} // namespace kalmora::data
