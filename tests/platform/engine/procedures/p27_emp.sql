if exists (select * from dbo.sysobjects where id = object_id(N'[dbo].[P27_Emp]') and OBJECTPROPERTY(id, N'IsProcedure') = 1)

drop procedure [dbo].[P27_Emp]

GO
if exists (select * from dbo.sysobjects where id = object_id(N'[dbo].[P27Emp_T]') and OBJECTPROPERTY(id, N'IsProcedure') = 1)

drop procedure [dbo].[P27Emp_T]

GO
CREATE PROCEDURE dbo.P27Emp_T
As

if exists (select * from dbo.sysobjects where id = object_id(N'[dbo].[TEMP_NOVEDADES]') and OBJECTPROPERTY(id, N'IsUserTable') = 1)

drop table [dbo].[TEMP_NOVEDADES]

GO
if exists (select * from dbo.sysobjects where id = object_id(N'[dbo].[TEMP_NOVEDADES]') and OBJECTPROPERTY(id, N'IsUserTable') = 1)
drop table [dbo].[TEMP_NOVEDADES]

GO
CREATE PROCEDURE dbo.P27_Emp
@Formulario as Varchar(30),
@Periodo as Numeric(4,0),
@VPeriodo as Numeric(4,0),
@VEmpresa as Varchar(20)

AS

DECLARE @Empresa as varchar(20)
DECLARE @VRes as Float
DECLARE @ExTbl as Integer
DECLARE @P27_Emp as Float

Execute P27Emp_T

CREATE TABLE [dbo].[TEMP_NOVEDADES] (
Empresa varchar(20) NULL,
Periodo Numeric(4,0) NULL,
VPeriodo Numeric(4,0) NULL )

INSERT INTO Temp_Novedades (Empresa, Periodo, VPeriodo ) VALUES(@VEmpresa, @Periodo, @VPeriodo) 

Delete SE_RESULTADO where Id_FA = 27 And RE_Periodo = @VPeriodo And RE_Anio = @Periodo And RE_Empresa = @VEmpresa

SELECT @VEmpresa = Empresa, @Periodo = Periodo, @VPeriodo = VPeriodo, @Vres = (2 * 3) From TEMP_NOVEDADES

INSERT INTO SE_RESULTADO (Id_FA, RE_Empresa, RE_Periodo, RE_Valor, RE_FCreacion, RE_FormSector, RE_Anio) VALUES(27, @VEmpresa, @VPeriodo, @VRes, GetDate(), @Formulario, @Periodo)

drop table [dbo].[TEMP_NOVEDADES]

GO
