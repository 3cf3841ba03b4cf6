-- Server objects the generated procedures and the sequence runner call but never create: the
-- median and quartile functions over TEMP_FUNCION, and FindIdentRes. Plain T-SQL for SQL Server
-- and the embedded engine; TEMP_FUNCION exists only while a procedure runs (resolved at call time).

-- The median of the values at positions @Primero .. @Primero + @Cuenta - 1 of TEMP_FUNCION in Idc
-- order (position 1 is the lowest Idc): NULL for no positions, the mean of the two middle values
-- for an even count. The procedures fill TEMP_FUNCION with consecutive inserts right after
-- creating it, so positions are Idc offsets from the lowest Idc.
CREATE FUNCTION dbo.MEDIANA_TRAMO (@Primero int, @Cuenta int)
RETURNS float
AS
BEGIN
  DECLARE @Base numeric(18,0)
  DECLARE @Bajo float
  DECLARE @Alto float
  IF @Cuenta < 1
    RETURN NULL
  SELECT @Base = MIN(Idc) - 1 FROM TEMP_FUNCION
  SELECT @Bajo = Valor FROM TEMP_FUNCION WHERE Idc = @Base + @Primero + (@Cuenta - 1) / 2
  SELECT @Alto = Valor FROM TEMP_FUNCION WHERE Idc = @Base + @Primero + @Cuenta / 2
  RETURN (@Bajo + @Alto) / 2
END
GO

-- The argument is the calling row's value; the result depends only on TEMP_FUNCION.
CREATE FUNCTION dbo.MEDIANA (@Valor float)
RETURNS float
AS
BEGIN
  DECLARE @Cuenta int
  SELECT @Cuenta = COUNT(*) FROM TEMP_FUNCION
  RETURN dbo.MEDIANA_TRAMO(1, @Cuenta)
END
GO

-- The median of one half of the values: the lower (@Superior = 0) or the upper (@Superior = 1),
-- the middle value of an odd count left out of both; a single value is its own half.
CREATE FUNCTION dbo.MEDIANA_MITAD (@Superior int)
RETURNS float
AS
BEGIN
  DECLARE @Cuenta int
  SELECT @Cuenta = COUNT(*) FROM TEMP_FUNCION
  IF @Cuenta = 1
    RETURN dbo.MEDIANA_TRAMO(1, 1)
  IF @Superior = 1
    RETURN dbo.MEDIANA_TRAMO(@Cuenta - @Cuenta / 2 + 1, @Cuenta / 2)
  RETURN dbo.MEDIANA_TRAMO(1, @Cuenta / 2)
END
GO

-- First quartile: the median of the lower half.
CREATE FUNCTION dbo.PCUARTIL (@Valor float)
RETURNS float
AS
BEGIN
  RETURN dbo.MEDIANA_MITAD(0)
END
GO

-- Third quartile: the median of the upper half.
CREATE FUNCTION dbo.TCUARTIL (@Valor float)
RETURNS float
AS
BEGIN
  RETURN dbo.MEDIANA_MITAD(1)
END
GO

-- The value the per-company procedure just stored on this connection: its INSERT into
-- SE_RESULTADO is the last identity insert it makes. No row when the connection has made none
-- or when the last identity insert was not a result.
CREATE PROCEDURE dbo.FindIdentRes
AS
SELECT RE_Valor FROM SE_RESULTADO WHERE RE_IdRes = @@IDENTITY
GO
