// Saving, reopening and deleting formulas end to end on the embedded engine: the statements
// sent (exact texts), the rows stored, the procedures created and run, the checks that refuse a
// formula before anything is stored, the failures and what they leave behind.
#include <gtest/gtest.h>

#include "tests/formulas/editor_prueba.h"

namespace formulas_test {
namespace {

const char kCabecera[] =
    "SELECT FC_Nombre, FC_NomVar, FC_Formula, FC_Form_Completa, FC_Tipo, FC_Activo, FC_CdorVResul FROM SE_CABFORMULA "
    "ORDER BY Id_FormCab";
const char kTokens[] = "SELECT Id_FormCab, FM_Dato, FM_Tipo, FM_FtTipo, FM_FtDato FROM SE_FORMULA ORDER BY Id_Formula";
const char kCuantas[] = "SELECT (SELECT count(*) FROM SE_CABFORMULA), (SELECT count(*) FROM SE_FORMULA)";
const char kArchivos[] = "SELECT Id_FormCab, Id_Arc FROM SE_FORMULA_ARCHIVO ORDER BY Id_FormCab, Id_Arc";

// The statement that stores one token of formula `id`; `valores` from FM_Dato on.
std::string Token(int id, const std::string& valores) {
  return "INSERT INTO SE_FORMULA(Id_FormCab, FM_Dato, FM_Tipo, FM_FCreacion, FM_FtTipo, FM_FtDato) Values (" +
         std::to_string(id) + ", " + valores + ")\r\n";
}

class Persistencia : public EditorPrueba {
 protected:
  // The results of procedure P<id> for ENCUES, 2005, as "company|value".
  Textos Ejecutar(int id) {
    Sql("EXEC P" + std::to_string(id) + " @Formulario='ENCUES', @Periodo=2005, @VPeriodo=2005");
    return Filas("SELECT RE_Empresa, RE_Valor FROM SE_RESULTADO WHERE Id_FA = " + std::to_string(id) +
                 " AND RE_Periodo = 2005 AND RE_Anio = 2005 ORDER BY RE_Empresa");
  }
  // The stored procedures of formula 1 that exist.
  Textos Procedimientos() { return Filas("SELECT name FROM dbo.sysobjects WHERE name LIKE 'P1%' ORDER BY name"); }
  void CrearMargen(const std::string& nombre = "Margen") {
    Abrir(nombre, "MARGEN");
    Pulsar({"C:VENTAS", "A-1", "/", "C:VENTAS"});
    enviadas_->Olvidar();
    Ui().ClearMessages();
    editor_->CmdGenerar.UserClick();
  }
};

// Values enter the statements as literals: an apostrophe is doubled there and stored as typed.
TEST_F(Persistencia, CrearGuardaLasFilasYCompilaLosProcedimientos) {
  Abrir("Margen d'Or", "MARGEN", {"ENCUES_1", "INDUST_1"});
  Pulsar({"C:VENTAS", "A-1", "/", "C:VENTAS"});
  enviadas_->Olvidar();
  editor_->CmdGenerar.UserClick();
  EXPECT_EQ(Ui().Prompts(), (Textos{"Se ha Generado la Formula", "Se ha Grabado con Exito"}));
  const Textos enviadas = Enviadas();
  ASSERT_GE(enviadas.size(), 7u);
  EXPECT_EQ(Textos(enviadas.begin(), enviadas.begin() + 7),
            (Textos{"Select Id_FormCab From SE_CABFORMULA where FC_Nombre = 'Margen d''Or'",
                    "Select Id_FormCab From SE_CABFORMULA where FC_NomVar = 'MARGEN'",
                    "INSERT INTO SE_CABFORMULA(FC_Nombre, FC_NomVar, FC_Formula, FC_Form_Completa, FC_Tipo, FC_Activo, "
                    "FC_FCreacion, FC_CdorVResul) Values('Margen d''Or', 'MARGEN', 'VENTAS_1 / VENTAS', "
                    "'VENTAS_1 / VENTAS', 'F', 1, GetDate(), 0)",
                    "Select Id_FormCab From SE_CABFORMULA where FC_Nombre = 'Margen d''Or'", "BeginTrans",
                    Token(1, "'VENTAS_1', 'C', GetDate(), '', ''") + Token(1, "' / ', 'O', GetDate(), '', ''") +
                        Token(1, "'VENTAS', 'C', GetDate(), '', ''") +
                        "INSERT INTO SE_FORMULA_ARCHIVO(Id_FormCab, Id_Arc) Values(1, 1)\r\n"
                        "INSERT INTO SE_FORMULA_ARCHIVO(Id_FormCab, Id_Arc) Values(1,  2)\r\n",
                    "CommitTrans"}));
  EXPECT_EQ(Filas(kCabecera), (Textos{"Margen d'Or|MARGEN|VENTAS_1 / VENTAS|VENTAS_1 / VENTAS|F|1|0"}));
  EXPECT_EQ(Procedimientos(), (Textos{"P1", "P1_Emp", "P1_T", "P1Emp_T"}));
  EXPECT_EQ(Ejecutar(1), (Textos{"A1|0.4", "A2|0.4", "A3|0.533333333333333", "A4|0.625", "A5|0.8", "A6|0.8"}));
  // Back to idle, ready for the next formula.
  EXPECT_TRUE(!editor_->Expandido() && editor_->CmdCrear.Enabled() && editor_->txtDisplay.Text().empty());
  EXPECT_TRUE(EntradasLog().empty());
}

TEST_F(Persistencia, ModificarCargaLaFormulaYLaReemplazaConservandoSuId) {
  FormulaExistente("Total ventas", "TOTAL", 1);
  CrearMargen("Margen d'Or");
  enviadas_->Olvidar();
  Ui().ClearMessages();
  Modificar("Margen d'Or (MARGEN)");
  EXPECT_EQ(Enviadas(),
            (Textos{"Select * FROM SE_CABFORMULA ORDER BY FC_NOMVAR", "Select * from SE_CABFORMULA Where Id_formCab = 2",
                    "SELECT * FROM SE_ARCHIVOS SEA INNER JOIN SE_FORMULA_ARCHIVO SEFA ON SEA.Arc_Id = SEFA.Id_Arc  "
                    "WHERE Id_FormCab = 2",
                    "SELECT * FROM SE_FORMULA Where Id_FormCab = 2 ORDER BY Id_Formula"}));
  FrmFormulas& e = *editor_;
  EXPECT_EQ(e.txtIdModificacion.Text() + "|" + e.txtNombre.Text() + "|" + e.txtResulVar.Text() + "|" +
                e.txtDisplay.Text() + "|" + e.TxtFormulario.Text() + "|" + e.TxtIdFormulario.Text(),
            "2|Margen d'Or|MARGEN|VENTAS_1 / VENTAS|ENCUES_1|1");
  EXPECT_EQ(Tokens(), "VENTAS_1~C| / ~O|VENTAS~C");
  // The name and the forms may change; the result variable and the style may not.
  EXPECT_TRUE(e.txtNombre.Reachable() && e.CmdAddForm.Enabled() && e.CmdEliForm.Enabled());
  EXPECT_FALSE(e.txtResulVar.Reachable() || e.OpcTipo[1].Reachable() || e.CmdCrear.Enabled() || e.CmdModif.Enabled());

  e.txtNombre.UserEdit("L'Margen");
  e.CmdFormula.UserClick();
  Pulsar({"*", "V:TOTAL"});
  enviadas_->Olvidar();
  e.CmdGenerar.UserClick();
  EXPECT_EQ(Ui().Prompts(), (Textos{"Se ha Generado la Formula", "Se ha Modificado con Exito"}));
  const Textos enviadas = Enviadas();
  ASSERT_GE(enviadas.size(), 4u);
  EXPECT_EQ(Textos(enviadas.begin(), enviadas.begin() + 4),
            (Textos{"Select Id_FormCab From SE_CABFORMULA where FC_Nombre = 'L''Margen' and Id_FormCab <> 2",
                    "BeginTrans",
                    "Delete SE_FORMULA_ARCHIVO where Id_FormCab = 2\r\n"
                    "INSERT INTO SE_FORMULA_ARCHIVO(Id_FormCab, Id_Arc) Values(2, 1)\r\n"
                    "UPDATE SE_CABFORMULA SET FC_Nombre = 'L''Margen', FC_Formula = 'VENTAS_1 / VENTAS * TOTAL', "
                    "FC_Form_Completa = 'VENTAS_1 / VENTAS * TOTAL', FC_CdorVResul = 1 WHERE Id_formCab = 2\r\n"
                    "DELETE SE_FORMULA where Id_FormCab = 2\r\n" +
                        Token(2, "'VENTAS_1', 'C', GetDate(), '', ''") + Token(2, "' / ', 'O', GetDate(), '', ''") +
                        Token(2, "'VENTAS', 'C', GetDate(), '', ''") + Token(2, "' * ', 'O', GetDate(), '', ''") +
                        Token(2, "'TOTAL', 'V', GetDate(), '', ''"),
                    "CommitTrans"}));
  EXPECT_EQ(Filas(kCabecera), (Textos{"Total ventas|TOTAL|VENTAS|VENTAS|F|1|0",
                                      "L'Margen|MARGEN|VENTAS_1 / VENTAS * TOTAL|VENTAS_1 / VENTAS * TOTAL|F|1|1"}));
  EXPECT_FALSE(editor_->Expandido() || !editor_->txtIdModificacion.Text().empty());
}

// A formula in use is kept: a sequence line naming it on either side, another formula reading
// its result for this year or the year before. A number in a sequence line is not a formula.
TEST_F(Persistencia, EliminaFormulaSeNiegaMientrasSeUse) {
  CrearMargen();
  const std::string kSecuencia = "Existe esta formula generada en una secuencia\r\nNo se Eliminará";
  const std::string kFormula = "Existe esta formula generada en otra Formula\r\nNo se Eliminará";
  const std::string secuencia =
      "INSERT INTO SE_SECUENCIA (S_IDSECCAB, S_ORDEN, S_IDFORMCAB1, S_IDFORMCAB2, S_TIPVAR1, S_TIPVAR2) Values(1, 1, ";
  const struct {
    const char* nombre;
    std::string uso;  // a statement, or the token values of another formula
    bool es_token;
    std::string mensaje;
  } casos[] = {
      {"formula line", secuencia + "1, Null, 'F', '')", false, kSecuencia},
      {"condition, right operand", secuencia + "1.5, 1, 'N', 'F')", false, kSecuencia},
      {"a variable token", "'MARGEN', 'V', GetDate(), '', ''", true, kFormula},
      {"a function argument of the year before", "'AVG(MARGEN_1)', 'F', GetDate(), 'Va', 'MARGEN_1'", true,
       kFormula},
      {"a number that equals the key", secuencia + "1, 1, 'N', 'N')", false, "Desea Eliminar esta Formula"},
  };
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.nombre);
    Sql("DELETE SE_SECUENCIA");
    Sql("DELETE SE_FORMULA WHERE Id_FormCab > 1");
    Sql("DELETE SE_CABFORMULA WHERE Id_FormCab > 1");
    caso.es_token ? FormulaExistente("Usa margen", "USA", 1, {caso.uso}) : Sql(caso.uso);
    editor_->cmdCancelar.UserClick();
    Modificar("Margen (MARGEN)");
    Ui().ClearMessages();
    if (caso.mensaje == "Desea Eliminar esta Formula") Ui().QueueAnswer(ui::vbNo);
    editor_->CmdEliForm.UserClick();
    EXPECT_EQ(Ui().Prompts(), (Textos{caso.mensaje}));
    EXPECT_EQ(Filas("SELECT count(*) FROM SE_FORMULA WHERE Id_FormCab = 1"), (Textos{"3"}));
  }
  EXPECT_EQ(Ui().Messages().back().style, ui::vbYesNo + ui::vbCritical);
  EXPECT_EQ(Ui().Messages().back().title, "Elimina Formula");
  EXPECT_EQ(Procedimientos().size(), 4u);
}

