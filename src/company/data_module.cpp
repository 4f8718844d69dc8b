// SPDX-License-Identifier: Apache-2.0
#include "company/data_module.h"

#include "core/text_compare.h"

namespace kalmora::company {

namespace {

data::TStringField *stringField(data::TClientDataSet &dataSet, const char *column, int size,
                                bool required = false)
{
    auto &field = dataSet.add<data::TStringField>(column, size);
    field.setRequired(required);
    return &field;
}

data::TIntegerField *integerField(data::TClientDataSet &dataSet, const char *column,
                                  bool required = false)
{
    auto &field = dataSet.add<data::TIntegerField>(column);
    field.setRequired(required);
    return &field;
}

} // namespace

DataModule::DataModule()
    : SQLQuery1("SQLQuery1", Kalmora), TPuntos("TPuntos", Kalmora, "PUNTO_VENTA"),
      TAjuste("TAjuste", Kalmora, "AJUSTE_CIERRE"),
      Scontapend("Scontapend", Kalmora, "CONTABILIZA_PENDIENTE"),
      Sdescartapend("Sdescartapend", Kalmora, "DESCARTA_PENDIENTE"), PPuntos("PPuntos", TPuntos),
      PAjuste("PAjuste", TAjuste),
      PRepArticulos("PRepArticulos", SQLQuery1, data::poAllowCommandText),
      PBorrar("PBorrar", SQLQuery1, data::poAllowCommandText),
      Perror("Perror", SQLQuery1, data::poAllowCommandText), CPuntos("CPuntos", this),
      CRepArticulos("CRepArticulos", this), Cborrar("Cborrar", this), CError("CError", this),
      CAjuste("CAjuste", this), DPuntos("DPuntos"), DError("DError"), DAjuste("DAjuste")
{
    for (data::TSQLStoredProc *voucherProc : {&Scontapend, &Sdescartapend})
        voucherProc->params().emplace_back("IDCNT", core::Value{std::int64_t{0}});

    CPuntos.setProviderName("PPuntos");
    CPuntosPTVT_ID = integerField(CPuntos, "PTVT_ID", true);
    CPuntosBODE_COD = stringField(CPuntos, "BODE_COD", 2, true);
    CPuntosPTVT_NOM = stringField(CPuntos, "PTVT_NOM", 60, true);
    CPuntosPTVT_RESP = stringField(CPuntos, "PTVT_RESP", 60);
    CPuntosCAJA_ID = integerField(CPuntos, "CAJA_ID");
    CPuntosPTVT_COLOR = stringField(CPuntos, "PTVT_COLOR", 8);
    CPuntosPREF_PRE = stringField(CPuntos, "PREF_PRE", 4);
    CPuntosTERC_NIT = stringField(CPuntos, "TERC_NIT", 20);
    CPuntosSUCU_ID = integerField(CPuntos, "SUCU_ID");

    CRepArticulos.setProviderName("PRepArticulos");
    CRepArticulosVER = &CRepArticulos.add<data::TStringField>("VER", 1, data::FieldType::FixedChar);
    CRepArticulosIDC = integerField(CRepArticulos, "IDC");
    CRepArticulosERROR = integerField(CRepArticulos, "ERROR");

    Cborrar.setProviderName("PBorrar");

    CError.setProviderName("Perror");
    CErrorERRO_CODIGO = stringField(CError, "ERRO_CODIGO", 20);
    CErrorERRO_CODIGO->setDisplayLabel("Descripción");
    CErrorERRO_CADENA = stringField(CError, "ERRO_CADENA", 20);
    CErrorERRO_CADENA->setDisplayLabel("Valor");
    CErrorINTERFAZ = stringField(CError, "INTERFAZ", 60);

    CAjuste.setProviderName("PAjuste");
    CAjusteAJCI_ID = integerField(CAjuste, "AJCI_ID", true);
    CAjusteAJCI_FECINI = &CAjuste.add<data::TDateField>("AJCI_FECINI");
    CAjusteAJCI_FECINI->setDisplayLabel("F.Desde");
    CAjusteAJCI_FECFIN = &CAjuste.add<data::TDateField>("AJCI_FECFIN");
    CAjusteAJCI_FECFIN->setDisplayLabel("F.Hasta");
    CAjusteAJCI_PORC = &CAjuste.add<data::TFMTBCDField>("AJCI_PORC", 15, 4);
    CAjusteAJCI_PORC->setDisplayLabel("Porc");
    CAjusteAJCI_FACTOR = &CAjuste.add<data::TFMTBCDField>("AJCI_FACTOR", 15, 4);
    CAjusteAJCI_FACTOR->setDisplayLabel("Factor");
    // A row added in the rates grid or with the navigator bar gets the key the default rows
    // have: 0 asks the database for the next one.
    CAjuste.setOnNewRecord([this](data::TClientDataSet &) { CAjusteAJCI_ID->setAsInteger(0); });

    DPuntos.setDataSet(&CPuntos);
    DError.setDataSet(&CError);
    DAjuste.setDataSet(&CAjuste);
}

DataModule::~DataModule() = default;

data::TDataSetProvider *DataModule::findProvider(std::string_view name) const
{
    for (const data::TDataSetProvider *provider :
         {&PPuntos, &PAjuste, &PRepArticulos, &PBorrar, &Perror})
        if (core::sameText(provider->name(), name))
            return const_cast<data::TDataSetProvider *>(provider);
    return nullptr;
}

} // namespace kalmora::company
