/* SPDX-License-Identifier: Apache-2.0 */
/* The company database's procedures: reading the day text, posting a day's cash
   sales and completing the pending voucher. Applied by db/make-company after
   schema.sql. */

SET SQL DIALECT 3;
SET TERM ^ ;

/* The day that TEXTO names when read in the field order ORDEN ('DMY', 'MDY' or 'YMD'),
   or NULL when it cannot be read that way. The text must be three numeric fields
   separated by non-digit characters (blanks around it are allowed): day and month of
   one or two digits, the year of two (2000 + yy) or four. Nothing is guessed: a month
   name, a field too many or too few, or a day the month does not have give NULL. */
CREATE OR ALTER FUNCTION FECHA_CORTA (TEXTO VARCHAR(100), ORDEN VARCHAR(10))
RETURNS DATE
AS
    DECLARE VARIABLE T VARCHAR(100);
    DECLARE VARIABLE C CHAR(1);
    DECLARE VARIABLE I INTEGER;
    DECLARE VARIABLE LONGITUD INTEGER;
    DECLARE VARIABLE CAMPOS INTEGER = 0;
    DECLARE VARIABLE DIGITOS INTEGER = 0;
    DECLARE VARIABLE EN_CAMPO SMALLINT = 0;
    DECLARE VARIABLE V INTEGER = 0;
    DECLARE VARIABLE V1 INTEGER;
    DECLARE VARIABLE V2 INTEGER;
    DECLARE VARIABLE V3 INTEGER;
    DECLARE VARIABLE D1 INTEGER;
    DECLARE VARIABLE D2 INTEGER;
    DECLARE VARIABLE D3 INTEGER;
    DECLARE VARIABLE DIA INTEGER;
    DECLARE VARIABLE MES INTEGER;
    DECLARE VARIABLE ANIO INTEGER;
    DECLARE VARIABLE DIGITOS_DIA INTEGER;
    DECLARE VARIABLE DIGITOS_MES INTEGER;
    DECLARE VARIABLE DIGITOS_ANIO INTEGER;
    DECLARE VARIABLE PRIMERO DATE;
    DECLARE VARIABLE ULTIMO INTEGER;
BEGIN
    IF (TEXTO IS NULL OR ORDEN IS NULL) THEN
        RETURN NULL;
    T = TRIM(TEXTO);
    LONGITUD = CHAR_LENGTH(T);
    IF (LONGITUD = 0) THEN
        RETURN NULL;
    /* Split into runs of digits; anything between them separates. */
    I = 1;
    WHILE (I <= LONGITUD + 1) DO
    BEGIN
        IF (I <= LONGITUD) THEN
            C = SUBSTRING(T FROM I FOR 1);
        ELSE
            C = NULL;
        IF (C IS NOT NULL AND C BETWEEN '0' AND '9') THEN
        BEGIN
            IF (EN_CAMPO = 0) THEN
            BEGIN
                IF (I > 1 AND CAMPOS = 0) THEN
                    RETURN NULL; /* text in front of the first field */
                EN_CAMPO = 1;
                V = 0;
                DIGITOS = 0;
            END
            DIGITOS = DIGITOS + 1;
            IF (DIGITOS > 4) THEN
                RETURN NULL;
            V = V * 10 + (ASCII_VAL(C) - 48);
        END
        ELSE IF (EN_CAMPO = 1) THEN
        BEGIN
            EN_CAMPO = 0;
            CAMPOS = CAMPOS + 1;
            IF (CAMPOS = 1) THEN BEGIN V1 = V; D1 = DIGITOS; END
            ELSE IF (CAMPOS = 2) THEN BEGIN V2 = V; D2 = DIGITOS; END
            ELSE IF (CAMPOS = 3) THEN BEGIN V3 = V; D3 = DIGITOS; END
            ELSE RETURN NULL;
        END
        ELSE IF (C IS NOT NULL AND CAMPOS = 3) THEN
            RETURN NULL; /* text after the last field */
        I = I + 1;
    END
    IF (CAMPOS <> 3) THEN
        RETURN NULL;

    ORDEN = UPPER(TRIM(ORDEN));
    IF (ORDEN = 'DMY') THEN
    BEGIN DIA = V1; DIGITOS_DIA = D1; MES = V2; DIGITOS_MES = D2; ANIO = V3; DIGITOS_ANIO = D3; END
    ELSE IF (ORDEN = 'MDY') THEN
    BEGIN MES = V1; DIGITOS_MES = D1; DIA = V2; DIGITOS_DIA = D2; ANIO = V3; DIGITOS_ANIO = D3; END
    ELSE IF (ORDEN = 'YMD') THEN
    BEGIN ANIO = V1; DIGITOS_ANIO = D1; MES = V2; DIGITOS_MES = D2; DIA = V3; DIGITOS_DIA = D3; END
    ELSE
        RETURN NULL;

    IF (DIGITOS_DIA > 2 OR DIGITOS_MES > 2 OR DIGITOS_ANIO NOT IN (2, 4)) THEN
        RETURN NULL;
    IF (DIGITOS_ANIO = 2) THEN
        ANIO = 2000 + ANIO;
    IF (ANIO < 1 OR MES < 1 OR MES > 12 OR DIA < 1) THEN
        RETURN NULL;
    PRIMERO = CAST(LPAD(ANIO, 4, '0') || '-' || MES || '-01' AS DATE);
    /* December has 31 days: its next month would be out of range in December 9999. */
    IF (MES = 12) THEN
        ULTIMO = 31;
    ELSE
        ULTIMO = EXTRACT(DAY FROM DATEADD(-1 DAY TO DATEADD(1 MONTH TO PRIMERO)));
    IF (DIA > ULTIMO) THEN
        RETURN NULL;
    RETURN DATEADD(DIA - 1 DAY TO PRIMERO);
