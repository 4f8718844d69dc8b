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

    TSQLConnection Kalmora; // the connection to the chosen company database

    TSQLQuery SQLQuery1; // shared query: runs the command text of PRepArticulos, PBorrar, Perror
    TSQLTable TPuntos;   // table PUNTO_VENTA: the points of sale
    TSQLTable TAjuste;   // table AJUSTE_CIERRE: the closing-adjustment rates
    TSQLStoredProc Scontapend; // CONTABILIZA_PENDIENTE: completes the posted voucher
    // DESCARTA_PENDIENTE: undoes a posted voucher that is not of the day and point asked for
    TSQLStoredProc Sdescartapend;

    TDataSetProvider PPuntos;       // reads TPuntos for CPuntos
    TDataSetProvider PAjuste;       // reads and saves TAjuste for CAjuste
    TDataSetProvider PRepArticulos; // the posting call, through SQLQuery1
    TDataSetProvider PBorrar;       // the posting run's lookups, through SQLQuery1
    TDataSetProvider Perror;        // the error list, through SQLQuery1

    TClientDataSet CPuntos;       // the points of sale offered by Pto
    TClientDataSet CRepArticulos; // the posting call's one row: VER, IDC (voucher), ERROR
    TClientDataSet Cborrar;       // scratch data set for the posting run's lookups
    TClientDataSet CError;        // the error rows the posting recorded, shown by DBGridEh1
    TClientDataSet CAjuste;       // the closing-adjustment rates, saved through PAjuste

    // Persistent fields, one per column of their data set.
    TIntegerField *CPuntosPTVT_ID; // the point's key, Pto's key value
    TStringField *CPuntosBODE_COD;
    TStringField *CPuntosPTVT_NOM; // the name Pto lists
    TStringField *CPuntosPTVT_RESP;
    TIntegerField *CPuntosCAJA_ID;
    TStringField *CPuntosPTVT_COLOR;
    TStringField *CPuntosPREF_PRE; // the invoice prefix the posting run sends
    TStringField *CPuntosTERC_NIT;
    TIntegerField *CPuntosSUCU_ID;

    TStringField *CRepArticulosVER;
    TIntegerField *CRepArticulosIDC;   // the voucher generated, 0 when none
    TIntegerField *CRepArticulosERROR; // how many errors the posting recorded

    TStringField *CErrorERRO_CODIGO;
    TStringField *CErrorERRO_CADENA;
    TStringField *CErrorINTERFAZ;

    TIntegerField *CAjusteAJCI_ID;
    TDateField *CAjusteAJCI_FECINI;
    TDateField *CAjusteAJCI_FECFIN;
    TFMTBCDField *CAjusteAJCI_PORC;
    TFMTBCDField *CAjusteAJCI_FACTOR;

    TDataSource DPuntos; // CPuntos for Pto's list
    TDataSource DError;  // CError for the error grid DBGridEh1
    TDataSource DAjuste; // CAjuste's source; no control is bound to it yet
};

} // namespace kalmora::data
