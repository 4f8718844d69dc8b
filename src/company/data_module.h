// SPDX-License-Identifier: Apache-2.0
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

namespace kalmora::company {

class DataModule final : public data::ProviderDirectory
{
public:
    DataModule();
    ~DataModule() override;
    DataModule(const DataModule &) = delete;
    DataModule &operator=(const DataModule &) = delete;

    /// Providers are found by name, as a data set's `ProviderName` names them.
    data::TDataSetProvider *findProvider(std::string_view name) const override;

    data::TSQLConnection Kalmora; // the connection to the chosen company database

    data::TSQLQuery
        SQLQuery1; // shared query: runs the command text of PRepArticulos, PBorrar, Perror
    data::TSQLTable TPuntos;         // table PUNTO_VENTA: the points of sale
    data::TSQLTable TAjuste;         // table AJUSTE_CIERRE: the closing-adjustment rates
    data::TSQLStoredProc Scontapend; // CONTABILIZA_PENDIENTE: completes the posted voucher
    // DESCARTA_PENDIENTE: undoes a posted voucher that is not of the day and point asked for
    data::TSQLStoredProc Sdescartapend;

    data::TDataSetProvider PPuntos;       // reads TPuntos for CPuntos
    data::TDataSetProvider PAjuste;       // reads and saves TAjuste for CAjuste
    data::TDataSetProvider PRepArticulos; // the posting call, through SQLQuery1
    data::TDataSetProvider PBorrar;       // the posting run's lookups, through SQLQuery1
    data::TDataSetProvider Perror;        // the error list, through SQLQuery1

    data::TClientDataSet CPuntos;       // the points of sale offered by Pto
    data::TClientDataSet CRepArticulos; // the posting call's one row: VER, IDC (voucher), ERROR
    data::TClientDataSet Cborrar;       // scratch data set for the posting run's lookups
    data::TClientDataSet CError;        // the error rows the posting recorded, shown by DBGridEh1
    data::TClientDataSet CAjuste;       // the closing-adjustment rates, saved through PAjuste

    // Persistent fields, one per column of their data set.
    data::TIntegerField *CPuntosPTVT_ID; // the point's key, Pto's key value
    data::TStringField *CPuntosBODE_COD;
    data::TStringField *CPuntosPTVT_NOM; // the name Pto lists
    data::TStringField *CPuntosPTVT_RESP;
    data::TIntegerField *CPuntosCAJA_ID;
    data::TStringField *CPuntosPTVT_COLOR;
    data::TStringField *CPuntosPREF_PRE; // the invoice prefix the posting run sends
    data::TStringField *CPuntosTERC_NIT;
    data::TIntegerField *CPuntosSUCU_ID;

    data::TStringField *CRepArticulosVER;
    data::TIntegerField *CRepArticulosIDC;   // the voucher generated, 0 when none
    data::TIntegerField *CRepArticulosERROR; // how many errors the posting recorded

    data::TStringField *CErrorERRO_CODIGO;
    data::TStringField *CErrorERRO_CADENA;
    data::TStringField *CErrorINTERFAZ;

    data::TIntegerField *CAjusteAJCI_ID;
    data::TDateField *CAjusteAJCI_FECINI;
    data::TDateField *CAjusteAJCI_FECFIN;
    data::TFMTBCDField *CAjusteAJCI_PORC;
    data::TFMTBCDField *CAjusteAJCI_FACTOR;

    data::TDataSource DPuntos; // CPuntos for Pto's list
    data::TDataSource DError;  // CError for the error grid DBGridEh1
    data::TDataSource DAjuste; // CAjuste's source; no control is bound to it yet
};

} // namespace kalmora::company
