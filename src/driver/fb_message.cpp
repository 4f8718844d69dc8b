// SPDX-License-Identifier: Apache-2.0
#include "driver/fb_message.h"

#include "driver/fb_session.h"
#include "driver/fb_types.h"

#include <array>
#include <cstring>
#include <limits>

namespace kalmora::driver {

using namespace Firebird;

namespace {

int bytesPerChar(unsigned charSet)
{
    switch (charSet) {
    case 3: // UNICODE_FSS
        return 3;
    case 4:  // UTF8
    case 69: // GB18030
        return 4;
    case 5:  // SJIS_0208
    case 6:  // EUCJ_0208
    case 44: // KSC_5601
    case 56: // BIG_5
    case 57: // GB_2312
    case 67: // GBK
    case 68: // CP943C
        return 2;
    default:
        return 1;
    }
}

core::ColumnDesc describe(const FbField &field, std::string name)
{
    core::ColumnDesc desc;
    desc.name = std::move(name);
    desc.width = static_cast<int>(field.length);
    desc.required = !field.nullable;
    const bool scaled = field.scale < 0;
    const std::optional<core::ColumnType> type = columnTypeOf(field.type, field.subType, scaled);
    if (!type)
        throw DriverError(ResultCode::InvalidFieldType,
                          "Column " + desc.name + " has a type the driver cannot read");
    desc.type = *type;
    // A message gives a decimal's storage, not its declared precision: the most digits
    // that storage holds.
    switch (field.type) {
    case SQL_TEXT:
    case SQL_VARYING:
        desc.width = static_cast<int>(field.length) / bytesPerChar(field.charSet);
        break;
    case SQL_SHORT:
        desc.precision = 4;
        break;
    case SQL_LONG:
        desc.precision = 9;
        break;
    case SQL_INT64:
        desc.precision = 18;
        break;
    default:
        break;
    }
    if (scaled) {
        desc.scale = -field.scale;
    } else if (desc.type != core::ColumnType::Decimal) {
        desc.precision = 0;
    }
    return desc;
}

std::int64_t readInteger(const FbField &field, const unsigned char *data)
{
    switch (field.type) {
    case SQL_SHORT: {
        std::int16_t v;
        std::memcpy(&v, data, sizeof v);
        return v;
    }
    case SQL_LONG: {
        std::int32_t v;
        std::memcpy(&v, data, sizeof v);
        return v;
    }
    case SQL_BOOLEAN:
        return *data != 0;
    default: {
        std::int64_t v;
        std::memcpy(&v, data, sizeof v);
        return v;
    }
    }
}

std::string &textSlot(core::Value &out)
{
    if (auto *text = std::get_if<std::string>(&out))
        return *text;
    return out.emplace<std::string>();
}

void readBlob(FbSession &session, ITransaction *transaction, const unsigned char *data,
              std::string &out)
{
    ThrowStatusWrapper status(session.status());
    ISC_QUAD id;
    std::memcpy(&id, data, sizeof id);
    FbRef<IBlob> blob(session.attachment()->openBlob(&status, transaction, &id, 0, nullptr));
    const int limitKb = session.options().blobSizeKb;
    const std::size_t limit = limitKb < 0 ? std::numeric_limits<std::size_t>::max()
                                          : static_cast<std::size_t>(limitKb) * 1024;
    out.clear();
    std::array<char, 32768> segment;
    while (out.size() < limit) {
        unsigned got = 0;
        const int result = blob->getSegment(&status, segment.size(), segment.data(), &got);
        if (result == IStatus::RESULT_NO_DATA)
            break;
        out.append(segment.data(), std::min<std::size_t>(got, limit - out.size()));
    }
    blob->close(&status);
    blob.forget();
}

/// An integer of any width; a negative scale makes it a decimal, a positive one multiplies.
void decodeScaledInteger(const FbField &field, const unsigned char *data, core::Value &out)
{
    std::int64_t v = readInteger(field, data);
    if (field.scale < 0) {
        out = core::Decimal{v, -field.scale};
    } else {
        for (int i = 0; i < field.scale; ++i)
            v *= 10;
        out = v;
    }
}

core::Date decodeDay(FbSession &session, ISC_DATE day)
{
    unsigned y = 0, m = 0, d = 0;
    session.util()->decodeDate(day, &y, &m, &d);
    return core::Date{static_cast<int>(y), static_cast<int>(m), static_cast<int>(d)};
}

} // namespace

FbRowLayout readRowLayout(FbSession &session, IMessageMetadata *metadata)
{
    FbRowLayout layout;
    session.guard([&] {
        ThrowStatusWrapper status(session.status());
        const unsigned count = metadata->getCount(&status);
        layout.fields.reserve(count);
        layout.columns.reserve(count);
        for (unsigned i = 0; i < count; ++i) {
            FbField field;
            field.type = metadata->getType(&status, i) & ~1u;
            field.subType = metadata->getSubType(&status, i);
            field.length = metadata->getLength(&status, i);
            field.scale = metadata->getScale(&status, i);
            field.charSet = metadata->getCharSet(&status, i);
            field.offset = metadata->getOffset(&status, i);
            field.nullOffset = metadata->getNullOffset(&status, i);
            field.nullable = metadata->isNullable(&status, i);
            layout.columns.push_back(describe(field, metadata->getAlias(&status, i)));
            layout.fields.push_back(field);
        }
        layout.messageLength = metadata->getMessageLength(&status);
    });
    return layout;
}

// A CHAR(n) of a UTF-8 column arrives in n * 4 bytes, blank-padded; the value is its
// first n characters, as in a single-byte column.
std::size_t fixedCharByteLength(const FbField &field, const unsigned char *data)
{
    const int perChar = bytesPerChar(field.charSet);
    if (perChar == 1 || (field.charSet != 3 && field.charSet != 4))
        return field.length;
    std::size_t characters = field.length / static_cast<unsigned>(perChar);
    std::size_t end = 0;
    while (end < field.length && characters > 0) {
        ++end;
        while (end < field.length && (data[end] & 0xC0) == 0x80)
            ++end; // continuation bytes of the same character
        --characters;
    }
    return end;
}

void decodeField(FbSession &session, ITransaction *transaction, const FbField &field,
                 const unsigned char *row, core::Value &out)
{
    const unsigned char *data = row + field.offset;
    switch (field.type) {
    case SQL_TEXT:
        textSlot(out).assign(reinterpret_cast<const char *>(data),
                             fixedCharByteLength(field, data));
        return;
    case SQL_VARYING: {
        std::uint16_t length;
        std::memcpy(&length, data, sizeof length);
        textSlot(out).assign(reinterpret_cast<const char *>(data + sizeof length), length);
        return;
    }
    case SQL_SHORT:
    case SQL_LONG:
    case SQL_INT64:
    case SQL_BOOLEAN:
        decodeScaledInteger(field, data, out);
        return;
    case SQL_FLOAT: {
        float v;
        std::memcpy(&v, data, sizeof v);
        out = static_cast<double>(v);
        return;
    }
    case SQL_DOUBLE:
    case SQL_D_FLOAT: {
        double v;
        std::memcpy(&v, data, sizeof v);
        out = v;
        return;
    }
    case SQL_TYPE_DATE: {
        ISC_DATE v;
        std::memcpy(&v, data, sizeof v);
        out = decodeDay(session, v);
        return;
    }
    case SQL_TYPE_TIME: {
        ISC_TIME v;
        std::memcpy(&v, data, sizeof v);
        out = core::Time{v};
        return;
    }
    case SQL_TIMESTAMP: {
        ISC_TIMESTAMP v;
        std::memcpy(&v, data, sizeof v);
        out = core::Timestamp{decodeDay(session, v.timestamp_date), core::Time{v.timestamp_time}};
        return;
    }
    case SQL_BLOB:
        session.guard([&] { readBlob(session, transaction, data, textSlot(out)); });
        return;
    default:
        throw session.error(ResultCode::InvalidFieldType);
    }
}

namespace {

FbWireType wireTypeOf(const core::ColumnDesc &type)
{
    switch (type.type) {
    case core::ColumnType::SmallInt:
    case core::ColumnType::Integer:
    case core::ColumnType::LargeInt:
        return {SQL_INT64, 8, 0};
    case core::ColumnType::Decimal:
        return {SQL_INT64, 8, -type.scale};
    case core::ColumnType::Float:
        return {SQL_DOUBLE, 8, 0};
    case core::ColumnType::Date:
        return {SQL_TYPE_DATE, 4, 0};
    case core::ColumnType::Time:
        return {SQL_TYPE_TIME, 4, 0};
    case core::ColumnType::Timestamp:
        return {SQL_TIMESTAMP, 8, 0};
    case core::ColumnType::FixedChar:
        return {SQL_TEXT, static_cast<unsigned>(std::max(type.width, 1)), 0};
    case core::ColumnType::String:
        // A typeless null (width 0) keeps the type the server described.
        return {SQL_VARYING, static_cast<unsigned>(std::max(type.width, 1)), 0, type.width == 0};
    case core::ColumnType::TextBlob:
    case core::ColumnType::BinaryBlob:
        return {SQL_VARYING, static_cast<unsigned>(std::max(type.width, 1)), 0};
    }
    return {};
}

// The wire type of a non-null value: its own kind decides, the bound type only chooses
// between CHAR and VARCHAR text; the server converts to the parameter's declared type.
FbWireType wireTypeOf(FbSession &session, const core::ColumnDesc &type, const core::Value &value)
{
    struct Visitor
    {
        FbSession &session;
        const core::ColumnDesc &type;
        FbWireType operator()(std::monostate) const { return wireTypeOf(type); }
        FbWireType operator()(std::int64_t) const { return {SQL_INT64, 8, 0}; }
        FbWireType operator()(const core::Decimal &d) const
        {
            if (d.scale < 0 || d.scale > 18)
                throw session.error(ResultCode::InvalidPrecision);
            return {SQL_INT64, 8, -d.scale};
        }
        FbWireType operator()(const core::Date &) const { return {SQL_TYPE_DATE, 4, 0}; }
        FbWireType operator()(const core::Time &) const { return {SQL_TYPE_TIME, 4, 0}; }
        FbWireType operator()(const core::Timestamp &) const { return {SQL_TIMESTAMP, 8, 0}; }
        FbWireType operator()(double) const { return {SQL_DOUBLE, 8, 0}; }
        FbWireType operator()(const std::string &s) const
        {
            if (s.size() > std::numeric_limits<std::uint16_t>::max() - 2)
                throw session.error(ResultCode::InvalidLength);
            const auto length = static_cast<unsigned>(std::max<std::size_t>(s.size(), 1));
            return {type.type == core::ColumnType::FixedChar ? unsigned{SQL_TEXT}
                                                             : unsigned{SQL_VARYING},
                    length, 0};
        }
    };
    return std::visit(Visitor{session, type}, value);
}

void encode(FbSession &session, const FbWireType &wire, const core::Value &value,
            unsigned char *data)
{
    IUtil *util = session.util();
    if (const auto *i = std::get_if<std::int64_t>(&value)) {
        std::memcpy(data, i, sizeof *i);
    } else if (const auto *d = std::get_if<core::Decimal>(&value)) {
        std::memcpy(data, &d->unscaled, sizeof d->unscaled);
    } else if (const auto *f = std::get_if<double>(&value)) {
        std::memcpy(data, f, sizeof *f);
    } else if (const auto *day = std::get_if<core::Date>(&value)) {
        const ISC_DATE v =
            util->encodeDate(static_cast<unsigned>(day->year), static_cast<unsigned>(day->month),
                             static_cast<unsigned>(day->day));
        std::memcpy(data, &v, sizeof v);
    } else if (const auto *t = std::get_if<core::Time>(&value)) {
        const ISC_TIME v = t->fractions;
        std::memcpy(data, &v, sizeof v);
    } else if (const auto *ts = std::get_if<core::Timestamp>(&value)) {
        ISC_TIMESTAMP v;
        v.timestamp_date = util->encodeDate(static_cast<unsigned>(ts->date.year),
                                            static_cast<unsigned>(ts->date.month),
                                            static_cast<unsigned>(ts->date.day));
        v.timestamp_time = ts->time.fractions;
        std::memcpy(data, &v, sizeof v);
    } else if (const auto *s = std::get_if<std::string>(&value)) {
        if (wire.type == SQL_TEXT) {
            std::memset(data, ' ', wire.length);
            std::memcpy(data, s->data(), s->size());
        } else {
            const auto length = static_cast<std::uint16_t>(s->size());
            std::memcpy(data, &length, sizeof length);
            std::memcpy(data + sizeof length, s->data(), s->size());
        }
    }
}

bool isText(unsigned type)
{
    return type == SQL_TEXT || type == SQL_VARYING;
}

} // namespace

void FbInputMessage::describe(FbSession &session, IMessageMetadata *described)
{
    *this = FbInputMessage();
    session.guard([&] {
        ThrowStatusWrapper status(session.status());
        const unsigned count = described->getCount(&status);
        fields_.reserve(count);
        for (unsigned i = 0; i < count; ++i)
            fields_.push_back(Described{described->getType(&status, i) & ~1u,
                                        described->getLength(&status, i),
                                        described->getCharSet(&status, i)});
    });
    described->addRef();
    described_ = FbRef<IMessageMetadata>(described);
}

void FbInputMessage::fill(FbSession &session,
                          const std::vector<std::optional<FbBoundParam>> &params)
{
    if (params.empty())
        return;
    next_.clear();
    for (std::size_t i = 0; i < params.size(); ++i) {
        const std::optional<FbBoundParam> &param = params[i];
        if (!param)
            throw session.error(ResultCode::ParameterNotSet);
        FbWireType wire = wireTypeOf(session, param->type, param->value);
        // Text into a text parameter travels at the parameter's own length when it fits, so
        // that values of other lengths keep the same message.
        const Described &described = fields_[i];
        if (wire.type == SQL_VARYING && !wire.keepDescribed && isText(described.type))
            wire.length = std::max(wire.length, described.length);
        next_.push_back(wire);
    }
    if (!metadata_ || next_ != wires_)
        build(session, next_);
    session.guard([&] {
        for (std::size_t i = 0; i < params.size(); ++i) {
            const core::Value &value = params[i]->value;
            const short indicator = isNull(value) ? -1 : 0;
            std::memcpy(buffer_.data() + nullOffsets_[i], &indicator, sizeof indicator);
            if (!isNull(value))
                encode(session, wires_[i], value, buffer_.data() + offsets_[i]);
        }
    });
}

void FbInputMessage::build(FbSession &session, const std::vector<FbWireType> &wires)
{
    metadata_.reset();
    wires_.clear();
    session.guard([&] {
        ThrowStatusWrapper status(session.status());
        FbRef<IMetadataBuilder> builder(described_->getBuilder(&status));
        for (unsigned i = 0; i < wires.size(); ++i) {
            const FbWireType &wire = wires[i];
            if (wire.keepDescribed)
                continue;
            builder->setType(&status, i, wire.type | 1);
            builder->setLength(&status, i, wire.length);
            builder->setScale(&status, i, wire.scale);
            builder->setSubType(&status, i, 0);
            if (isText(wire.type)) {
                // Text keeps the parameter's own character set when it has one, so the
                // bytes reach the column untranslated.
                builder->setCharSet(&status, i, isText(fields_[i].type) ? fields_[i].charSet : 0);
            }
        }
        FbRef<IMessageMetadata> metadata(builder->getMetadata(&status));
        offsets_.resize(wires.size());
        nullOffsets_.resize(wires.size());
        for (unsigned i = 0; i < wires.size(); ++i) {
            offsets_[i] = metadata->getOffset(&status, i);
            nullOffsets_[i] = metadata->getNullOffset(&status, i);
        }
        buffer_.assign(metadata->getMessageLength(&status), 0);
        metadata_ = std::move(metadata);
    });
    wires_ = wires;
}

} // namespace kalmora::driver
