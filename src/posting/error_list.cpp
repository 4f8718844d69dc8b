// SPDX-License-Identifier: Apache-2.0
#include "posting/error_list.h"

#include "company/data_module.h"
#include "core/quoting.h"

namespace kalmora::posting {

std::string errorListCommand(int reachBack, const std::string &interfaceName)
{
    return "select erro_codigo,erro_cadena," + data::quotedString(interfaceName) +
           " as Interfaz from errores where erro_item >= (select (max(erro_item) -" +
           std::to_string(reachBack) + ") from errores where erro_tipodoc = 31 and erro_iddoc = 0)";
}

void fillErrorList(data::DataModule &module, ErrorGrid &grid, int reachBack,
                   const std::string &interfaceName)
{
    grid.enableErrorGrid();
    module.CError.close();
    module.CError.setCommandText(errorListCommand(reachBack, interfaceName));
    module.CError.open();
}

std::vector<ErrorRow> errorRows(data::DataModule &module)
{
    std::vector<ErrorRow> rows;
    data::TClientDataSet &errors = module.CError;
    for (errors.first(); !errors.eof(); errors.next())
        rows.push_back({module.CErrorERRO_CODIGO->asString(), module.CErrorERRO_CADENA->asString(),
                        module.CErrorINTERFAZ->asString()});
    return rows;
}

} // namespace kalmora::posting