TEST_F(Persistencia, EliminaFormulaBorraLasFilasYLosCuatroProcedimientosEnUnaTransaccion) {
  CrearMargen();
  Ejecutar(1);
  Modificar("Margen (MARGEN)");
  enviadas_->Olvidar();
  Ui().ClearMessages();
  Ui().QueueAnswer(ui::vbYes);
  editor_->CmdEliForm.UserClick();
  EXPECT_EQ(Ui().Prompts(), (Textos{"Desea Eliminar esta Formula", "La formula Fue eliminada"}));
  Textos esperadas = {
      "SELECT * FROM SE_SECUENCIA WHERE S_IdFormCab1 = 1 and S_TipVar1='F'",
      "SELECT * FROM SE_SECUENCIA WHERE S_IdFormCab2 = 1 and S_TipVar2='F'",
      "SELECT * FROM SE_FORMULA WHERE (fM_dATO = 'MARGEN' and FM_Tipo = 'V') or (Fm_FtTipo = 'Va'  and "
      "Fm_FtDato = 'MARGEN')",
      "SELECT * FROM SE_FORMULA WHERE (fM_dATO = 'MARGEN_1' and FM_Tipo = 'V') or (Fm_FtTipo = 'Va'  and "
      "Fm_FtDato = 'MARGEN_1')",
      "BeginTrans",
      "DELETE SE_FORMULA WHERE Id_FormCab = 1\r\nDELETE SE_FORMULA_ARCHIVO WHERE Id_FormCab = 1\r\nDELETE "
      "SE_CABFORMULA WHERE Id_formCab = 1",
      "CommitTrans"};
  for (const std::string p : {"P1", "P1_Emp", "P1_T", "P1Emp_T"}) {
    esperadas.push_back("if exists (select * from dbo.sysobjects where id = object_id(N'[dbo].[" + p +
                        "]') and OBJECTPROPERTY(id, N'IsProcedure') = 1)\r\n\r\ndrop procedure [dbo].[" + p +
                        "]\r\n\r\n");
  }
  EXPECT_EQ(Enviadas(), esperadas);
  EXPECT_TRUE(Filas(kCabecera).empty() && Filas(kTokens).empty() && Filas(kArchivos).empty());
  EXPECT_TRUE(Procedimientos().empty());
  // The results stay.
  EXPECT_EQ(Filas("SELECT count(*) FROM SE_RESULTADO WHERE Id_FA = 1"), (Textos{"6"}));
  EXPECT_FALSE(editor_->CmdEliForm.Enabled());
  EXPECT_TRUE(editor_->CmdCrear.Enabled());
}

