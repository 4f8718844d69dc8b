// SPDX-License-Identifier: Apache-2.0
#pragma once
// Field objects: one typed column of a data set, read and written through the data set's
// current row. Persistent fields are made once with their design settings; a data set
// without them makes one field per result column at every open.

#include "core/value.h"
#include "data/field_types.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace kalmora::data {

class TClientDataSet;
class TField;

/// What a field asks of the data set it belongs to: the values of its column and the
/// writing of a new one into the row being edited.
class FieldStore
{
public:
    virtual core::Value currentValue(int column) const = 0;
    virtual core::Value shownValue(std::size_t row, int column) const = 0;
    virtual void writeField(TField &field, core::Value value) = 0;

protected:
    ~FieldStore() = default;
};

class TField
{
public:
    TField(std::string fieldName, FieldType type, int size);
    virtual ~TField() = default;
    TField(const TField &) = delete;
    TField &operator=(const TField &) = delete;

    /// The component name (data set name and column name, as `CPuntosPREF_PRE`).
    const std::string &name() const { return name_; }
    void setName(std::string name) { name_ = std::move(name); }
    /// The column the field binds to.
    const std::string &fieldName() const { return fieldName_; }
    FieldType dataType() const { return type_; }
    /// Characters for text fields, decimals for decimal fields, 0 otherwise.
    int size() const { return size_; }
    void setSize(int size) { size_ = size; }
    bool required() const { return required_; }
    void setRequired(bool required) { required_ = required; }
    bool readOnly() const { return readOnly_; }
    void setReadOnly(bool readOnly) { readOnly_ = readOnly; }
    void setDisplayLabel(std::string label) { displayLabel_ = std::move(label); }
    /// The display label where one is set, else the column name; failures name this.
    const std::string &displayName() const;
    /// The width, in characters, that a grid column gives the field by default.
    int displayWidth() const;

    /// The data set that holds the field (null before it is added to one).
    TClientDataSet *dataSet() const { return dataSet_; }
    /// Position in the data set's field list.
    int index() const { return index_; }
    /// True while the data set is open and the field is bound to a result column.
    bool bound() const { return column_ >= 0; }

    // ---- The value in the current row (the row being edited while editing). A closed
    // data set or one without rows reads as null.
    core::Value value() const;
    bool isNull() const;
    /// The value as text: the empty text for null.
    std::string asString() const;
    /// Null reads as 0.
    std::int64_t asInteger() const;

    // ---- Writing; the data set must be in edit or insert state.
    void setValue(const core::Value &value);
    void clear() { setValue(core::Value{}); }
    /// Reads `text` by the field's type; the empty text stores null.
    void setAsString(std::string_view text);
    void setAsInteger(std::int64_t value);
    void setAsDate(const core::Date &day);
    /// A currency amount: exact, four decimals.
    void setAsCurrency(const core::Decimal &amount);

    /// The value of the shown row at `row` as text (the edited values for the current row
    /// while editing), for controls that draw several rows.
    std::string textAt(std::size_t row) const;
    core::Value valueAt(std::size_t row) const;

    /// The value that `text` stands for in this field (null for the empty text), read as
    /// setAsString reads it, without writing anything; throws the same failures.
    core::Value textValue(std::string_view text) const;
    /// `value` converted as assigning it would convert it, without writing anything.
    core::Value assignedValue(const core::Value &value) const;

    /// Whether typing `c` into the field's editor is accepted.
    virtual bool acceptsChar(char c) const;

protected:
    /// The text of a non-null value.
    virtual std::string textOf(const core::Value &value) const = 0;
    /// The value a non-empty text stands for; throws the field's conversion failure.
    virtual core::Value valueOfText(std::string_view text) const = 0;
    /// The value stored for an assigned value (converting or checking it).
    virtual core::Value stored(const core::Value &value) const;
    [[noreturn]] void failConversion(std::string_view typeName) const;

private:
    friend class TClientDataSet;