END^

/* A percentage as the user writes it: 19.0000 -> 19%, 2.5000 -> 2.5%. */
CREATE OR ALTER FUNCTION TEXTO_PORCENTAJE (PORC NUMERIC(15,4))
RETURNS VARCHAR(30)
AS
BEGIN
    IF (PORC IS NULL) THEN
        RETURN '';
    RETURN TRIM(TRAILING '.' FROM TRIM(TRAILING '0' FROM CAST(PORC AS VARCHAR(30)))) || '%';
END^

/* Writes one problem of a cash-sales posting into ERRORES, preceded by the posting's
   heading row when it is the first (CONTADOS is the number written so far). Returns
   the new number. */
CREATE OR ALTER PROCEDURE ANOTAR_ERROR_CONTADO (
    CONTADOS INTEGER,
    TITULO VARCHAR(60),
    TITULO_CADENA VARCHAR(200),
    CODIGO VARCHAR(60),
    CADENA VARCHAR(200))
RETURNS (TOTAL INTEGER)
AS
BEGIN
    IF (CONTADOS = 0) THEN
        INSERT INTO ERRORES (ERRO_ITEM, ERRO_TIPODOC, ERRO_IDDOC, ERRO_CODIGO, ERRO_CADENA)
        VALUES (GEN_ID(GEN_ERRORES, 1), 31, 0, :TITULO, SUBSTRING(:TITULO_CADENA FROM 1 FOR 60));
    INSERT INTO ERRORES (ERRO_ITEM, ERRO_TIPODOC, ERRO_IDDOC, ERRO_CODIGO, ERRO_CADENA)
    VALUES (GEN_ID(GEN_ERRORES, 1), 31, 0, :CODIGO, SUBSTRING(COALESCE(:CADENA, '') FROM 1 FOR 60));
    TOTAL = CONTADOS + 1;
END^

/* Adds a line to a pending voucher: a positive amount is a debit, a negative one a
   credit, zero adds nothing. Returns the next item number. */
CREATE OR ALTER PROCEDURE AGREGAR_LINEA (
    COMPROBANTE INTEGER,
    ITEM INTEGER,
    CUENTA VARCHAR(20),
    NIT VARCHAR(20),
    PORC NUMERIC(15,4),
    IMPORTE NUMERIC(18,2),
    DETALLE VARCHAR(100))
RETURNS (SIGUIENTE INTEGER)
AS
BEGIN
    SIGUIENTE = ITEM;
    IF (IMPORTE = 0) THEN
        EXIT;
    INSERT INTO COMPROBANTES_DET (CMDE_ID, COMP_ID, CMDE_ITEM, CUEN_COD, TERC_NIT, CMDE_PORC,
                                  CMDE_DEBITO, CMDE_CREDITO, CMDE_DETALLE)
    VALUES (GEN_ID(GEN_COMPROBANTES_DET, 1), :COMPROBANTE, :ITEM, :CUENTA, :NIT, :PORC,
            IIF(:IMPORTE > 0, :IMPORTE, 0), IIF(:IMPORTE < 0, -:IMPORTE, 0), :DETALLE);
    SIGUIENTE = ITEM + 1;
END^

