EXEC P29_Emp @Formulario='ENC', @Periodo=2005, @VPeriodo=2005, @VEmpresa='A2'
GO
EXEC FindIdentRes
GO
SELECT RE_Empresa, RE_Valor FROM SE_RESULTADO WHERE Id_FA = 29 AND RE_Periodo = 2005 AND RE_Anio = 2005 ORDER BY RE_Empresa
GO