    std::string name_;
    std::string fieldName_;
    FieldType type_;
    int size_;
    bool required_ = false;
    bool readOnly_ = false;
    std::string displayLabel_;
    TClientDataSet *dataSet_ = nullptr;
    FieldStore *store_ = nullptr; // the same data set, as the field reads and writes it
    int index_ = -1;
    int column_ = -1; // result column, while bound
};

/// Text of up to `size` characters (`String`) or fixed width (`FixedChar`).
class TStringField : public TField
{
public:
    explicit TStringField(std::string fieldName, int size = 20, FieldType type = FieldType::String);

protected:
    std::string textOf(const core::Value &value) const override;
    core::Value valueOfText(std::string_view text) const override;
    core::Value stored(const core::Value &value) const override;
};

/// Whole numbers in the range of the type (`Integer`; `SmallInt` and `LargeInt` below).
class TIntegerField : public TField
{
public:
    explicit TIntegerField(std::string fieldName, FieldType type = FieldType::Integer);
    std::int64_t minValue() const;
    std::int64_t maxValue() const;
    bool acceptsChar(char c) const override;

protected:
    std::string textOf(const core::Value &value) const override;
    core::Value valueOfText(std::string_view text) const override;
    core::Value stored(const core::Value &value) const override;
};

class TSmallintField : public TIntegerField
{
public:
    explicit TSmallintField(std::string fieldName)
        : TIntegerField(std::move(fieldName), FieldType::SmallInt)
    {
    }
};

class TLargeintField : public TIntegerField
{
public:
    explicit TLargeintField(std::string fieldName)
        : TIntegerField(std::move(fieldName), FieldType::LargeInt)
    {
    }
};

/// A calendar day, shown and read in the user's short date format.
class TDateField : public TField
{
public:
    explicit TDateField(std::string fieldName);

protected:
    std::string textOf(const core::Value &value) const override;
    core::Value valueOfText(std::string_view text) const override;
    core::Value stored(const core::Value &value) const override;
};

/// An exact decimal with `size` decimals and `precision` digits in all.
class TFMTBCDField : public TField
{
public:
    explicit TFMTBCDField(std::string fieldName, int precision = 15, int decimals = 4);
    int precision() const { return precision_; }
    bool acceptsChar(char c) const override;

protected:
    std::string textOf(const core::Value &value) const override;
    core::Value valueOfText(std::string_view text) const override;
    core::Value stored(const core::Value &value) const override;

private:
    int precision_;
};

/// Floating-point numbers (FLOAT, DOUBLE PRECISION columns of a result).
class TFloatField : public TField
{
public:
    explicit TFloatField(std::string fieldName);

protected:
    std::string textOf(const core::Value &value) const override;
    core::Value valueOfText(std::string_view text) const override;
    core::Value stored(const core::Value &value) const override;
};

/// A time of day ("h:mm:ss").
class TTimeField : public TField
{
public:
    explicit TTimeField(std::string fieldName);

protected:
    std::string textOf(const core::Value &value) const override;
    core::Value valueOfText(std::string_view text) const override;
};

/// A day and a time of day: the short date, a space and the time.
class TSQLTimeStampField : public TField
{
public:
    explicit TSQLTimeStampField(std::string fieldName);

protected:
    std::string textOf(const core::Value &value) const override;
    core::Value valueOfText(std::string_view text) const override;
    core::Value stored(const core::Value &value) const override;
};

/// Text (`Memo`) or binary (`Blob`) blobs: the bytes themselves.
class TBlobField : public TField
{
public:
    explicit TBlobField(std::string fieldName, FieldType type = FieldType::Blob);

protected:
    std::string textOf(const core::Value &value) const override;
    core::Value valueOfText(std::string_view text) const override;
};

/// The field a data set without persistent fields makes for a result column.
std::unique_ptr<TField> makeField(const core::ColumnDesc &column);

} // namespace kalmora::data
