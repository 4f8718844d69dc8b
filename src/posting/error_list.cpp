// SPDX-License-Identifier: Apache-2.0
#include "posting/error_list.h"

#include "core/quoting.h"
#include "company/data_module.h"

#include <algorithm>

namespace kalmora::posting {

std::string errorListCommand(int reachBack, const std::string &interfaceName)
{
    return "select erro_codigo,erro_cadena," + core::quotedString(interfaceName) +
           " as Interfaz from errores where erro_item >= (select (max(erro_item) -" +
           std::to_string(reachBack) + ") from errores where erro_tipodoc = 31 and erro_iddoc = 0)";
}

void fillErrorList(company::DataModule &module, ErrorGrid &grid, int reachBack,
                   const std::string &interfaceName)
{
    grid.enableErrorGrid();
    module.CError.close();
    module.CError.setCommandText(errorListCommand(reachBack, interfaceName));
    module.CError.open();
}

std::vector<ErrorRow> errorRows(company::DataModule &module)
{
    // Read by row, not by moving: the error grid shows `CError` and keeps its current row.
    std::vector<ErrorRow> rows;
    for (std::size_t row = 0; row < std::size_t(std::max(module.CError.recordCount(), 0)); ++row)
        rows.push_back({module.CErrorERRO_CODIGO->textAt(row),
                        module.CErrorERRO_CADENA->textAt(row), module.CErrorINTERFAZ->textAt(row)});
    return rows;
}

} // namespace kalmora::posting
