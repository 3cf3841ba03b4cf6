if exists (select * from dbo.sysobjects where id = object_id(N'[dbo].[P27]') and OBJECTPROPERTY(id, N'IsProcedure') = 1)

drop procedure [dbo].[P27]

GO
if exists (select * from dbo.sysobjects where id = object_id(N'[dbo].[P27_T]') and OBJECTPROPERTY(id, N'IsProcedure') = 1)

drop procedure [dbo].[P27_T]

GO
CREATE PROCEDURE dbo.P27_T
As

if exists (select * from dbo.sysobjects where id = object_id(N'[dbo].[TEMP_NOVEDADES]') and OBJECTPROPERTY(id, N'IsUserTable') = 1)

drop table [dbo].[TEMP_NOVEDADES]

GO
if exists (select * from dbo.sysobjects where id = object_id(N'[dbo].[TEMP_NOVEDADES]') and OBJECTPROPERTY(id, N'IsUserTable') = 1)
drop table [dbo].[TEMP_NOVEDADES]

GO
CREATE PROCEDURE dbo.P27
@Formulario as Varchar(30),
@Periodo as Numeric(4,0),
@VPeriodo as Numeric(4,0)

AS

DECLARE @Empresa as varchar(20)
DECLARE @VRes as Float
DECLARE @ExTbl as Integer

Execute P27_T

CREATE TABLE [dbo].[TEMP_NOVEDADES] (
Empresa varchar(20) NULL,
Periodo Numeric(4,0) NULL,
VPeriodo Numeric(4,0) NULL )

DECLARE TNov CURSOR FOR 
SELECT Unico as Empresa 
FROM SE_MUESTRA_PADRON 
WHERE FormSector = @Formulario
and Periodo = @Periodo

OPEN TNov
FETCH NEXT FROM TNov INTO @Empresa

WHILE (@@FETCH_STATUS = 0)
BEGIN
INSERT INTO Temp_Novedades (Empresa, Periodo, VPeriodo) VALUES(@Empresa, @Periodo, @VPeriodo) 

FETCH NEXT FROM TNov INTO @Empresa
END

CLOSE TNov
DEALLOCATE TNov

Delete SE_RESULTADO where Id_FA = 27 And RE_Periodo = @VPeriodo And RE_Anio = @Periodo

DECLARE TResul CURSOR FOR 
SELECT Empresa, Periodo, VPeriodo, (2 * 3) as P27 From TEMP_NOVEDADES

OPEN TResul
FETCH NEXT FROM TResul INTO @Empresa, @Periodo, @VPeriodo, @VRes

WHILE (@@FETCH_STATUS = 0)
BEGIN

INSERT INTO SE_RESULTADO (Id_FA, RE_Empresa, RE_Periodo, RE_Valor, RE_FCreacion, RE_FormSector, RE_Anio) VALUES(27, @Empresa, @VPeriodo, @VRes, GetDate(), @Formulario, @Periodo)

FETCH NEXT FROM TResul INTO @Empresa, @Periodo, @VPeriodo, @VRes
END

CLOSE TResul
DEALLOCATE TResul
drop table [dbo].[TEMP_NOVEDADES]

GO