/* Posts one day's cash sales of one point of sale.

   FECHA is the day as text in the workstation's short date pattern, read in the
   order configured under FACTURACION / FECHAS / ORDEN DE LA FECHA CORTA. The day's
   invoices of that prefix, point and customer NIT that no voucher has posted yet
   become one pending voucher:
     cash (debit)                      total of the invoices
     revenue (credit), per VAT rate    the taxable base
     VAT (credit), per VAT rate        the VAT
     cost of sales (debit) and
     inventory (credit), per VAT rate  base x the day's closing-adjustment factor
   and are marked with it. The one result row is then VER 'S', IDC the voucher, ERROR 0.

   Problems are written to ERRORES (type 31, document 0: a heading row and one row per
   problem), nothing is posted, and the one result row is VER 'N', IDC 0, ERROR the
   number of problems. With nothing left to post there is no row at all.

   A voucher of that day, point, prefix and NIT that an earlier posting built but never
   completed (its caller lost the connection between the two calls) comes first: the
   one result row is then VER 'P', IDC that voucher, ERROR 0, and nothing else is
   posted until it is completed.

   Two postings of the same day at once post it once. The second one either meets the
   first one's marks on the invoices and fails on the update conflict, undone whole, or
   finds that the first one took the invoices after its own check: its one result row
   is then VER 'O', IDC 0, ERROR 0, and it has posted nothing.

   Everything is written before the single SUSPEND, so a caller that fetches the first
   row and closes the cursor has the whole posting. */
CREATE OR ALTER PROCEDURE CONTABIL_FACTURAS_CONTADO (
    FECHA VARCHAR(100),
    NIT VARCHAR(100),
    PREFIJO VARCHAR(100),
    PUNTO INTEGER,
    INTERFAZ INTEGER)
RETURNS (VER CHAR(1), IDC INTEGER, ERROR INTEGER)
AS
    DECLARE VARIABLE TITULO VARCHAR(60) = 'Ventas de contado';
    DECLARE VARIABLE PROBLEMAS INTEGER = 0;
    DECLARE VARIABLE ORDEN VARCHAR(100);
    DECLARE VARIABLE DIA DATE;
    DECLARE VARIABLE TIPO INTEGER;
    DECLARE VARIABLE NOMBRE VARCHAR(60);
    DECLARE VARIABLE CTA_CAJA VARCHAR(20);
    DECLARE VARIABLE CTA_INGRESOS VARCHAR(20);
    DECLARE VARIABLE CTA_IVA VARCHAR(20);
    DECLARE VARIABLE CTA_COSTO VARCHAR(20);
    DECLARE VARIABLE CTA_INVENTARIO VARCHAR(20);
    DECLARE VARIABLE PORC NUMERIC(15,4);
    DECLARE VARIABLE FACTORES INTEGER;
    DECLARE VARIABLE FACTOR NUMERIC(15,4);
    DECLARE VARIABLE BASE NUMERIC(18,2);
    DECLARE VARIABLE IVA NUMERIC(18,2);
    DECLARE VARIABLE COSTO NUMERIC(18,2);
    DECLARE VARIABLE CAJA NUMERIC(18,2) = 0;
    DECLARE VARIABLE ITEM INTEGER = 2;
    DECLARE VARIABLE MARCADAS INTEGER;
    DECLARE VARIABLE DETALLE VARCHAR(100);
    DECLARE VARIABLE SIN_TARIFA SMALLINT = 0;

    /* Lists each VAT rate of the day's unposted invoices that has no closing-adjustment
       factor for the day, or more than one, as a problem. Returns the new number. */
    DECLARE PROCEDURE REVISAR_TARIFAS (
        CONTADOS INTEGER, TITULO VARCHAR(60), FECHA VARCHAR(100), DIA DATE, PUNTO INTEGER,
        PREFIJO VARCHAR(100), NIT VARCHAR(100))
    RETURNS (TOTAL INTEGER)
    AS
        DECLARE VARIABLE PORC NUMERIC(15,4);
        DECLARE VARIABLE FACTORES INTEGER;
    BEGIN
        TOTAL = CONTADOS;
        FOR SELECT DISTINCT D.FAIV_PORC
            FROM FACTURAS F JOIN FACTURAS_IVA D ON D.FACT_ID = F.FACT_ID
            WHERE F.FACT_FECHA = :DIA AND F.PTVT_ID = :PUNTO AND F.PREF_PRE = :PREFIJO
              AND F.TERC_NIT = :NIT AND F.COMP_ID IS NULL
            PLAN SORT (JOIN (F INDEX (IX_FACTURAS_POSTEO), D INDEX (PK_FACTURAS_IVA)))
            INTO :PORC
        DO
        BEGIN
            SELECT COUNT(DISTINCT AJCI_FACTOR) FROM AJUSTE_CIERRE
            WHERE AJCI_PORC = :PORC AND AJCI_FECINI <= :DIA
              AND COALESCE(AJCI_FECFIN, AJCI_FECINI) >= :DIA AND AJCI_FACTOR IS NOT NULL
            INTO :FACTORES;
            IF (FACTORES = 0) THEN
                EXECUTE PROCEDURE ANOTAR_ERROR_CONTADO(TOTAL, TITULO, FECHA,
                    'Falta tarifa ajuste', TEXTO_PORCENTAJE(PORC)) RETURNING_VALUES TOTAL;
            ELSE IF (FACTORES > 1) THEN
                EXECUTE PROCEDURE ANOTAR_ERROR_CONTADO(TOTAL, TITULO, FECHA,
                    'Tarifa ajuste doble', TEXTO_PORCENTAJE(PORC)) RETURNING_VALUES TOTAL;
        END
    END
