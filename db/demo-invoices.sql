/* SPDX-License-Identifier: Apache-2.0 */
/* Demo company: the configured date order, the invoices and the closing-adjustment
   rates of today and the @DAYS@ - 1 days before it. db/make-company replaces @DAYS@,
   @INVOICES@ and @DATE_ORDER@ before loading it. Amounts are made from the invoice's
   number, so every company built with the same options holds the same amounts. */

SET SQL DIALECT 3;

INSERT INTO CONFIGURACION VALUES ('FACTURACION', 'FECHAS', 'ORDEN DE LA FECHA CORTA', '@DATE_ORDER@');

SET TERM ^ ;

EXECUTE BLOCK
AS
    DECLARE VARIABLE DIAS INTEGER = @DAYS@;
    DECLARE VARIABLE POR_DIA INTEGER = @INVOICES@;
    DECLARE VARIABLE ATRAS INTEGER;
    DECLARE VARIABLE DIA DATE;
    DECLARE VARIABLE PUNTO INTEGER;
    DECLARE VARIABLE PREFIJO VARCHAR(4);
    DECLARE VARIABLE NIT_CONTADO VARCHAR(20);
    DECLARE VARIABLE I INTEGER;
    DECLARE VARIABLE NUMERO INTEGER;
    DECLARE VARIABLE ID INTEGER = 0;
    DECLARE VARIABLE SEMILLA BIGINT;
    DECLARE VARIABLE BASE NUMERIC(18,2);
BEGIN
    ATRAS = DIAS - 1;
    WHILE (ATRAS >= 0) DO
    BEGIN
        DIA = DATEADD(-ATRAS DAY TO CURRENT_DATE);
        /* Rates of the day: one factor per VAT percentage the invoices use. */
        INSERT INTO AJUSTE_CIERRE VALUES (0, :DIA, :DIA, 0, 0.6);
        INSERT INTO AJUSTE_CIERRE VALUES (0, :DIA, :DIA, 5, 0.75);
        INSERT INTO AJUSTE_CIERRE VALUES (0, :DIA, :DIA, 19, 0.8);
        FOR SELECT P.PTVT_ID, P.PREF_PRE,
                   COALESCE(NULLIF((SELECT FIRST 1 A.AUTO_NITCONTADO FROM AUTORIZACIONES A
                                    WHERE A.PREF_PRE = P.PREF_PRE ORDER BY A.AUTO_ID), ''),
                            (SELECT C.CONF_VALOR FROM CONFIGURACION C
                             WHERE C.CONF_MODULO = 'FACTURACION' AND C.CONF_CATEGORIA = 'FACTURAS'
                               AND C.CONF_PROPIEDAD = 'CODIGO DEL CLIENTE PARA VENTAS DE CONTADO'))
            FROM PUNTO_VENTA P ORDER BY P.PTVT_ID
            INTO :PUNTO, :PREFIJO, :NIT_CONTADO
        DO
        BEGIN
            I = 1;
            WHILE (I <= POR_DIA) DO
            BEGIN
                ID = ID + 1;
                NUMERO = (DIAS - 1 - ATRAS) * POR_DIA + I;
                SEMILLA = CAST(NUMERO AS BIGINT) * 7919 + PUNTO * 104729;
                /* Every tenth invoice is a sale to a named customer, not to the cash NIT. */
                INSERT INTO FACTURAS (FACT_ID, PREF_PRE, FACT_NUMERO, FACT_FECHA, PTVT_ID, TERC_NIT)
                VALUES (:ID, :PREFIJO, :NUMERO, :DIA, :PUNTO,
                        IIF(MOD(:NUMERO, 10) = 0, '900555111', :NIT_CONTADO));
                /* Goods at 19% on every invoice, at 5% on every third, exempt on every fourth. */
                BASE = (MOD(SEMILLA, 50000) + 100) * 0.01;
                INSERT INTO FACTURAS_IVA VALUES (:ID, 19, :BASE, ROUND(:BASE * 0.19, 2));
                IF (MOD(NUMERO, 3) = 0) THEN
                BEGIN
                    BASE = (MOD(SEMILLA / 7, 20000) + 50) * 0.01;
                    INSERT INTO FACTURAS_IVA VALUES (:ID, 5, :BASE, ROUND(:BASE * 0.05, 2));
                END
                IF (MOD(NUMERO, 4) = 1) THEN
                BEGIN
                    BASE = (MOD(SEMILLA / 13, 10000) + 25) * 0.01;
                    INSERT INTO FACTURAS_IVA VALUES (:ID, 0, :BASE, 0);
                END
                I = I + 1;
            END
        END
        ATRAS = ATRAS - 1;
    END
    /* Invoices added later get keys after the generated ones. */
    ID = GEN_ID(GEN_FACTURAS, ID);
END^

SET TERM ; ^

COMMIT;

/* Index selectivity after the bulk load, so that the posting's plans use the indexes. */
SET TERM ^ ;
EXECUTE BLOCK
AS
    DECLARE VARIABLE INDICE VARCHAR(63);
BEGIN
    FOR SELECT TRIM(RDB$INDEX_NAME) FROM RDB$INDICES
        WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0
        INTO :INDICE
    DO
        EXECUTE STATEMENT 'SET STATISTICS INDEX "' || INDICE || '"';
END^
SET TERM ; ^

COMMIT;
