if exists (select * from dbo.sysobjects where id = object_id(N'[dbo].[P21_Emp]') and OBJECTPROPERTY(id, N'IsProcedure') = 1)

drop procedure [dbo].[P21_Emp]

GO
if exists (select * from dbo.sysobjects where id = object_id(N'[dbo].[P21Emp_T]') and OBJECTPROPERTY(id, N'IsProcedure') = 1)

drop procedure [dbo].[P21Emp_T]

GO
CREATE PROCEDURE dbo.P21Emp_T
As

if exists (select * from dbo.sysobjects where id = object_id(N'[dbo].[TEMP_NOVEDADES]') and OBJECTPROPERTY(id, N'IsUserTable') = 1)

drop table [dbo].[TEMP_NOVEDADES]

GO
if exists (select * from dbo.sysobjects where id = object_id(N'[dbo].[TEMP_NOVEDADES]') and OBJECTPROPERTY(id, N'IsUserTable') = 1)
drop table [dbo].[TEMP_NOVEDADES]

GO
CREATE PROCEDURE dbo.P21_Emp
@Formulario as Varchar(30),
@Periodo as Numeric(4,0),
@VPeriodo as Numeric(4,0),
@VEmpresa as Varchar(20)

AS

DECLARE @Empresa as varchar(20)
DECLARE @VRes as Float
DECLARE @ExTbl as Integer
DECLARE @P21_Emp as Float
DECLARE @VInt1 as Numeric(18,0)
DECLARE @VDbl1 as Float
DECLARE @Resultado1 as Float
DECLARE @VInt2 as Numeric(18,0)
DECLARE @VDbl2 as Float
DECLARE @Resultado2 as Float

Execute P21Emp_T

CREATE TABLE [dbo].[TEMP_NOVEDADES] (
Empresa varchar(20) NULL,
Periodo Numeric(4,0) NULL,
VPeriodo Numeric(4,0) NULL ,
TOTAL_1 Float Null
,
TOTAL Float Null
)

SELECT @VInt1 = RE_Valor, @VDbl1=0
FROM SE_RESULTADO
Inner join SE_CABFORMULA On Id_formCab = Id_FA
WHERE RE_FormSector = @Formulario
AND RE_Periodo = @VPeriodo AND RE_Anio = @Periodo - 1 And RE_Empresa = @VEmpresa AND FC_NomVar ='TOTAL'

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

INSERT INTO Temp_Novedades (Empresa, Periodo, VPeriodo, TOTAL_1, TOTAL) VALUES(@VEmpresa, @Periodo, @VPeriodo, @Resultado1, @Resultado2)

UPDATE Temp_Novedades set TOTAL_1 = 0 where TOTAL_1 is null
UPDATE Temp_Novedades set TOTAL = 0 where TOTAL is null
Delete SE_RESULTADO where Id_FA = 21 And RE_Periodo = @VPeriodo And RE_Anio = @Periodo And RE_Empresa = @VEmpresa

SELECT @VEmpresa = Empresa, @Periodo = Periodo, @VPeriodo = VPeriodo, @Vres = (TOTAL_1 + TOTAL) From TEMP_NOVEDADES

INSERT INTO SE_RESULTADO (Id_FA, RE_Empresa, RE_Periodo, RE_Valor, RE_FCreacion, RE_FormSector, RE_Anio) VALUES(21, @VEmpresa, @VPeriodo, @VRes, GetDate(), @Formulario, @Periodo)

drop table [dbo].[TEMP_NOVEDADES]

GO