BEGIN
    NIT = TRIM(NIT);
    PREFIJO = TRIM(PREFIJO);

    /* The day. */
    SELECT CONF_VALOR FROM CONFIGURACION
    WHERE CONF_MODULO = 'FACTURACION' AND CONF_CATEGORIA = 'FECHAS'
      AND CONF_PROPIEDAD = 'ORDEN DE LA FECHA CORTA'
    INTO :ORDEN;
    IF (ROW_COUNT = 0) THEN
        EXECUTE PROCEDURE ANOTAR_ERROR_CONTADO(PROBLEMAS, TITULO, FECHA,
            'Falta orden de fecha', 'FACTURACION/FECHAS') RETURNING_VALUES PROBLEMAS;
    ELSE IF (UPPER(TRIM(COALESCE(ORDEN, ''))) NOT IN ('DMY', 'MDY', 'YMD')) THEN
        EXECUTE PROCEDURE ANOTAR_ERROR_CONTADO(PROBLEMAS, TITULO, FECHA,
            'Orden fecha inválido', ORDEN) RETURNING_VALUES PROBLEMAS;
    ELSE
    BEGIN
        ORDEN = UPPER(TRIM(ORDEN));
        DIA = FECHA_CORTA(FECHA, ORDEN);
        IF (DIA IS NULL) THEN
            EXECUTE PROCEDURE ANOTAR_ERROR_CONTADO(PROBLEMAS, TITULO, FECHA,
                'Fecha ilegible ' || ORDEN, FECHA) RETURNING_VALUES PROBLEMAS;
    END

    /* A pending voucher of the same posting left by an earlier run. */
    IF (DIA IS NOT NULL) THEN
    BEGIN
        SELECT FIRST 1 COMP_ID FROM COMPROBANTES
        WHERE COMP_ESTADO = 'P' AND COMP_FECHA = :DIA AND PTVT_ID = :PUNTO
          AND PREF_PRE = :PREFIJO AND TERC_NIT = :NIT AND TIDO_COD = 31
          AND COMP_ORIGEN = 'FACTURAS CONTADO'
        ORDER BY COMP_ID
        INTO :IDC;
        IF (IDC IS NOT NULL) THEN
        BEGIN
            VER = 'P';
            ERROR = 0;
            SUSPEND;
            EXIT;
        END
    END

    /* Point, prefix and customer. */
    IF (NOT EXISTS (SELECT 1 FROM PUNTO_VENTA WHERE PTVT_ID = :PUNTO)) THEN
        EXECUTE PROCEDURE ANOTAR_ERROR_CONTADO(PROBLEMAS, TITULO, FECHA,
            'Punto no existe', COALESCE(CAST(PUNTO AS VARCHAR(20)), '')) RETURNING_VALUES PROBLEMAS;
    IF (NOT EXISTS (SELECT 1 FROM PREFIJOS WHERE PREF_PRE = :PREFIJO)) THEN
        EXECUTE PROCEDURE ANOTAR_ERROR_CONTADO(PROBLEMAS, TITULO, FECHA,
            'Prefijo no existe', PREFIJO) RETURNING_VALUES PROBLEMAS;
    IF (NOT EXISTS (SELECT 1 FROM TERCEROS WHERE TERC_NIT = :NIT)) THEN
        EXECUTE PROCEDURE ANOTAR_ERROR_CONTADO(PROBLEMAS, TITULO, FECHA,
            'NIT no existe', NIT) RETURNING_VALUES PROBLEMAS;

    /* The interface and its accounts. */
    SELECT TIDO_COD, INVE_NOMBRE, NULLIF(TRIM(INVE_CTA_CAJA), ''),
           NULLIF(TRIM(INVE_CTA_INGRESOS), ''), NULLIF(TRIM(INVE_CTA_IVA), ''),
           NULLIF(TRIM(INVE_CTA_COSTO), ''), NULLIF(TRIM(INVE_CTA_INVENTARIO), '')
    FROM INTERFAZ_VENTAS WHERE INVE_ID = :INTERFAZ
    INTO :TIPO, :NOMBRE, :CTA_CAJA, :CTA_INGRESOS, :CTA_IVA, :CTA_COSTO, :CTA_INVENTARIO;
    IF (ROW_COUNT = 0) THEN
        EXECUTE PROCEDURE ANOTAR_ERROR_CONTADO(PROBLEMAS, TITULO, FECHA,
            'Interfaz no existe', COALESCE(CAST(INTERFAZ AS VARCHAR(20)), '')) RETURNING_VALUES PROBLEMAS;
    ELSE
    BEGIN
        IF (TIPO <> 31) THEN
            EXECUTE PROCEDURE ANOTAR_ERROR_CONTADO(PROBLEMAS, TITULO, FECHA,
                'Interfaz no tipo 31', NOMBRE) RETURNING_VALUES PROBLEMAS;
        IF (CTA_CAJA IS NULL) THEN
            EXECUTE PROCEDURE ANOTAR_ERROR_CONTADO(PROBLEMAS, TITULO, FECHA,
                'Falta cuenta de caja', NOMBRE) RETURNING_VALUES PROBLEMAS;
        IF (CTA_INGRESOS IS NULL) THEN
            EXECUTE PROCEDURE ANOTAR_ERROR_CONTADO(PROBLEMAS, TITULO, FECHA,
                'Falta cta. ingresos', NOMBRE) RETURNING_VALUES PROBLEMAS;
        IF (CTA_IVA IS NULL) THEN
            EXECUTE PROCEDURE ANOTAR_ERROR_CONTADO(PROBLEMAS, TITULO, FECHA,
                'Falta cuenta de IVA', NOMBRE) RETURNING_VALUES PROBLEMAS;
        IF (CTA_COSTO IS NULL) THEN
            EXECUTE PROCEDURE ANOTAR_ERROR_CONTADO(PROBLEMAS, TITULO, FECHA,
                'Falta cta. de costo', NOMBRE) RETURNING_VALUES PROBLEMAS;
        IF (CTA_INVENTARIO IS NULL) THEN
            EXECUTE PROCEDURE ANOTAR_ERROR_CONTADO(PROBLEMAS, TITULO, FECHA,
                'Falta cta.inventario', NOMBRE) RETURNING_VALUES PROBLEMAS;
    END

    IF (PROBLEMAS = 0) THEN
    BEGIN
        /* The voucher, then the invoices it posts, then its lines from exactly those
           invoices: a concurrent posting of the same day fails on the marked rows
           instead of posting them twice. Each VAT rate of the marked invoices must have
           one closing-adjustment factor for the day; the first that has none or several
           undoes the whole block, and the rates are then listed as problems. The plans
           are fixed so that a day of many invoices posts fast even where the index
           statistics are stale. */
        IF (NOT EXISTS (SELECT 1 FROM FACTURAS
                        WHERE FACT_FECHA = :DIA AND PTVT_ID = :PUNTO AND PREF_PRE = :PREFIJO
                          AND TERC_NIT = :NIT AND COMP_ID IS NULL)) THEN
            EXIT; /* nothing left to post: no row */
        BEGIN
          /* A block without a handler of its own is undone whole when an exception leaves it;
             the handler is one level up. */
          BEGIN
            IDC = GEN_ID(GEN_COMPROBANTES, 1);
            DETALLE = 'Ventas de contado ' || PREFIJO || ' del ' || DIA;
            INSERT INTO COMPROBANTES (COMP_ID, COMP_ESTADO, COMP_FECHA, PTVT_ID, TIDO_COD, INVE_ID,
                                      PREF_PRE, TERC_NIT, COMP_ORIGEN, COMP_DETALLE)
            VALUES (:IDC, 'P', :DIA, :PUNTO, 31, :INTERFAZ, :PREFIJO, :NIT, 'FACTURAS CONTADO',
                    :DETALLE);

            UPDATE FACTURAS SET COMP_ID = :IDC
            WHERE FACT_FECHA = :DIA AND PTVT_ID = :PUNTO AND PREF_PRE = :PREFIJO AND TERC_NIT = :NIT
              AND COMP_ID IS NULL
            PLAN (FACTURAS INDEX (IX_FACTURAS_POSTEO));
            MARCADAS = ROW_COUNT;
            IF (MARCADAS = 0) THEN
            BEGIN
                /* Another posting took them since the check above: say so. */
                DELETE FROM COMPROBANTES WHERE COMP_ID = :IDC;
                VER = 'O';
                IDC = 0;
                ERROR = 0;
                SUSPEND;
                EXIT;
            END

            FOR SELECT D.FAIV_PORC, SUM(D.FAIV_BASE), SUM(D.FAIV_IVA)
                FROM FACTURAS F JOIN FACTURAS_IVA D ON D.FACT_ID = F.FACT_ID
                WHERE F.FACT_FECHA = :DIA AND F.PTVT_ID = :PUNTO AND F.PREF_PRE = :PREFIJO
                  AND F.TERC_NIT = :NIT AND F.COMP_ID = :IDC
                GROUP BY D.FAIV_PORC
                PLAN SORT (JOIN (F INDEX (IX_FACTURAS_POSTEO), D INDEX (PK_FACTURAS_IVA)))
                ORDER BY D.FAIV_PORC
                INTO :PORC, :BASE, :IVA
            DO
            BEGIN
                SELECT COUNT(DISTINCT AJCI_FACTOR), MIN(AJCI_FACTOR) FROM AJUSTE_CIERRE
                WHERE AJCI_PORC = :PORC AND AJCI_FECINI <= :DIA
                  AND COALESCE(AJCI_FECFIN, AJCI_FECINI) >= :DIA AND AJCI_FACTOR IS NOT NULL
                INTO :FACTORES, :FACTOR;
                IF (FACTORES <> 1) THEN
                BEGIN
                    SIN_TARIFA = 1;
                    EXCEPTION E_COMPROBANTE 'Tarifa de ajuste';
                END
                COSTO = ROUND(BASE * FACTOR, 2);
                CAJA = CAJA + BASE + IVA;
                EXECUTE PROCEDURE AGREGAR_LINEA(IDC, ITEM, CTA_INGRESOS, NIT, PORC, -BASE,
                    'Ventas ' || TEXTO_PORCENTAJE(PORC)) RETURNING_VALUES ITEM;
                EXECUTE PROCEDURE AGREGAR_LINEA(IDC, ITEM, CTA_IVA, NIT, PORC, -IVA,
                    'IVA ' || TEXTO_PORCENTAJE(PORC)) RETURNING_VALUES ITEM;
                EXECUTE PROCEDURE AGREGAR_LINEA(IDC, ITEM, CTA_COSTO, NIT, PORC, COSTO,
                    'Costo de ventas ' || TEXTO_PORCENTAJE(PORC)) RETURNING_VALUES ITEM;
                EXECUTE PROCEDURE AGREGAR_LINEA(IDC, ITEM, CTA_INVENTARIO, NIT, PORC, -COSTO,
                    'Salida de inventario ' || TEXTO_PORCENTAJE(PORC)) RETURNING_VALUES ITEM;
            END
            EXECUTE PROCEDURE AGREGAR_LINEA(IDC, 1, CTA_CAJA, NIT, NULL, CAJA,
                'Caja ventas de contado (' || MARCADAS || ' facturas)') RETURNING_VALUES ITEM;
          END
        WHEN ANY DO
        BEGIN
            /* Anything but a rate without its factor goes to the caller as it came. */
            IF (SIN_TARIFA = 0) THEN
                EXCEPTION;
        END
        END
    END

    IF (PROBLEMAS > 0 OR SIN_TARIFA = 1) THEN
    BEGIN
        /* Every problem is listed at once, the rates' too. After a rate without its factor
           nothing of the posting block above is left. */
        IF (DIA IS NOT NULL) THEN
            EXECUTE PROCEDURE REVISAR_TARIFAS(PROBLEMAS, TITULO, FECHA, DIA, PUNTO, PREFIJO, NIT)
                RETURNING_VALUES PROBLEMAS;
        VER = 'N';
        IDC = 0;
        ERROR = PROBLEMAS;
        SUSPEND;
        EXIT;
    END

    VER = 'S';
    ERROR = 0;
    SUSPEND;
