// SPDX-License-Identifier: Apache-2.0
#include "posting/error_list.h"

#include "company/data_module.h"
#include "core/quoting.h"

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

} // namespace kalmora::posting
