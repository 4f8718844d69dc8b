#pragma once
// The main window's data components with their design-time names and settings: the
// connection `Kalmora`, its sources, the providers, the data sets with their persistent
// fields, and the data sources. The window owns one for its whole run.

#include "data/client_data_set.h"
#include "data/data_set_provider.h"
#include "data/data_source.h"
#include "data/field.h"
#include "data/sql_connection.h"
#include "data/sql_query.h"
#include "data/sql_stored_proc.h"
#include "data/sql_table.h"

#include <string_view>

namespace kalmora::data {

class DataModule final : public ProviderDirectory
{
public:
    DataModule();
    ~DataModule() override;
    DataModule(const DataModule &) = delete;
    DataModule &operator=(const DataModule &) = delete;

    /// Providers are found by name, as a data set's `ProviderName` names them.
    TDataSetProvider *findProvider(std::string_view name) const override;

    TSQLConnection Kalmora;

    TSQLQuery SQLQuery1;
    TSQLTable TPuntos;
    TSQLTable TAjuste;
    TSQLStoredProc Scontapend;

    TDataSetProvider PPuntos;
    TDataSetProvider PAjuste;
    TDataSetProvider PRepArticulos;
    TDataSetProvider PBorrar;
    TDataSetProvider Perror;

    TClientDataSet CPuntos;
    TClientDataSet CRepArticulos;
    TClientDataSet Cborrar;
    TClientDataSet CError;
    TClientDataSet CAjuste;

    TIntegerField *CPuntosPTVT_ID;
    TStringField *CPuntosBODE_COD;
    TStringField *CPuntosPTVT_NOM;
    TStringField *CPuntosPTVT_RESP;
    TIntegerField *CPuntosCAJA_ID;
    TStringField *CPuntosPTVT_COLOR;
    TStringField *CPuntosPREF_PRE;
    TStringField *CPuntosTERC_NIT;
    TIntegerField *CPuntosSUCU_ID;

    TStringField *CRepArticulosVER;
    TIntegerField *CRepArticulosIDC;
    TIntegerField *CRepArticulosERROR;

    TStringField *CErrorERRO_CODIGO;
    TStringField *CErrorERRO_CADENA;
    TStringField *CErrorINTERFAZ;

    TIntegerField *CAjusteAJCI_ID;
    TDateField *CAjusteAJCI_FECINI;
    TDateField *CAjusteAJCI_FECFIN;
    TFMTBCDField *CAjusteAJCI_PORC;
    TFMTBCDField *CAjusteAJCI_FACTOR;

    TDataSource DPuntos;
    TDataSource DError;
    TDataSource DAjuste;
};

} // namespace kalmora::data