TEST_F(Persistencia, GenerarValidaAntesDeGuardar) {
  const std::string kAgregado =
      "Una formula Por Empresa no puede usar SUM, AVG, COUNT, STDEV ni VAR\r\n(dan un valor de todas las empresas): "
      "elija el estilo Total";
  FormulaExistente("Ventas totales", "TOTAL", 1);
  const struct {
    const char* nombre;
    Textos acciones;
    Textos mensajes;
    std::string formula = "F";
    std::string variable = "NUEVA";
  } casos[] = {
      {"nothing to store", {}, {"No Existen datos de formula para grabar"}},
      {"ends in an operator", {"C:VENTAS", "+"}, {"No se podrá generar la formula, cuando el ultimo dato es un Operador"}},
      {"a parenthesis left open", {"(", "C:VENTAS"},
       {"Deberá Cerrar todos los parentesis", "Error Grabando la Formula\r\nNo se ha generado la misma"}},
      {"two medians or quartiles", {"F:CmdMediana:C:VENTAS", "+", "F:CmdTCuartil:C:COSTOS"},
       {"Solamente puede cargar por formula uno de los cuartiles"}},
      {"SUM per company", {"F:CmdSum:C:VENTAS"}, {kAgregado}},
      {"AVG per company, after other tokens", {"C:EMPLEO", "-", "F:CmdAvg:C:VENTAS"}, {kAgregado}},
      {"a name another formula has, by the server's comparison", {"C:VENTAS"},
       {"Ya existe una formula con este Nombre"}, "ventas TOTALES  "},
      {"a result variable another formula has", {"C:VENTAS"}, {"Ya existe una formula con esta Variable Resultado"},
       "F", "total"},
  };
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.nombre);
    Abrir(caso.formula, caso.variable);
    Pulsar(caso.acciones);
    Ui().ClearMessages();
    enviadas_->Olvidar();
    editor_->CmdGenerar.UserClick();
    EXPECT_EQ(Ui().Prompts(), caso.mensajes);
    EXPECT_EQ(Filas("SELECT count(*) FROM SE_CABFORMULA"), (Textos{"1"}));
    for (const std::string& enviada : Enviadas()) EXPECT_FALSE(enviada.starts_with("INSERT")) << enviada;
    EXPECT_TRUE(editor_->Expandido());
  }
  // "Retroceder" over the open parenthesis: the formula saves.
  Abrir("Abierta", "ABIERTA");
  Pulsar({"(", "<", "C:VENTAS"});
  Ui().ClearMessages();
  editor_->CmdGenerar.UserClick();
  EXPECT_EQ(Ui().Prompts(), (Textos{"Se ha Generado la Formula", "Se ha Grabado con Exito"}));
}

