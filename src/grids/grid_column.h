// SPDX-License-Identifier: Apache-2.0
#pragma once
// One grid column: the field it shows, its title, its width and the settings the fit and the
// mouse read. Columns are kept in display order; the widget resolves the field by name in
// its data set whenever it needs it, so a column outlives the opening and closing of the data.

#include <string>

namespace kalmora::data {
class TField;
} // namespace kalmora::data

namespace kalmora::grids {

/// A column as the settings give it.
struct ColumnSettings
{
    ColumnSettings() = default;
    /// A column of `field`, `pixels` wide (-1: the default width).
    explicit ColumnSettings(std::string field, int pixels = -1);

    std::string fieldName;
    /// Empty: the field's display label, else its field name.
    std::string title;
    /// -1: the default width (see defaultColumnWidth).
    int width = -1;
    /// -1: the width the column has when the settings are applied.
    int initialWidth = -1;
    bool autoFit = true;
    bool visible = true;
    int minWidth = 0; // 0: no limit
    int maxWidth = 0; // 0: no limit
};

/// A column as the grid holds it.
struct GridColumn
{
    ColumnSettings settings;
    /// The width in pixels; -1 while the column keeps its default width.
    int storedWidth = -1;
    /// The reference width of the fit.
    int initialWidth = 0;
};

/// The column width a field gets by default: its display width in characters times (the
/// width of "0" in the column's font less the font's overhang), plus the overhang, plus 4.
/// A column without a field is 64 pixels wide.
int defaultColumnWidth(const data::TField *field, int zeroWidth, int overhang = 0);

/// The title shown: the column's own caption, else the field's display label, else the
/// field's name (bytes of the locale's code page).
std::string columnTitle(const ColumnSettings &column, const data::TField *field);

/// Numbers stand at the right of their cells (and of the cell editor); text at the left.
bool rightAligned(const data::TField *field);

} // namespace kalmora::grids