END^

/* The next voucher number, taken in the caller's transaction: rolled back with it, the
   number is given back. A completion that waited for another one's number meets an update
   conflict once that one commits, and takes the number after it (read committed sees it);
   after 20 conflicts in a row the conflict is raised. */
CREATE OR ALTER PROCEDURE SIGUIENTE_NUMERO_COMPROBANTE
RETURNS (NUMERO INTEGER)
AS
    DECLARE VARIABLE INTENTOS INTEGER = 0;
BEGIN
    NUMERO = NULL;
    WHILE (NUMERO IS NULL) DO
    BEGIN
        INTENTOS = INTENTOS + 1;
        BEGIN
            UPDATE NUMERACION_COMPROBANTES SET NUCO_ULTIMO = NUCO_ULTIMO + 1
            WHERE NUCO_ID = 1
            RETURNING NUCO_ULTIMO INTO :NUMERO;
            IF (ROW_COUNT = 0) THEN
                EXCEPTION E_COMPROBANTE 'Falta la numeración de comprobantes (NUMERACION_COMPROBANTES)';
            WHEN GDSCODE update_conflict, GDSCODE deadlock, GDSCODE lock_conflict DO
            BEGIN
                IF (INTENTOS >= 20) THEN
                    EXCEPTION;
                NUMERO = NULL;
            END
        END
    END