// Stored but not compiled: the rows stay, the user is told why, and the next "Generar" replaces
// that formula rather than storing a second one.
TEST_F(Persistencia, UnaGeneracionFallidaLoDiceYDejaLaFormulaParaCorregirla) {
  Sql("INSERT INTO SE_ESTRUCTURAS (Est_IdArchivo, Est_Campo, Est_Tipo) Values(1,'MONTO TOTAL','Numeric')");
  Abrir("Monto", "MONTO");
  Pulsar({"C:MONTO TOTAL", "*", "2"});
  editor_->CmdGenerar.UserClick();
  EXPECT_EQ(Ui().Prompts(),
            (Textos{"Error Grabando la Formula\r\nNo se puede generar la formula: \"MONTO TOTAL\" no es un nombre valido "
                    "para el servidor (letras, digitos y \"_\", sin empezar por un digito, hasta 128 caracteres)"}));
  EXPECT_EQ(Filas(kCabecera), (Textos{"Monto|MONTO|MONTO TOTAL * 2|MONTO TOTAL * 2|F|1|0"}));
  EXPECT_EQ(Filas("SELECT count(*) FROM SE_FORMULA"), (Textos{"3"}));
  EXPECT_TRUE(Procedimientos().empty());
  EXPECT_TRUE(editor_->Expandido());
  EXPECT_EQ(editor_->txtIdModificacion.Text(), "1");

  Ui().ClearMessages();
  Pulsar({"<", "<", "<", "C:VENTAS", "*", "2"});
  editor_->CmdGenerar.UserClick();
  EXPECT_EQ(Ui().Prompts(), (Textos{"Se ha Generado la Formula", "Se ha Modificado con Exito"}));
  EXPECT_EQ(Filas(kCabecera), (Textos{"Monto|MONTO|VENTAS * 2|VENTAS * 2|F|1|0"}));
  EXPECT_EQ(Ejecutar(1)[0], "A1|200");
}

