-- Permanent tables of the Consolida database, in the column order the program relies on
-- (sequences address SE_MUESTRA_PADRON columns by position, pickers read columns by ordinal).
-- Plain T-SQL that runs unchanged on SQL Server and on the embedded engine; batches end at GO.
-- Widths: company codes 20, form codes 30, names that become SQL identifiers 128, file names 255.

-- Survey data files ever imported; Arc_Nombre is the file name without ".dbf".
CREATE TABLE dbo.SE_ARCHIVOS (
  Arc_Id int IDENTITY(1,1) NOT NULL,
  Arc_Nombre varchar(255) NULL,
  Arc_Fecha datetime NULL
)
GO

-- One row per field of a catalogued file.
CREATE TABLE dbo.SE_ESTRUCTURAS (
  Est_Id int IDENTITY(1,1) NOT NULL,
  Est_IdArchivo int NULL,
  Est_Campo varchar(128) NULL,
  Est_Tipo varchar(20) NULL,
  Est_Tamanio float NULL,
  Est_Precision float NULL,
  Est_Escala float NULL,
  Est_Fecha datetime NULL,
  Est_Descripcion varchar(255) NULL
)
GO

-- Survey values, one row per company, year and field (entity-attribute-value).
CREATE TABLE dbo.SE_NOVEDAD (
  IdNovedad int IDENTITY(1,1) NOT NULL,
  Arc_Id int NULL,
  FormSector varchar(30) NULL,
  Capitulo int NULL,
  Empresa varchar(20) NULL,
  Periodo int NULL,
  Campo varchar(128) NULL,
  Tipo varchar(3) NULL,
  ValorStr varchar(255) NULL,
  ValorInt int NULL,
  ValorDbl float NULL,
  ValorDte datetime NULL
)
GO

-- Company roll and sample, one row per company and year. The column order is a contract:
-- stored sequence conditions name a column by its position in SELECT *.
CREATE TABLE dbo.SE_MUESTRA_PADRON (
  Unico varchar(20) NULL,
  CUIT float NULL,
  Razon varchar(200) NULL,
  FormSector varchar(30) NULL,
  Periodo int NULL,
  Domi int NULL,
  Muestra float NULL,
  auto float NULL,
  wf float NULL,
  Novedad varchar(255) NULL,
  Novedad_1 varchar(255) NULL,
  Estado int NULL,
  Estado_1 int NULL,
  Descripcion_Estado varchar(100) NULL,
  Descripcion_Estado_1 varchar(100) NULL,
  Caja int NULL,
  Caja_1 int NULL,
  NumFor varchar(30) NULL,
  NumFor_1 varchar(30) NULL,
  fecha_ac datetime NULL,
  Comple varchar(255) NULL,
  Com_desc varchar(255) NULL,
  Observaciones varchar(255) NULL,
  Observaciones_1 varchar(255) NULL,
  Corte varchar(255) NULL,
  Corte_Fecha datetime NULL,
  EmpCba float NULL,
  auto_0 float NULL,
  auto_1 float NULL,
  Mues float NULL,
  PI float NULL,
  PI_1 float NULL
)
GO

-- Process journal: one row per import and per sequence run.
CREATE TABLE dbo.SE_COMM_PROCESO (
  Id_CommProc int IDENTITY(1,1) NOT NULL,
  Id_FC int NULL,
  Formulario varchar(255) NULL,
  Capitulo int NULL,
  Periodo int NULL,
  Fecha datetime NULL,
  Tipo varchar(10) NULL,
  Contenido varchar(255) NULL
)
GO

-- Formula headers; FC_NomVar names the formula's results for other formulas.
CREATE TABLE dbo.SE_CABFORMULA (
  Id_FormCab int IDENTITY(1,1) NOT NULL,
  FC_Nombre varchar(100) NULL,
  FC_NomVar varchar(128) NULL,
  FC_Formula varchar(8000) NULL,
  FC_Form_Completa varchar(8000) NULL,
  FC_Tipo varchar(1) NULL,
  FC_Activo int NULL,
  FC_FCreacion datetime NULL,
  FC_CdorVResul int NULL
)
GO

-- Formula tokens; Id_Formula gives the token order.
CREATE TABLE dbo.SE_FORMULA (
  Id_Formula int IDENTITY(1,1) NOT NULL,
  Id_FormCab int NULL,
  FM_Dato varchar(255) NULL,
  FM_Tipo varchar(2) NULL,
  FM_FCreacion datetime NULL,
  FM_FtTipo varchar(2) NULL,
  FM_FtDato varchar(255) NULL
)
GO

-- Survey files a formula is defined over.
CREATE TABLE dbo.SE_FORMULA_ARCHIVO (
  Id_FormCab int NULL,
  Id_Arc int NULL
)
GO

-- Results written by the generated procedures, one per formula, company, period and year.
CREATE TABLE dbo.SE_RESULTADO (
  Id_FA int NULL,
  RE_Empresa varchar(20) NULL,
  RE_Periodo numeric(4,0) NULL,
  RE_Valor float NULL,
  RE_FCreacion datetime NULL,
  RE_FormSector varchar(30) NULL,
  RE_Anio numeric(4,0) NULL,
  -- Numbers each result as it is written, so FindIdentRes can find through @@IDENTITY the value a
  -- per-company procedure has just stored. Last, so positional reads of the first seven hold.
  RE_IdRes int IDENTITY(1,1) NOT NULL
)
GO

-- Sequence headers.
CREATE TABLE dbo.SE_CABSECUENCIA (
  SC_IdSecCab int IDENTITY(1,1) NOT NULL,
  SC_NOMBRE varchar(100) NULL,
  SC_TIPO varchar(1) NULL,
  SC_IDARC int NULL,
  SC_ACTIVO int NULL,
  SC_FCREACION datetime NULL
)
GO

-- Sequence lines; operands hold a formula id, a typed number (decimals allowed) or a
-- roll column position.
CREATE TABLE dbo.SE_SECUENCIA (
  S_IdSec int IDENTITY(1,1) NOT NULL,
  S_IDSECCAB int NULL,
  S_ORDEN int NULL,
  S_CONDIC varchar(3) NULL,
  S_IDFORMCAB1 float NULL,
  S_IDFORMCAB2 float NULL,
  S_OPERADOR varchar(2) NULL,
  S_TIPVAR1 varchar(1) NULL,
  S_TIPVAR2 varchar(1) NULL,
  S_MARCA varchar(1) NULL
)
GO

-- Display texts recorded when a sequence is created.
CREATE TABLE dbo.SE_VARSECUENCIA (
  SV_IDSEC int NULL,
  SV_ORDEN int NULL,
  SV_NOMVAR varchar(255) NULL
)
GO