END^

/* Completes a pending voucher: it must exist, be pending and balance; it then gets
   its number and becomes definitive. Anything else raises E_COMPROBANTE. */
CREATE OR ALTER PROCEDURE CONTABILIZA_PENDIENTE (IDCNT INTEGER)
AS
    DECLARE VARIABLE ESTADO CHAR(1);
    DECLARE VARIABLE DEBITOS NUMERIC(18,2);
    DECLARE VARIABLE CREDITOS NUMERIC(18,2);
    DECLARE VARIABLE NUMERO INTEGER;
BEGIN
    SELECT COMP_ESTADO FROM COMPROBANTES WHERE COMP_ID = :IDCNT WITH LOCK INTO :ESTADO;
    IF (ROW_COUNT = 0) THEN
        EXCEPTION E_COMPROBANTE 'El comprobante ' || COALESCE(CAST(IDCNT AS VARCHAR(20)), '(vacío)') || ' no existe';
    IF (ESTADO <> 'P') THEN
        EXCEPTION E_COMPROBANTE 'El comprobante ' || IDCNT || ' no está pendiente';
    SELECT COALESCE(SUM(CMDE_DEBITO), 0), COALESCE(SUM(CMDE_CREDITO), 0)
    FROM COMPROBANTES_DET WHERE COMP_ID = :IDCNT
    INTO :DEBITOS, :CREDITOS;
    IF (DEBITOS <> CREDITOS) THEN
        EXCEPTION E_COMPROBANTE 'El comprobante ' || IDCNT || ' no cuadra: débitos '
            || DEBITOS || ', créditos ' || CREDITOS;
    EXECUTE PROCEDURE SIGUIENTE_NUMERO_COMPROBANTE RETURNING_VALUES :NUMERO;
    UPDATE COMPROBANTES
    SET COMP_NUMERO = :NUMERO, COMP_ESTADO = 'D',
        COMP_CERRADO = CURRENT_TIMESTAMP
    WHERE COMP_ID = :IDCNT;
