-- Data for the generated-procedure cases: the field VENTAS for 2005 and 2004 (one reading in
-- ValorInt, one company without a 2005 value), the sample column wf with decimals, and the
-- results of formula 1 (TOTAL) for 2005 and for 2004, with decimals.
INSERT INTO SE_ESTRUCTURAS (Est_IdArchivo, Est_Campo, Est_Tipo, Est_Tamanio, Est_Precision, Est_Escala, Est_Fecha) Values(1,'VENTAS','Numeric',12,12,2,'05/12/2026')
insert into SE_MUESTRA_PADRON (CUIT, FormSector, Periodo, Domi, Muestra, unico, razon, Estado, wf) Values(30000000000, 'ENC', 2005, 1, 1, 'A1', 'Empresa A1', 1, 1.4)
insert into SE_MUESTRA_PADRON (CUIT, FormSector, Periodo, Domi, Muestra, unico, razon, Estado, wf) Values(30000000001, 'ENC', 2005, 1, 1, 'A2', 'Empresa A2', 1, 2.6)
insert into SE_MUESTRA_PADRON (CUIT, FormSector, Periodo, Domi, Muestra, unico, razon, Estado, wf) Values(30000000002, 'ENC', 2005, 1, 1, 'A3', 'Empresa A3', 1, 3.5)
insert into SE_MUESTRA_PADRON (CUIT, FormSector, Periodo, Domi, Muestra, unico, razon, Estado, wf) Values(30000000000, 'ENC', 2004, 1, 1, 'A1', 'Empresa A1', 1, 10)
insert into SE_MUESTRA_PADRON (CUIT, FormSector, Periodo, Domi, Muestra, unico, razon, Estado, wf) Values(30000000001, 'ENC', 2004, 1, 1, 'A2', 'Empresa A2', 1, 20.5)
insert into SE_MUESTRA_PADRON (CUIT, FormSector, Periodo, Domi, Muestra, unico, razon, Estado, wf) Values(30000000002, 'ENC', 2004, 1, 1, 'A3', 'Empresa A3', 1, 30)
insert into SE_MUESTRA_PADRON (CUIT, FormSector, Periodo, Domi, Muestra, unico, razon, Estado, wf) Values(30000000009, 'OTRO', 2005, 1, 1, 'B1', 'Empresa B1', 1, 99)
INSERT INTO SE_NOVEDAD (Arc_Id, FormSector, Capitulo, Empresa, Periodo, Campo, Tipo, ValorStr, ValorInt, ValorDbl, ValorDte) Values(1,'ENC', 1, 'A1', 2005, 'VENTAS', 'Dbl', 'Null', 0, 100, '')
INSERT INTO SE_NOVEDAD (Arc_Id, FormSector, Capitulo, Empresa, Periodo, Campo, Tipo, ValorStr, ValorInt, ValorDbl, ValorDte) Values(1,'ENC', 1, 'A2', 2005, 'VENTAS', 'Int', 'Null', 200, 0, '')
INSERT INTO SE_NOVEDAD (Arc_Id, FormSector, Capitulo, Empresa, Periodo, Campo, Tipo, ValorStr, ValorInt, ValorDbl, ValorDte) Values(1,'ENC', 1, 'A1', 2004, 'VENTAS', 'Dbl', 'Null', 0, 50, '')
INSERT INTO SE_NOVEDAD (Arc_Id, FormSector, Capitulo, Empresa, Periodo, Campo, Tipo, ValorStr, ValorInt, ValorDbl, ValorDte) Values(1,'ENC', 1, 'A2', 2004, 'VENTAS', 'Dbl', 'Null', 0, 40, '')
INSERT INTO SE_NOVEDAD (Arc_Id, FormSector, Capitulo, Empresa, Periodo, Campo, Tipo, ValorStr, ValorInt, ValorDbl, ValorDte) Values(1,'ENC', 1, 'A3', 2004, 'VENTAS', 'Dbl', 'Null', 0, 70, '')
INSERT INTO SE_NOVEDAD (Arc_Id, FormSector, Capitulo, Empresa, Periodo, Campo, Tipo, ValorStr, ValorInt, ValorDbl, ValorDte) Values(1,'OTRO', 1, 'A3', 2005, 'VENTAS', 'Dbl', 'Null', 0, 999, '')
INSERT INTO SE_CABFORMULA (FC_Nombre, FC_NomVar, FC_Formula, FC_Tipo, FC_Activo) VALUES('Total', 'TOTAL', 'VENTAS', 'T', 1)
INSERT INTO SE_RESULTADO (Id_FA, RE_Empresa, RE_Periodo, RE_Valor, RE_FCreacion, RE_FormSector, RE_Anio) VALUES(1, 'A1', 2005, 10.6, GetDate(), 'ENC', 2005)
INSERT INTO SE_RESULTADO (Id_FA, RE_Empresa, RE_Periodo, RE_Valor, RE_FCreacion, RE_FormSector, RE_Anio) VALUES(1, 'A2', 2005, 20.4, GetDate(), 'ENC', 2005)
INSERT INTO SE_RESULTADO (Id_FA, RE_Empresa, RE_Periodo, RE_Valor, RE_FCreacion, RE_FormSector, RE_Anio) VALUES(1, 'A1', 2005, 1.5, GetDate(), 'ENC', 2004)
INSERT INTO SE_RESULTADO (Id_FA, RE_Empresa, RE_Periodo, RE_Valor, RE_FCreacion, RE_FormSector, RE_Anio) VALUES(1, 'A2', 2005, 2.5, GetDate(), 'ENC', 2004)
INSERT INTO SE_RESULTADO (Id_FA, RE_Empresa, RE_Periodo, RE_Valor, RE_FCreacion, RE_FormSector, RE_Anio) VALUES(1, 'A3', 2005, 3.4, GetDate(), 'ENC', 2004)
GO
