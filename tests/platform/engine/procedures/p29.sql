if exists (select * from dbo.sysobjects where id = object_id(N'[dbo].[P29]') and OBJECTPROPERTY(id, N'IsProcedure') = 1)

drop procedure [dbo].[P29]

GO
if exists (select * from dbo.sysobjects where id = object_id(N'[dbo].[P29_T]') and OBJECTPROPERTY(id, N'IsProcedure') = 1)

drop procedure [dbo].[P29_T]

GO
CREATE PROCEDURE dbo.P29_T
As

if exists (select * from dbo.sysobjects where id = object_id(N'[dbo].[TEMP_NOVEDADES]') and OBJECTPROPERTY(id, N'IsUserTable') = 1)

drop table [dbo].[TEMP_NOVEDADES]

GO
if exists (select * from dbo.sysobjects where id = object_id(N'[dbo].[TEMP_NOVEDADES]') and OBJECTPROPERTY(id, N'IsUserTable') = 1)
drop table [dbo].[TEMP_NOVEDADES]

GO
CREATE PROCEDURE dbo.P29
@Formulario as Varchar(30),
@Periodo as Numeric(4,0),
@VPeriodo as Numeric(4,0)

AS

DECLARE @Empresa as varchar(20)
DECLARE @VRes as Float
DECLARE @ExTbl as Integer
DECLARE @VInt1 as Numeric(18,0)
DECLARE @VDbl1 as Float
DECLARE @Resultado1 as Float
DECLARE @VInt2 as Numeric(18,0)
DECLARE @VDbl2 as Float
DECLARE @Resultado2 as Float
DECLARE @VInt3 as Numeric(18,0)
DECLARE @VDbl3 as Float
DECLARE @Resultado3 as Float

Execute P29_T

CREATE TABLE [dbo].[TEMP_NOVEDADES] (
Empresa varchar(20) NULL,
Periodo Numeric(4,0) NULL,
VPeriodo Numeric(4,0) NULL ,
VENTAS_1 Float NULL
,
TOTAL Float Null
,
VENTAS Float NULL
)

DECLARE TNov CURSOR FOR 
SELECT Unico as Empresa 
FROM SE_MUESTRA_PADRON 
WHERE FormSector = @Formulario
and Periodo = @Periodo

OPEN TNov
FETCH NEXT FROM TNov INTO @Empresa

WHILE (@@FETCH_STATUS = 0)
BEGIN
SELECT @VInt1 = ValorInt, @VDbl1=ValorDbl
FROM SE_NOVEDAD
WHERE FormSector = @Formulario
AND Periodo = @Periodo-1 AND Empresa = @Empresa AND Campo ='VENTAS'

IF @@ROWCOUNT = 0
Set @Resultado1 = 0
ELSE
BEGIN
IF @VInt1 = 0
Set @Resultado1 = @VDbl1
Else
Set @Resultado1 = @VInt1

END

SELECT @VInt2 = RE_Valor, @VDbl2=0
FROM SE_RESULTADO
Inner join SE_CABFORMULA On Id_formCab = Id_FA
WHERE RE_FormSector = @Formulario
AND RE_Periodo = @VPeriodo AND RE_ANIO = @Periodo AND RE_Empresa = @Empresa AND FC_NomVar ='TOTAL'

IF @@ROWCOUNT = 0
Set @Resultado2 = 0
ELSE
BEGIN
IF @VInt2 = 0
Set @Resultado2 = @VDbl2
Else
Set @Resultado2 = @VInt2

END

SELECT @VInt3 = ValorInt, @VDbl3=ValorDbl
FROM SE_NOVEDAD
WHERE FormSector = @Formulario
AND Periodo = @Periodo AND Empresa = @Empresa AND Campo ='VENTAS'

IF @@ROWCOUNT = 0
Set @Resultado3 = 0
ELSE
BEGIN
IF @VInt3 = 0
Set @Resultado3 = @VDbl3
Else
Set @Resultado3 = @VInt3

END

INSERT INTO Temp_Novedades (Empresa, Periodo, VPeriodo, VENTAS_1, TOTAL, VENTAS) VALUES(@Empresa, @Periodo, @VPeriodo, @Resultado1, @Resultado2, @Resultado3)

FETCH NEXT FROM TNov INTO @Empresa
END

CLOSE TNov
DEALLOCATE TNov

UPDATE Temp_Novedades set VENTAS_1 = 0 where VENTAS_1 is null
UPDATE Temp_Novedades set TOTAL = 0 where TOTAL is null
UPDATE Temp_Novedades set VENTAS = 0 where VENTAS is null
Delete SE_RESULTADO where Id_FA = 29 And RE_Periodo = @VPeriodo And RE_Anio = @Periodo

DECLARE TResul CURSOR FOR 
SELECT Empresa, Periodo, VPeriodo, ( (ROUND(VENTAS_1,0) + POWER(TOTAL,2))  * SQRT(4) - ABS(VENTAS) + EXP(0)) as P29 From TEMP_NOVEDADES

OPEN TResul
FETCH NEXT FROM TResul INTO @Empresa, @Periodo, @VPeriodo, @VRes

WHILE (@@FETCH_STATUS = 0)
BEGIN

INSERT INTO SE_RESULTADO (Id_FA, RE_Empresa, RE_Periodo, RE_Valor, RE_FCreacion, RE_FormSector, RE_Anio) VALUES(29, @Empresa, @VPeriodo, @VRes, GetDate(), @Formulario, @Periodo)

FETCH NEXT FROM TResul INTO @Empresa, @Periodo, @VPeriodo, @VRes
END

CLOSE TResul
DEALLOCATE TResul
drop table [dbo].[TEMP_NOVEDADES]

GO
