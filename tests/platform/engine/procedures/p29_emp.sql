if exists (select * from dbo.sysobjects where id = object_id(N'[dbo].[P29_Emp]') and OBJECTPROPERTY(id, N'IsProcedure') = 1)

drop procedure [dbo].[P29_Emp]

GO
if exists (select * from dbo.sysobjects where id = object_id(N'[dbo].[P29Emp_T]') and OBJECTPROPERTY(id, N'IsProcedure') = 1)

drop procedure [dbo].[P29Emp_T]

GO
CREATE PROCEDURE dbo.P29Emp_T
As

if exists (select * from dbo.sysobjects where id = object_id(N'[dbo].[TEMP_NOVEDADES]') and OBJECTPROPERTY(id, N'IsUserTable') = 1)

drop table [dbo].[TEMP_NOVEDADES]

GO
if exists (select * from dbo.sysobjects where id = object_id(N'[dbo].[TEMP_NOVEDADES]') and OBJECTPROPERTY(id, N'IsUserTable') = 1)
drop table [dbo].[TEMP_NOVEDADES]

GO
CREATE PROCEDURE dbo.P29_Emp
@Formulario as Varchar(30),
@Periodo as Numeric(4,0),
@VPeriodo as Numeric(4,0),
@VEmpresa as Varchar(20)

AS

DECLARE @Empresa as varchar(20)
DECLARE @VRes as Float
DECLARE @ExTbl as Integer
DECLARE @P29_Emp as Float
DECLARE @VInt1 as Numeric(18,0)
DECLARE @VDbl1 as Float
DECLARE @Resultado1 as Float
DECLARE @VInt2 as Numeric(18,0)
DECLARE @VDbl2 as Float
DECLARE @Resultado2 as Float
DECLARE @VInt3 as Numeric(18,0)
DECLARE @VDbl3 as Float
DECLARE @Resultado3 as Float

Execute P29Emp_T

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

SELECT @VInt1 = ValorInt, @VDbl1=ValorDbl
FROM SE_NOVEDAD
WHERE FormSector = @Formulario
AND Periodo = @Periodo-1 AND Empresa = @VEmpresa AND Campo ='VENTAS'

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
AND RE_Periodo = @VPeriodo AND RE_Anio = @Periodo AND RE_Empresa = @VEmpresa AND FC_NomVar ='TOTAL'

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
AND Periodo = @Periodo AND Empresa = @VEmpresa AND Campo ='VENTAS'

IF @@ROWCOUNT = 0
Set @Resultado3 = 0
ELSE
BEGIN
IF @VInt3 = 0
Set @Resultado3 = @VDbl3
Else
Set @Resultado3 = @VInt3

END

INSERT INTO Temp_Novedades (Empresa, Periodo, VPeriodo, VENTAS_1, TOTAL, VENTAS) VALUES(@VEmpresa, @Periodo, @VPeriodo, @Resultado1, @Resultado2, @Resultado3)

UPDATE Temp_Novedades set VENTAS_1 = 0 where VENTAS_1 is null
UPDATE Temp_Novedades set TOTAL = 0 where TOTAL is null
UPDATE Temp_Novedades set VENTAS = 0 where VENTAS is null
Delete SE_RESULTADO where Id_FA = 29 And RE_Periodo = @VPeriodo And RE_Anio = @Periodo And RE_Empresa = @VEmpresa

SELECT @VEmpresa = Empresa, @Periodo = Periodo, @VPeriodo = VPeriodo, @Vres = ( (ROUND(VENTAS_1,0) + POWER(TOTAL,2))  * SQRT(4) - ABS(VENTAS) + EXP(0)) From TEMP_NOVEDADES

INSERT INTO SE_RESULTADO (Id_FA, RE_Empresa, RE_Periodo, RE_Valor, RE_FCreacion, RE_FormSector, RE_Anio) VALUES(29, @VEmpresa, @VPeriodo, @VRes, GetDate(), @Formulario, @Periodo)

drop table [dbo].[TEMP_NOVEDADES]

GO
