// SPDX-License-Identifier: Apache-2.0
#include "data/client_data_set.h"

#include "core/errors.h"
#include "core/text_compare.h"
#include "data/filter_expression.h"

#include <algorithm>
#include <cctype>

namespace kalmora::data {

namespace {

bool isEditing(DataSetState state)
{
    return state == DataSetState::dsEdit || state == DataSetState::dsInsert;
}

std::string folded(std::string text)
{
    for (char &c : text)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

bool searchable(FieldType type)
{
    switch (fieldTypeClass(type)) {
    case FieldTypeClass::String:
    case FieldTypeClass::Integer:
    case FieldTypeClass::Float:
    case FieldTypeClass::DateTime:
        return true;
    default:
        return type == FieldType::LargeInt || type == FieldType::BCD || type == FieldType::FMTBcd ||
               type == FieldType::SQLTimeStamp;
    }
}

} // namespace

TClientDataSet::TClientDataSet(std::string name, const ProviderDirectory *owner)
    : name_(std::move(name)), owner_(owner)
{
}

TClientDataSet::~TClientDataSet()
{
    for (TDataSource *source : sources_) {
        source->dataSet_ = nullptr;
        source->link_ = nullptr;
    }
}

void TClientDataSet::fail(const std::string &text) const
{
    throw core::EDatabaseError(name_ + ": " + text);
}

void TClientDataSet::checkActive() const
{
    if (!active())
        fail("Cannot perform this operation on a closed dataset");
}

// ---- Fields

TField &TClientDataSet::addField(std::unique_ptr<TField> field)
{
    if (active())
        fail("Cannot perform this operation on an open dataset");
    field->dataSet_ = this;
    field->store_ = this;
    field->index_ = int(persistent_.size());
    if (field->name().empty())
        field->setName(name_ + field->fieldName());
    persistent_.push_back(std::move(field));
    fields_.push_back(persistent_.back().get());
    return *persistent_.back();
}

TField &TClientDataSet::fields(int index) const
{
    if (index < 0 || index >= int(fields_.size()))
        throw core::Exception("List index out of bounds (" + std::to_string(index) + ")");
    return *fields_[std::size_t(index)];
}

TField *TClientDataSet::findField(std::string_view name) const
{
    for (TField *field : fields_)
        if (core::sameText(field->fieldName(), name))
            return field;
    return nullptr;
}

TField &TClientDataSet::fieldByName(std::string_view name) const
{
    TField *field = findField(name);
    if (!field)
        fail("Field '" + std::string(name) + "' not found");
    return *field;
}

void TClientDataSet::bindFields()
{
    const std::vector<TableColumn> &columns = table_.columns();
    if (persistent_.empty()) {
        fields_.clear();
        for (std::size_t c = 0; c < columns.size(); ++c) {
            std::unique_ptr<TField> field = makeField(columns[c].desc);
            field->setName(name_ + field->fieldName());
            field->dataSet_ = this;
            field->store_ = this;
            field->index_ = int(c);
            field->column_ = int(c);
            fields_.push_back(field.get());
            made_.push_back(std::move(field));
        }
        return;
    }
    for (const auto &field : persistent_) {
        const auto column = std::find_if(columns.begin(), columns.end(), [&](const TableColumn &c) {
            return core::sameText(c.desc.name, field->fieldName());
        });
        if (column == columns.end())
            fail("Field '" + field->displayName() + "' not found");
        const core::ColumnDesc &desc = column->desc;
        const FieldType columnType = fieldTypeOf(desc.type);
        if (!bindable(field->dataType(), columnType))
            fail("Type mismatch for field '" + field->displayName() +
                 "', expecting: " + std::string(fieldTypeName(field->dataType())) +
                 " actual: " + std::string(fieldTypeName(columnType)));
        switch (field->dataType()) {
        case FieldType::BCD:
        case FieldType::Bytes:
        case FieldType::VarBytes:
        case FieldType::Reference: {
            const int columnSize = field->dataType() == FieldType::BCD ? desc.scale : desc.width;
            if (field->size() != columnSize)
                fail("Size mismatch for field '" + field->displayName() + "', expecting: " +
                     std::to_string(field->size()) + " actual: " + std::to_string(columnSize));
            break;
        }
        case FieldType::String:
        case FieldType::FixedChar:
        case FieldType::WideString:
            if (field->size() > desc.width && !field->readOnly())
                field->setSize(desc.width);
            break;
        default:
            break;
        }
        field->column_ = int(column - columns.begin());
    }
}

void TClientDataSet::unbindFields()
{
    for (const auto &field : persistent_)
        field->column_ = -1;
    if (!made_.empty()) {
        fields_.clear();
        made_.clear();
    }
}

// ---- Open and close

TDataSetProvider &TClientDataSet::provider() const
{
    TDataSetProvider *provider =
        owner_ && !providerName_.empty() ? owner_->findProvider(providerName_) : nullptr;
    if (!provider)
        fail("Missing data provider or data packet");
    return *provider;
}

void TClientDataSet::open()
{
    if (active())
        return;
    DataPacket packet = provider().getRecords(commandText_);
    table_.load(std::move(packet.columns), std::move(packet.rows));
    try {
        bindFields();
        applyFilter();
    } catch (...) {
        unbindFields();
        table_.clear();
        throw;
    }
    state_ = DataSetState::dsBrowse;
    current_ = 0;
    bof_ = true;
    eof_ = table_.shownCount() == 0;
    updateFailures_.clear();
    notify(DataEvent::ActiveChanged);
}

void TClientDataSet::close()
{
    if (!active())
        return;
    buffer_.clear();
    modified_ = false;
    unbindFields();
    table_.clear();
    state_ = DataSetState::dsInactive;
    current_ = 0;
    bof_ = eof_ = true;
    updateFailures_.clear();
    if (TDataSetProvider *p = owner_ ? owner_->findProvider(providerName_) : nullptr)
        p->reset();
    notify(DataEvent::ActiveChanged);
}

// ---- Position

int TClientDataSet::recordCount() const
{
    checkActive();
    return int(table_.shownCount());
}

int TClientDataSet::recNo() const
{
    return active() && table_.shownCount() > 0 ? int(current_) : -1;
}

void TClientDataSet::moveTo(std::size_t position)
{
    current_ = position;
    // Told even when the row stays: the beginning and end flags may have changed.
    notify(DataEvent::RecordMoved);
}

void TClientDataSet::setRecNo(int position)
{
    checkActive();
    checkBrowseMode();
    if (position < 0 || std::size_t(position) >= table_.shownCount())
        return;
    bof_ = eof_ = false;
    moveTo(std::size_t(position));
}

void TClientDataSet::first()
{
    checkActive();
    checkBrowseMode();
    bof_ = true;
    eof_ = table_.shownCount() == 0;
    moveTo(0);
}

void TClientDataSet::last()
{
    checkActive();
    checkBrowseMode();
    const std::size_t count = table_.shownCount();
    eof_ = true;
    bof_ = count == 0;
    moveTo(count == 0 ? 0 : count - 1);
}

void TClientDataSet::next()
{
    moveBy(1);
}

void TClientDataSet::prior()
{
    moveBy(-1);
}

int TClientDataSet::moveBy(int distance)
{
    checkActive();
    checkBrowseMode();
    const auto count = std::ptrdiff_t(table_.shownCount());
    if (count == 0) {
        bof_ = eof_ = true;
        return 0;
    }
    const auto from = std::ptrdiff_t(current_);
    const std::ptrdiff_t target = from + distance;
    const std::ptrdiff_t to = std::clamp<std::ptrdiff_t>(target, 0, count - 1);
    if (distance > 0) {
        if (target > to)
            eof_ = true;
        if (to != from)
            bof_ = false;
    } else if (distance < 0) {
        if (target < to)
            bof_ = true;
        if (to != from)
            eof_ = false;
    }
    moveTo(std::size_t(to));
    return int(to - from);
}

bool TClientDataSet::locate(std::string_view fieldName, const core::Value &value,
                            LocateOptions options)
{
    checkActive();
    checkBrowseMode();
    TField &field = fieldByName(fieldName);
    if (!searchable(field.dataType()))
        throw core::EDatabaseError("Field '" + field.displayName() + "' is of an unsupported type");
    const int column = field.column_;
    const bool text = fieldTypeClass(field.dataType()) == FieldTypeClass::String;
    core::Value key = std::holds_alternative<std::string>(value) && !text
                          ? field.textValue(std::get<std::string>(value))
                          : field.assignedValue(value);
    if (text && std::holds_alternative<std::string>(value))
        key = value; // searched exactly as given, not cut to the field's size
    std::string keyText = text && !isNull(key) ? std::get<std::string>(key) : std::string();
    if (options.caseInsensitive)
        keyText = folded(keyText);
    const auto matches = [&](const core::Value &candidate) {
        if (isNull(key))
            return isNull(candidate);
        if (text) {
            const auto *s = std::get_if<std::string>(&candidate);
            if (!s)
                return false;
            std::string have = options.caseInsensitive ? folded(*s) : *s;
            return options.partialKey ? have.compare(0, keyText.size(), keyText) == 0
                                      : have == keyText;
        }
        const std::optional<int> c = compareValues(candidate, key);
        return c && *c == 0;
    };
    // Text is matched by its own rules; other keys the engine may compare where the values
    // are stored.
    const std::optional<std::size_t> row =
        table_.findShown(std::size_t(column), text ? core::Value{} : key, matches);
    if (!row)
        return false;
    bof_ = eof_ = false;
    moveTo(*row);
    return true;
}

// ---- Filter

void TClientDataSet::applyFilter()
{
    if (!filtered_ || filter_.find_first_not_of(' ') == std::string::npos) {
        table_.setFilter(nullptr);
        return;
    }
    const FilterCondition condition = parseFilter(filter_);
    const TField &field = fieldByName(condition.fieldName);
    table_.setFilter(makeRowFilter(condition, field, field.column_));
}

void TClientDataSet::setFilter(std::string text)
{
    if (active() && filtered_)
        checkBrowseMode();
    filter_ = std::move(text);
    if (active() && filtered_)
        refilter();
}

void TClientDataSet::setFiltered(bool value)
{
    if (active())
        checkBrowseMode();
    filtered_ = value;
    if (active())
        refilter();
}

void TClientDataSet::refilter()
{
    applyFilter();
    current_ = 0;
    bof_ = true;
    eof_ = table_.shownCount() == 0;
    notify(DataEvent::DataChanged);
    notify(DataEvent::RecordMoved);
}

// ---- Editing

void TClientDataSet::edit()
{
    checkActive();
    if (isEditing(state_))
        return;
    if (readOnly_)
        fail("Cannot modify a read-only dataset");
    if (table_.shownCount() == 0) {
        append();
        return;
    }
    editRecord_ = table_.shownRecord(current_);
    buffer_ = table_.row(editRecord_);
    modified_ = false;
    state_ = DataSetState::dsEdit;
    notify(DataEvent::StateChanged);
}

void TClientDataSet::insert()
{
    checkActive();
    checkBrowseMode();
    insertRowAt(std::min(current_, table_.shownCount()));
}

void TClientDataSet::append()
{
    checkActive();
    checkBrowseMode();
    insertRowAt(table_.shownCount());
}

void TClientDataSet::insertRowAt(std::size_t position)
{
    if (readOnly_)
        fail("Cannot modify a read-only dataset");
    // A new row in an empty data set leaves it at its beginning and end until the row is
    // posted: there is still no stored row to move to or delete.
    const bool wasEmpty = table_.shownCount() == 0;
    editRecord_ = table_.insertPending(position);
    buffer_.assign(table_.columnCount(), core::Value{});
    modified_ = false;
    state_ = DataSetState::dsInsert;
    if (!wasEmpty)
        bof_ = eof_ = false;
    current_ = position;
    if (onNewRecord_) {
        onNewRecord_(*this);
        modified_ = false;
    }
    notify(DataEvent::StateChanged);
    notify(DataEvent::DataChanged);
}

void TClientDataSet::post()
{
    checkActive();
    if (!isEditing(state_))
        fail("Dataset not in edit or insert mode");
    notify(DataEvent::UpdateRecord);
    for (TField *field : fields_)
        if (field->required() && field->bound() && isNull(buffer_[std::size_t(field->column_)]))
            throw core::EDatabaseError("Field '" + field->displayName() + "' must have a value");
    table_.post(editRecord_, std::move(buffer_));
    buffer_.clear();
    modified_ = false;
    if (state_ == DataSetState::dsInsert)
        bof_ = eof_ = false;
    state_ = DataSetState::dsBrowse;
    afterRowsChanged();
    notify(DataEvent::StateChanged);
    notify(DataEvent::DataChanged);
}

void TClientDataSet::cancel()
{
    if (!isEditing(state_))
        return;
    if (state_ == DataSetState::dsInsert)
        table_.cancelPending(editRecord_);
    buffer_.clear();
    modified_ = false;
    state_ = DataSetState::dsBrowse;
    afterRowsChanged();
    notify(DataEvent::StateChanged);
    notify(DataEvent::DataChanged);
}

void TClientDataSet::deleteRecord()
{
    checkActive();
    if (state_ == DataSetState::dsInsert) {
        cancel();
        return;
    }
    if (state_ == DataSetState::dsEdit)
        cancel();
    if (table_.shownCount() == 0)
        fail("Cannot perform this operation on an empty dataset");
    if (readOnly_)
        fail("Cannot modify a read-only dataset");
    table_.remove(table_.shownRecord(current_));
    afterRowsChanged();
    notify(DataEvent::DataChanged);
}

void TClientDataSet::afterRowsChanged()
{
    // The current row stays at its position; past the end it is the last row shown.
    const std::size_t count = table_.shownCount();
    if (count == 0) {
        current_ = 0;
        bof_ = eof_ = true;
    } else if (current_ >= count) {
        current_ = count - 1;
        eof_ = false;
    }
}

void TClientDataSet::checkBrowseMode()
{
    if (!isEditing(state_))
        return;
    // Typing that a control still holds counts as a change of the row.
    notify(DataEvent::UpdateRecord);
    if (modified_)
        post();
    else
        cancel();
}

// ---- Saving

int TClientDataSet::applyUpdates(int maxErrors)
{
    checkActive();
    checkBrowseMode();
    if (!table_.hasChanges())
        return 0;
    TDataSetProvider &p = provider();
    const ApplyResult result = p.applyUpdates(table_.delta(), maxErrors);
    // What stands in the database joins the data as fetched; failed rows, rows never sent
    // and every row of a save that was rolled back stay pending.
    table_.merge(result.applied);
    updateFailures_ = result.failures;
    notify(DataEvent::DataChanged);
    return result.errorCount;
}

// ---- Field access

core::Value TClientDataSet::currentValue(int column) const
{
    if (isEditing(state_))
        return buffer_[std::size_t(column)];
    if (!active() || table_.shownCount() == 0)
        return core::Value{};
    return table_.value(table_.shownRecord(current_), std::size_t(column));
}

core::Value TClientDataSet::shownValue(std::size_t row, int column) const
{
    if (isEditing(state_) && row == current_)
        return buffer_[std::size_t(column)];
    if (!active() || row >= table_.shownCount())
        return core::Value{};
    return table_.value(table_.shownRecord(row), std::size_t(column));
}

void TClientDataSet::writeField(TField &field, core::Value value)
{
    checkActive();
    if (!isEditing(state_))
        fail("Dataset not in edit or insert mode");
    if (field.readOnly())
        throw core::EDatabaseError("Field '" + field.displayName() + "' cannot be modified");
    buffer_[std::size_t(field.column_)] = std::move(value);
    modified_ = true;
    notify(DataEvent::DataChanged);
}

// ---- Controls

void TClientDataSet::notify(DataEvent event)
{
    const std::vector<TDataSource *> sources = sources_;
    for (TDataSource *source : sources)
        source->notify(event);
}

void TClientDataSet::attachDataSource(TDataSource *source)
{
    sources_.push_back(source);
    source->dataSet_ = this;
}

void TClientDataSet::detachDataSource(TDataSource *source)
{
    sources_.erase(std::remove(sources_.begin(), sources_.end(), source), sources_.end());
    source->dataSet_ = nullptr;
}

} // namespace kalmora::data