END^

/* Undoes a pending voucher that will not be completed (the program found it is not of
   the day or point it asked for): its invoices lose their mark, so they can be posted
   again, and the voucher goes with its lines. Anything but a pending voucher raises
   E_COMPROBANTE. */
CREATE OR ALTER PROCEDURE DESCARTA_PENDIENTE (IDCNT INTEGER)
AS
    DECLARE VARIABLE ESTADO CHAR(1);
BEGIN
    SELECT COMP_ESTADO FROM COMPROBANTES WHERE COMP_ID = :IDCNT WITH LOCK INTO :ESTADO;
    IF (ROW_COUNT = 0) THEN
        EXCEPTION E_COMPROBANTE 'El comprobante ' || COALESCE(CAST(IDCNT AS VARCHAR(20)), '(vacío)') || ' no existe';
    IF (ESTADO <> 'P') THEN
        EXCEPTION E_COMPROBANTE 'El comprobante ' || IDCNT || ' no está pendiente';
    UPDATE FACTURAS SET COMP_ID = NULL WHERE COMP_ID = :IDCNT;
    DELETE FROM COMPROBANTES WHERE COMP_ID = :IDCNT;
END^

SET TERM ; ^

COMMIT;

/* ---- Reversal of a cash-sales posting ---------------------------------------- */

SET TERM ^ ;

/* Takes back the completed cash-sales voucher IDCNT: a reversing voucher with every one
   of its lines, debit and credit swapped, dated the same day and for the same point,
   prefix and customer, referring to it (COMP_REVIERTE) and completed like any voucher;
   IDCNT is marked (COMP_REVERTIDO_POR) and its invoices lose their mark, so the day can
   be posted again.

   One result row. Reversed: IDC the reversing voucher, NUMERO its number, RECHAZO
   NULL. Refused, with nothing written: IDC 0, NUMERO NULL and RECHAZO saying why (a
   voucher that does not exist, that is not a cash-sales posting, that is still pending
   or that was already reversed). The voucher is locked first, so two reversals of it at
   once reverse it once: the second one fails on the update conflict. */