// A failing store leaves nothing half done, says so and is logged.
TEST_F(Persistencia, FallosAlGuardarNoDejanNadaAMedias) {
  // The header cannot be stored: the name is too long for its column.
  Abrir(std::string(101, 'N'), "LARGO");
  Pulsar({"C:VENTAS"});
  editor_->CmdGenerar.UserClick();
  EXPECT_EQ(Ui().Prompts(), (Textos{"Error intentado grabar la formula\r\nCierre el generador y vuelva a intentarlo",
                                    "Error Grabando la Formula\r\nNo se ha generado la misma"}));
  EXPECT_TRUE(Filas(kCabecera).empty());
  // The tokens cannot be stored: the transaction goes back and the header is deleted.
  Abrir("Margen", "MARGEN");
  Pulsar({"C:VENTAS"});
  Sql("DROP TABLE SE_FORMULA_ARCHIVO");
  Ui().ClearMessages();
  enviadas_->Olvidar();
  editor_->CmdGenerar.UserClick();
  const auto& todas = Enviadas();
  const Textos desde(std::find(todas.begin(), todas.end(), "BeginTrans"), todas.end());
  EXPECT_EQ(Ui().Prompts(), (Textos{"Error Grabando la Formula\r\nNo se ha generado la misma"}));
  ASSERT_EQ(desde.size(), 4u) << ::testing::PrintToString(desde);
  EXPECT_EQ(desde[2], "RollbackTrans");
  EXPECT_TRUE(desde[3].starts_with("delete SE_CABFORMULA where Id_formCab = ")) << desde[3];
  EXPECT_EQ(Filas(kCuantas), (Textos{"0|0"}));
  const Textos log = EntradasLog();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_TRUE(test_support::FormaDeEntrada(log[0])) << log[0];
  EXPECT_TRUE(log[0].ends_with("\r\nError intentado grabar la formula")) << log[0];
  EXPECT_TRUE(log[1].ends_with("\r\nFrmFormulas (Guarda)")) << log[1];
}

