if exists (select * from dbo.sysobjects where id = object_id(N'[dbo].[P26]') and OBJECTPROPERTY(id, N'IsProcedure') = 1)

drop procedure [dbo].[P26]

GO
if exists (select * from dbo.sysobjects where id = object_id(N'[dbo].[P26_T]') and OBJECTPROPERTY(id, N'IsProcedure') = 1)

drop procedure [dbo].[P26_T]

GO
CREATE PROCEDURE dbo.P26_T
As

if exists (select * from dbo.sysobjects where id = object_id(N'[dbo].[TEMP_NOVEDADES]') and OBJECTPROPERTY(id, N'IsUserTable') = 1)

drop table [dbo].[TEMP_NOVEDADES]

GO
if exists (select * from dbo.sysobjects where id = object_id(N'[dbo].[TEMP_NOVEDADES]') and OBJECTPROPERTY(id, N'IsUserTable') = 1)
drop table [dbo].[TEMP_NOVEDADES]

GO
CREATE PROCEDURE dbo.P26
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

Execute P26_T

CREATE TABLE [dbo].[TEMP_NOVEDADES] (
Empresa varchar(20) NULL,
Periodo Numeric(4,0) NULL,
VPeriodo Numeric(4,0) NULL ,
VENTAS_1 Float NULL
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

SELECT @VInt2 = ValorInt, @VDbl2=ValorDbl
FROM SE_NOVEDAD
WHERE FormSector = @Formulario
AND Periodo = @Periodo AND Empresa = @Empresa AND Campo ='VENTAS'

IF @@ROWCOUNT = 0
Set @Resultado2 = 0
ELSE
BEGIN
IF @VInt2 = 0
Set @Resultado2 = @VDbl2
Else
Set @Resultado2 = @VInt2

END

INSERT INTO Temp_Novedades (Empresa, Periodo, VPeriodo, VENTAS_1, VENTAS) VALUES(@Empresa, @Periodo, @VPeriodo, @Resultado1, @Resultado2)

FETCH NEXT FROM TNov INTO @Empresa
END

CLOSE TNov
DEALLOCATE TNov

UPDATE Temp_Novedades set VENTAS_1 = 0 where VENTAS_1 is null
UPDATE Temp_Novedades set VENTAS = 0 where VENTAS is null
Delete SE_RESULTADO where Id_FA = 26 And RE_Periodo = @VPeriodo And RE_Anio = @Periodo

----------------------
CREATE TABLE [dbo].[TEMP_FUNCION] ([Idc] [numeric](18, 0) IDENTITY (1, 1) NOT NULL ,[Valor] [float] NULL)

DECLARE TT CURSOR FOR 
SELECT VENTAS_1 From TEMP_NOVEDADES ORDER BY 1

OPEN TT
FETCH NEXT FROM TT INTO @VRes

WHILE (@@FETCH_STATUS = 0)
BEGIN

INSERT INTO TEMP_FUNCION (Valor) VALUES(@VRes)

FETCH NEXT FROM TT INTO @VRes
END

CLOSE TT
DEALLOCATE TT
---------------

DECLARE TResul CURSOR FOR 
SELECT Empresa, Periodo, VPeriodo, (DBO.PCUARTIL(VENTAS_1) + VENTAS) as P26 From TEMP_NOVEDADES

OPEN TResul
FETCH NEXT FROM TResul INTO @Empresa, @Periodo, @VPeriodo, @VRes

WHILE (@@FETCH_STATUS = 0)
BEGIN

INSERT INTO SE_RESULTADO (Id_FA, RE_Empresa, RE_Periodo, RE_Valor, RE_FCreacion, RE_FormSector, RE_Anio) VALUES(26, @Empresa, @VPeriodo, @VRes, GetDate(), @Formulario, @Periodo)

FETCH NEXT FROM TResul INTO @Empresa, @Periodo, @VPeriodo, @VRes
END

CLOSE TResul
DEALLOCATE TResul
drop table [dbo].[TEMP_NOVEDADES]

drop table [dbo].[TEMP_FUNCION]

GO
