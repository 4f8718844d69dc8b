// SPDX-License-Identifier: Apache-2.0
#pragma once
// The design-time settings of the main window's grids, applied in one place by the window.

namespace kalmora::data {
class TDataSource;
}

namespace kalmora::grids {
class DBGridEh;
}

namespace kalmora::app {

/// The error grid `DBGridEh1`: bound to `DError`; columns ERRO_CODIGO at its default width,
/// ERRO_CADENA 90 and INTERFAZ 120, titled by their fields ("Descripción", "Valor",
/// "INTERFAZ"), each width also its initial width; fitted to its width, flat, default
/// options, no operations allowed (it never edits, inserts or deletes), and disabled.
/// Call it once the grid has the window's font.
void applyErrorGridSettings(grids::DBGridEh &grid, data::TDataSource &DError);

/// The rates grid `DBGridEh2`: bound to `DAjuste`; columns AJCI_FECINI and AJCI_FECFIN at
/// their default widths, AJCI_PORC 59 and AJCI_FACTOR 63, titled by their fields ("F.Desde",
/// "F.Hasta", "Porc", "Factor"); not fitted, sunken edge, default options with Enter as Tab
/// and incremental search, every operation allowed, enabled. Call it once the grid has the
/// window's font.
void applyRatesGridSettings(grids::DBGridEh &grid, data::TDataSource &DAjuste);

} // namespace kalmora::app