// A failing update or delete keeps the formula whole, says so and is logged.
TEST_F(Persistencia, FallosAlModificarYAlEliminarDejanLaFormulaEntera) {
  CrearMargen();
  Modificar("Margen (MARGEN)");
  editor_->txtNombre.UserEdit("Otro nombre");
  editor_->CmdFormula.UserClick();
  Sql("DROP TABLE SE_FORMULA_ARCHIVO");
  Ui().ClearMessages();
  editor_->CmdGenerar.UserClick();
  EXPECT_EQ(Ui().Prompts(), (Textos{"Error Modificando la Formula\r\nNo se ha modificado la misma"}));
  EXPECT_EQ(Filas("SELECT FC_Nombre FROM SE_CABFORMULA"), (Textos{"Margen"}));
  EXPECT_EQ(Filas(kCuantas), (Textos{"1|3"}));
  // The second of the three deletes fails: the first is undone with it.
  Ui().ClearMessages();
  Ui().QueueAnswer(ui::vbYes);
  editor_->CmdEliForm.UserClick();
  EXPECT_EQ(Ui().Prompts(), (Textos{"Desea Eliminar esta Formula", "Se ha producido un Error al Eliminar la Formula"}));
  EXPECT_EQ(Filas(kCuantas), (Textos{"1|3"}));
  EXPECT_EQ(Procedimientos().size(), 4u);
  const Textos log = EntradasLog();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_TRUE(log[0].ends_with("\r\nFrmFormulas (Modifica)")) << log[0];
  EXPECT_TRUE(test_support::FormaDeEntrada(log[1])) << log[1];
  EXPECT_TRUE(log[1].ends_with("\r\nCmdEliForm_Click (Borrando Formula)")) << log[1];
}

}  // namespace
}  // namespace formulas_test
