// SPDX-License-Identifier: Apache-2.0
#pragma once
// The grid's settings: the option sets with their flag names, the operations the grid may
// start on its data set, and the plain switches. The navigation rules and the widget read
// them from one `GridSettings`.

#include <cstdint>
#include <initializer_list>

namespace kalmora::grids {

/// A set of the values of `Enum`, whose enumerators count up from 0 (at most 32).
template <class Enum> class FlagSet
{
public:
    constexpr FlagSet() = default;
    constexpr FlagSet(std::initializer_list<Enum> flags)
    {
        for (Enum flag : flags)
            bits_ |= bit(flag);
    }
    constexpr bool contains(Enum flag) const { return (bits_ & bit(flag)) != 0; }
    constexpr bool empty() const { return bits_ == 0; }
    constexpr FlagSet &insert(Enum flag) { return bits_ |= bit(flag), *this; }
    constexpr FlagSet &erase(Enum flag) { return bits_ &= ~bit(flag), *this; }
    constexpr FlagSet &set(Enum flag, bool on) { return on ? insert(flag) : erase(flag); }
    friend constexpr bool operator==(FlagSet, FlagSet) = default;

private:
    static constexpr std::uint32_t bit(Enum flag) { return std::uint32_t{1} << unsigned(flag); }
    std::uint32_t bits_ = 0;
};

enum class GridOption {
    dgEditing,
    dgAlwaysShowEditor,
    dgTitles,
    dgIndicator,
    dgColumnResize,
    dgColLines,
    dgRowLines,
    dgTabs,
    dgRowSelect,
    dgAlwaysShowSelection,
    dgConfirmDelete,
    dgCancelOnExit,
    dgMultiSelect,
};
using GridOptions = FlagSet<GridOption>;

enum class GridOptionEh {
    dghFixed3D,
    dghHighlightFocus,
    dghClearSelection,
    dghDialogFind,
    dghColumnResize,
    dghColumnMove,
    dghExtendVertLines,
    dghEnterAsTab,
    dghIncSearch,
};
using GridOptionsEh = FlagSet<GridOptionEh>;

/// What the grid may do to its data set on the user's behalf.
enum class AllowedOperation { alopInsertEh, alopUpdateEh, alopDeleteEh, alopAppendEh };
using AllowedOperations = FlagSet<AllowedOperation>;

/// The row indicator shows the current row's state glyph (no record numbers).
enum class IndicatorOption { gioShowRowIndicatorEh };
using IndicatorOptions = FlagSet<IndicatorOption>;

class GridSettings
{
public:
    static constexpr GridOptions kDefaultOptions{
        GridOption::dgEditing,      GridOption::dgTitles,        GridOption::dgIndicator,
        GridOption::dgColumnResize, GridOption::dgColLines,      GridOption::dgRowLines,
        GridOption::dgTabs,         GridOption::dgConfirmDelete, GridOption::dgCancelOnExit};
    static constexpr GridOptionsEh kDefaultOptionsEh{
        GridOptionEh::dghFixed3D,        GridOptionEh::dghHighlightFocus,
        GridOptionEh::dghClearSelection, GridOptionEh::dghDialogFind,
        GridOptionEh::dghColumnResize,   GridOptionEh::dghColumnMove,
        GridOptionEh::dghExtendVertLines};
    static constexpr AllowedOperations kAllOperations{
        AllowedOperation::alopInsertEh, AllowedOperation::alopUpdateEh,
        AllowedOperation::alopDeleteEh, AllowedOperation::alopAppendEh};

    /// `dgColumnResize` is on exactly when both `dghColumnResize` and `dghColumnMove` are.
    GridOptions options() const;
    /// Turning `dgColumnResize` on turns both mouse flags on; turning it off, both off.
    void setOptions(GridOptions options);
    void setOptionsEh(GridOptionsEh options) { optionsEh_ = options; }
    bool has(GridOption option) const { return options().contains(option); }
    bool has(GridOptionEh option) const { return optionsEh_.contains(option); }

    AllowedOperations allowedOperations = kAllOperations;
    IndicatorOptions indicatorOptions{IndicatorOption::gioShowRowIndicatorEh};
    /// Fit the columns to the client width (no horizontal scroll bar).
    bool autoFitColWidths = false;
    /// The client width below which the fit does not shrink the columns.
    int minAutoFitWidth = 0;
    /// A flat one-pixel border drawn by the grid instead of the sunken edge.
    bool flat = false;
    bool readOnly = false;

private:
    GridOptions options_ = kDefaultOptions;
    GridOptionsEh optionsEh_ = kDefaultOptionsEh;
};

} // namespace kalmora::grids