CREATE OR ALTER PROCEDURE REVIERTE_CONTADO (IDCNT INTEGER)
RETURNS (IDC INTEGER, NUMERO INTEGER, RECHAZO VARCHAR(200))
AS
    DECLARE VARIABLE ESTADO CHAR(1);
    DECLARE VARIABLE ORIGEN VARCHAR(30);
    DECLARE VARIABLE NUMERO_ORIGINAL INTEGER;
    DECLARE VARIABLE REVERTIDO_POR INTEGER;
    DECLARE VARIABLE NUMERO_REVERSION INTEGER;
    DECLARE VARIABLE DIA DATE;
    DECLARE VARIABLE PUNTO INTEGER;
    DECLARE VARIABLE PREFIJO VARCHAR(10);
    DECLARE VARIABLE NIT VARCHAR(20);
BEGIN
    IDC = 0;
    SELECT COMP_ESTADO, COMP_ORIGEN, COMP_NUMERO, COMP_REVERTIDO_POR, COMP_FECHA, PTVT_ID,
           PREF_PRE, TERC_NIT
    FROM COMPROBANTES
    WHERE COMP_ID = :IDCNT WITH LOCK
    INTO :ESTADO, :ORIGEN, :NUMERO_ORIGINAL, :REVERTIDO_POR, :DIA, :PUNTO, :PREFIJO, :NIT;
    IF (ROW_COUNT = 0) THEN
        RECHAZO = 'El comprobante ' || COALESCE(CAST(IDCNT AS VARCHAR(20)), '(vacío)') || ' no existe.';
    ELSE IF (ORIGEN <> 'FACTURAS CONTADO') THEN
        RECHAZO = 'El comprobante ' || IDCNT || ' no es una contabilización de ventas de contado.';
    ELSE IF (ESTADO <> 'D') THEN
        RECHAZO = 'El comprobante ' || IDCNT || ' está pendiente: solo se revierte un comprobante completado.';
    ELSE IF (REVERTIDO_POR IS NOT NULL) THEN
    BEGIN
        SELECT COMP_NUMERO FROM COMPROBANTES WHERE COMP_ID = :REVERTIDO_POR INTO :NUMERO_REVERSION;
        RECHAZO = 'El comprobante ' || IDCNT || ' ya fue revertido por el comprobante '
            || REVERTIDO_POR || ' (número ' || COALESCE(NUMERO_REVERSION, '') || ').';
    END
    IF (RECHAZO IS NOT NULL) THEN
    BEGIN
        SUSPEND;
        EXIT;
    END

    IDC = GEN_ID(GEN_COMPROBANTES, 1);
    INSERT INTO COMPROBANTES (COMP_ID, COMP_ESTADO, COMP_FECHA, PTVT_ID, TIDO_COD, INVE_ID,
                              PREF_PRE, TERC_NIT, COMP_ORIGEN, COMP_DETALLE, COMP_REVIERTE)
    SELECT :IDC, 'P', COMP_FECHA, PTVT_ID, TIDO_COD, INVE_ID, PREF_PRE, TERC_NIT,
           'REVERSION CONTADO',
           SUBSTRING('Reversión del comprobante ' || COMP_NUMERO || ': ' || COALESCE(COMP_DETALLE, '') FROM 1 FOR 100),
           COMP_ID
    FROM COMPROBANTES WHERE COMP_ID = :IDCNT;
    INSERT INTO COMPROBANTES_DET (CMDE_ID, COMP_ID, CMDE_ITEM, CUEN_COD, TERC_NIT, CMDE_PORC,
                                  CMDE_DEBITO, CMDE_CREDITO, CMDE_DETALLE)
    SELECT GEN_ID(GEN_COMPROBANTES_DET, 1), :IDC, CMDE_ITEM, CUEN_COD, TERC_NIT, CMDE_PORC,
           CMDE_CREDITO, CMDE_DEBITO, CMDE_DETALLE
    FROM COMPROBANTES_DET WHERE COMP_ID = :IDCNT;
    EXECUTE PROCEDURE CONTABILIZA_PENDIENTE(IDC);
    SELECT COMP_NUMERO FROM COMPROBANTES WHERE COMP_ID = :IDC INTO :NUMERO;

    UPDATE COMPROBANTES SET COMP_REVERTIDO_POR = :IDC WHERE COMP_ID = :IDCNT;
    /* Its invoices, found by its day, point, prefix and customer. */
    UPDATE FACTURAS SET COMP_ID = NULL
    WHERE FACT_FECHA = :DIA AND PTVT_ID = :PUNTO AND PREF_PRE = :PREFIJO AND TERC_NIT = :NIT
      AND COMP_ID = :IDCNT
    PLAN (FACTURAS INDEX (IX_FACTURAS_POSTEO));
    SUSPEND;
END^

SET TERM ; ^

COMMIT;
