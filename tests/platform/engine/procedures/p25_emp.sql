if exists (select * from dbo.sysobjects where id = object_id(N'[dbo].[P25_Emp]') and OBJECTPROPERTY(id, N'IsProcedure') = 1)

drop procedure [dbo].[P25_Emp]

GO
if exists (select * from dbo.sysobjects where id = object_id(N'[dbo].[P25Emp_T]') and OBJECTPROPERTY(id, N'IsProcedure') = 1)

drop procedure [dbo].[P25Emp_T]

GO
CREATE PROCEDURE dbo.P25Emp_T
As

if exists (select * from dbo.sysobjects where id = object_id(N'[dbo].[TEMP_NOVEDADES]') and OBJECTPROPERTY(id, N'IsUserTable') = 1)

drop table [dbo].[TEMP_NOVEDADES]

GO
if exists (select * from dbo.sysobjects where id = object_id(N'[dbo].[TEMP_NOVEDADES]') and OBJECTPROPERTY(id, N'IsUserTable') = 1)
drop table [dbo].[TEMP_NOVEDADES]

GO
CREATE PROCEDURE dbo.P25_Emp
@Formulario as Varchar(30),
@Periodo as Numeric(4,0),
@VPeriodo as Numeric(4,0),
@VEmpresa as Varchar(20)

AS

DECLARE @Empresa as varchar(20)
DECLARE @VRes as Float
DECLARE @ExTbl as Integer
DECLARE @P25_Emp as Float
DECLARE @VInt1 as Numeric(18,0)
DECLARE @VDbl1 as Float
DECLARE @Resultado1 as Float

Execute P25Emp_T

CREATE TABLE [dbo].[TEMP_NOVEDADES] (
Empresa varchar(20) NULL,
Periodo Numeric(4,0) NULL,
VPeriodo Numeric(4,0) NULL ,
VENTAS Float NULL
)

SELECT @VInt1 = ValorInt, @VDbl1=ValorDbl
FROM SE_NOVEDAD
WHERE FormSector = @Formulario
AND Periodo = @Periodo AND Empresa = @VEmpresa AND Campo ='VENTAS'

IF @@ROWCOUNT = 0
Set @Resultado1 = 0
ELSE
BEGIN
IF @VInt1 = 0
Set @Resultado1 = @VDbl1
Else
Set @Resultado1 = @VInt1

END

INSERT INTO Temp_Novedades (Empresa, Periodo, VPeriodo, VENTAS) VALUES(@VEmpresa, @Periodo, @VPeriodo, @Resultado1)

UPDATE Temp_Novedades set VENTAS = 0 where VENTAS is null
Delete SE_RESULTADO where Id_FA = 25 And RE_Periodo = @VPeriodo And RE_Anio = @Periodo And RE_Empresa = @VEmpresa

----------------------
CREATE TABLE [dbo].[TEMP_FUNCION] ([Idc] [numeric](18, 0) IDENTITY (1, 1) NOT NULL ,[Valor] [float] NULL)

DECLARE TT CURSOR FOR 
SELECT VENTAS From TEMP_NOVEDADES ORDER BY 1

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

DECLARE @P25 as FLOAT
SELECT  @P25 = (DBO.TCUARTIL(VENTAS)) From TEMP_NOVEDADES
Set @VRes = @P25

SELECT Empresa, Periodo, VPeriodo  From TEMP_NOVEDADES

INSERT INTO SE_RESULTADO (Id_FA, RE_Empresa, RE_Periodo, RE_Valor, RE_FCreacion, RE_FormSector, RE_Anio) VALUES(25, @VEmpresa, @VPeriodo, @VRes, GetDate(), @Formulario, @Periodo)

drop table [dbo].[TEMP_NOVEDADES]

drop table [dbo].[TEMP_FUNCION]

GO
