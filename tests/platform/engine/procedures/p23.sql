if exists (select * from dbo.sysobjects where id = object_id(N'[dbo].[P23]') and OBJECTPROPERTY(id, N'IsProcedure') = 1)

drop procedure [dbo].[P23]

GO
if exists (select * from dbo.sysobjects where id = object_id(N'[dbo].[P23_T]') and OBJECTPROPERTY(id, N'IsProcedure') = 1)

drop procedure [dbo].[P23_T]

GO
CREATE PROCEDURE dbo.P23_T
As

if exists (select * from dbo.sysobjects where id = object_id(N'[dbo].[TEMP_NOVEDADES]') and OBJECTPROPERTY(id, N'IsUserTable') = 1)

drop table [dbo].[TEMP_NOVEDADES]

GO
if exists (select * from dbo.sysobjects where id = object_id(N'[dbo].[TEMP_NOVEDADES]') and OBJECTPROPERTY(id, N'IsUserTable') = 1)
drop table [dbo].[TEMP_NOVEDADES]

GO
CREATE PROCEDURE dbo.P23
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

Execute P23_T

CREATE TABLE [dbo].[TEMP_NOVEDADES] (
Empresa varchar(20) NULL,
Periodo Numeric(4,0) NULL,
VPeriodo Numeric(4,0) NULL ,
TOTAL_1 Float Null
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
SELECT @VInt1 = RE_Valor, @VDbl1=0
FROM SE_RESULTADO
Inner join SE_CABFORMULA On Id_formCab = Id_FA
WHERE RE_FormSector = @Formulario
AND RE_Periodo = @VPeriodo AND RE_ANIO = @Periodo - 1 AND RE_Empresa = @Empresa AND FC_NomVar ='TOTAL'

IF @@ROWCOUNT = 0
Set @Resultado1 = 0
ELSE
BEGIN
IF @VInt1 = 0
Set @Resultado1 = @VDbl1
Else
Set @Resultado1 = @VInt1

END

INSERT INTO Temp_Novedades (Empresa, Periodo, VPeriodo, TOTAL_1) VALUES(@Empresa, @Periodo, @VPeriodo, @Resultado1)

FETCH NEXT FROM TNov INTO @Empresa
END

CLOSE TNov
DEALLOCATE TNov

UPDATE Temp_Novedades set TOTAL_1 = 0 where TOTAL_1 is null
Delete SE_RESULTADO where Id_FA = 23 And RE_Periodo = @VPeriodo And RE_Anio = @Periodo

DECLARE @P23 as FLOAT
SELECT  @P23 = (AVG(TOTAL_1)) From TEMP_NOVEDADES
Set @VRes = @P23

DECLARE TResul CURSOR FOR 
SELECT Empresa, Periodo, VPeriodo  From TEMP_NOVEDADES

OPEN TResul
FETCH NEXT FROM TResul INTO @Empresa, @Periodo, @VPeriodo

WHILE (@@FETCH_STATUS = 0)
BEGIN

INSERT INTO SE_RESULTADO (Id_FA, RE_Empresa, RE_Periodo, RE_Valor, RE_FCreacion, RE_FormSector, RE_Anio) VALUES(23, @Empresa, @VPeriodo, @VRes, GetDate(), @Formulario, @Periodo)

FETCH NEXT FROM TResul INTO @Empresa, @Periodo, @VPeriodo
END

CLOSE TResul
DEALLOCATE TResul
drop table [dbo].[TEMP_NOVEDADES]

GO
