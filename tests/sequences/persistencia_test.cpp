// Storing, reopening, changing and deleting sequences end to end on the embedded engine: the
// statements sent (exact texts), the rows stored as the runner reads them, the refusals before
// anything is stored, and the failures with what they leave behind.
#include <gtest/gtest.h>

#include "tests/sequences/secuenciador_prueba.h"

namespace sequences_test {
namespace {

const char kLineas[] =
    "SELECT S_IDSECCAB, S_ORDEN, S_CONDIC, S_IDFORMCAB1, S_IDFORMCAB2, S_OPERADOR, S_TIPVAR1, S_TIPVAR2, S_MARCA "
    "FROM SE_SECUENCIA ORDER BY S_IDSECCAB, S_ORDEN";
const char kVariables[] = "SELECT SV_IDSEC, SV_ORDEN, SV_NOMVAR FROM SE_VARSECUENCIA ORDER BY SV_IDSEC, SV_ORDEN";
const char kInsert[] =
    "INSERT INTO SE_SECUENCIA (S_IDSECCAB, S_ORDEN, S_CONDIC, S_IDFORMCAB1, S_IDFORMCAB2, S_OPERADOR, S_TIPVAR1, "
    "S_TIPVAR2, S_MARCA) VALUES(";

using Persistencia = SecuenciadorPrueba;

TEST_F(Persistencia, CrearGuardaCabeceraLineasYVariablesComoLasLeeElProceso) {
  FrmSecuenciador& e = *editor_;
  e.CmdCrear.UserClick();
  e.txtSecuencia.UserEdit("Ventas d'Córdoba");
  e.OpcTipo[0].UserClick();
  ElegirEn("FrmBuForm", "ENCUES_1");
  e.CmdAddForm.UserClick();
  e.CmdSecuencia.UserClick();
  Lineas({"F:TOTAL", "Si M:Estado > 5", "And TOTAL <> MARGEN", "F:MARGEN", "FSi"});
  e.FGSecuencia.UserClick(3, 9);
  enviadas_->Olvidar();
  e.cmdGenerar.UserClick();
  EXPECT_EQ(Ui().Prompts(), (std::vector<std::string>{"La Secuencia se Generó con Exito"}));
  const std::string lectura = "Select SC_IdSecCab From SE_CABSECUENCIA Where SC_nombre = 'Ventas d''Córdoba'";
  std::string lote = std::string(kInsert) + "1, 1, '', 1, Null, '', 'F', '', '')\r\n" + kInsert +
                     "1, 2, 'Si', 10, 5, '>', 'M', 'N', '')\r\n" + kInsert + "1, 3, 'And', 1, 2, '<>', 'F', 'F', '')\r\n" +
                     kInsert + "1, 4, '', 2, Null, '', 'F', '', '*')\r\n" + kInsert +
                     "1, 5, 'FSi', Null, Null, '', 'N', 'N', '')\r\n";
  const char* variables[] = {"TOTAL (Total ventas) ", "Estado", "5", "TOTAL (Total ventas) ", "MARGEN (Margen) ",
                             "MARGEN (Margen) ", "", ""};
  for (int i = 0; i < 8; ++i) {
    lote += "INSERT INTO SE_VARSECUENCIA (SV_IDSEC, SV_ORDEN, SV_NOMVAR) VALUES (1, " + std::to_string(i) + ", '" +
            variables[i] + "')\r\n";
  }
  EXPECT_EQ(enviadas_->Todas(),
            (std::vector<std::string>{lectura,
                                      "INSERT INTO SE_CABSECUENCIA (SC_NOMBRE, SC_TIPO, SC_IDARC, SC_ACTIVO, SC_FCREACION) "
                                      "VALUES('Ventas d''Córdoba', 'F', 1, 1,GetDate())",
                                      lectura, "BeginTrans", lote, "CommitTrans"}));
  EXPECT_EQ(Filas("SELECT SC_NOMBRE, SC_TIPO, SC_IDARC, SC_ACTIVO FROM SE_CABSECUENCIA WHERE SC_FCREACION IS NOT NULL"),
            (std::vector<std::string>{"Ventas d'Córdoba|F|1|1"}));
  EXPECT_EQ(Filas(kLineas), (std::vector<std::string>{"1|1||1|NULL||F||", "1|2|Si|10|5|>|M|N|",
                                                      "1|3|And|1|2|<>|F|F|", "1|4||2|NULL||F||*",
                                                      "1|5|FSi|NULL|NULL||N|N|"}));
  // The runner finds the roll column at the stored number plus one.
  sql::Recordset padron = App().CnSql.Execute("SELECT * FROM SE_MUESTRA_PADRON");
  EXPECT_EQ(padron.Fields().Item(10 + 1).Name(), "Estado");
  padron.Close();
  EXPECT_EQ(Filas("SELECT S_Orden, FC_NomVar FROM SE_SECUENCIA left join SE_CABFORMULA on S_IdFormCab1 = Id_formCab "
                  "Where s_IdSecCab = 1 and S_Condic = '' Order by S_Orden"),
            (std::vector<std::string>{"1|TOTAL", "4|MARGEN"}));
  EXPECT_EQ(Filas(kVariables).size(), 8u);
  EXPECT_FALSE(e.LineaAbierta());
  EXPECT_EQ(e.Height(), FrmSecuenciador::kAltoCerrado);
  EXPECT_EQ(Estructura(), (std::vector<std::string>{" "}));
  EXPECT_TRUE(e.CmdCrear.Enabled());
  EXPECT_TRUE(EntradasLog().empty());

  // The next sequence records only its own display texts.
  Crear("Mensual");
  Lineas({"F:MARGEN"});
  e.cmdGenerar.UserClick();
  EXPECT_EQ(Filas("SELECT SV_ORDEN, SV_NOMVAR FROM SE_VARSECUENCIA WHERE SV_IDSEC = 2"),
            (std::vector<std::string>{"0|MARGEN (Margen) "}));
  EXPECT_EQ(Filas("SELECT SC_TIPO FROM SE_CABSECUENCIA WHERE SC_IdSecCab = 2"), (std::vector<std::string>{"T"}));
}

TEST_F(Persistencia, ModificarCargaLasLineasYCambiaCabeceraOLineas) {
  Crear("Anual");
  Lineas({"Si M:Estado >= 2.5", "F:TOTAL", "FSi", "F:MARGEN"});
  editor_->cmdGenerar.UserClick();
  const std::vector<std::string> variables = Filas(kVariables);
  enviadas_->Olvidar();
  Modificar("Anual");
  FrmSecuenciador& e = *editor_;
  EXPECT_EQ(enviadas_->Todas(),
            (std::vector<std::string>{
                "SELECT * FROM SE_CABSECUENCIA",
                "SELECT * FROM SE_CABSECUENCIA INNER JOIN SE_ARCHIVOS ON SC_IDARC=Arc_Id WHERE SC_IDSECCAB = 1",
                "SELECT * FROM se_secuencia WHERE S_IdSecCab = 1 Order by S_IdSec", "SELECT * FROM SE_MUESTRA_PADRON",
                "SELECT fc_nomvar + ' (' + fc_nombre + ')' as FC_NOMVAR FROM SE_CABFORMULA WHERE Id_formCab = 1",
                "SELECT fc_nomvar + ' (' + fc_nombre + ')' as FC_NOMVAR FROM SE_CABFORMULA WHERE Id_formCab = 2"}));
  EXPECT_EQ(Celdas(e.FGSecuencia),
            (std::vector<std::string>{"1|Si|Estado|>=|2.5|10|2.5|M|N|", "2||TOTAL (Total ventas)|||1||F||",
                                      "3|FSi||||||N|N|", "4||MARGEN (Margen)|||2||F||"}));
  EXPECT_EQ(e.txtFormulario.Text() + " " + e.TxtIdFormulario.Text(), "ENCUES_1 1");
  EXPECT_TRUE(e.OpcTipo[1].Value());
  EXPECT_TRUE(e.CmdEliSec.Enabled());
  EXPECT_FALSE(e.LineasModificadas());
  EXPECT_FALSE(e.CabModificada());

  // Storing again what was loaded stores nothing; then only the name.
  e.cmdGenerar.UserClick();
  ElegirEn("FrmBuModSec", "Anual");
  e.CmdModificar.UserClick();
  e.txtSecuencia.UserEdit("Anual 2006");
  e.CmdSecuencia.UserClick();
  enviadas_->Olvidar();
  Ui().ClearMessages();
  e.cmdGenerar.UserClick();
  EXPECT_EQ(enviadas_->Todas(),
            (std::vector<std::string>{
                "Select SC_IdSecCab From SE_CABSECUENCIA Where SC_nombre = 'Anual 2006' and SC_IdSecCab <> 1", "BeginTrans",
                "UPDATE SE_CABSECUENCIA SET SC_NOMBRE= 'Anual 2006', SC_IDARC = 1 WHERE SC_IDSECCAB = 1", "CommitTrans"}));
  EXPECT_TRUE(Ui().Prompts().empty());
  EXPECT_EQ(Filas("SELECT min(S_IdSec), max(S_IdSec) FROM SE_SECUENCIA"), (std::vector<std::string>{"1|4"}));

  // Lines: the block's formula goes, another comes in after the "Si" line.
  Modificar("Anual 2006");
  e.FGSecuencia.UserClick(1, 0);
  Ui().QueueAnswer(ui::vbYes);
  e.CmdRemover.UserClick();
  e.FGSecuencia.UserClick(0, 0);
  Linea("F:MARGEN", &e.CmdInsertar);
  enviadas_->Olvidar();
  Ui().ClearMessages();
  e.cmdGenerar.UserClick();
  EXPECT_EQ(enviadas_->Todas(),
            (std::vector<std::string>{"BeginTrans",
                                      std::string("DELETE SE_SECUENCIA Where S_IDSECCAB=1\r\n") + kInsert +
                                          "1, 1, 'Si', 10, 2.5, '>=', 'M', 'N', '')\r\n" + kInsert +
                                          "1, 2, '', 2, Null, '', 'F', '', '')\r\n" + kInsert +
                                          "1, 3, 'FSi', Null, Null, '', 'N', 'N', '')\r\n" + kInsert +
                                          "1, 4, '', 2, Null, '', 'F', '', '')\r\n",
                                      "CommitTrans"}));
  EXPECT_EQ(Ui().Prompts(), (std::vector<std::string>{"La Secuencia se Modificó con Exito"}));
  EXPECT_EQ(Filas("SELECT min(S_IdSec) FROM SE_SECUENCIA"), (std::vector<std::string>{"5"}));
  EXPECT_EQ(Filas(kVariables), variables);
}

TEST_F(Persistencia, NadaSeGuardaConUnBloqueAbiertoUnNombreRepetidoOUnaCabeceraRechazada) {
  Sql("INSERT INTO SE_CABSECUENCIA (SC_NOMBRE, SC_TIPO, SC_IDARC, SC_ACTIVO, SC_FCREACION) VALUES('Anual', 'T', 1, 1,GetDate())");
  struct Caso {
    std::string nombre;
    std::vector<std::string> lineas;
    std::vector<std::string> mensajes;
    size_t enviadas;
  } casos[] = {
      {"Nueva", {"Si TOTAL > 5", "F:MARGEN"}, {"No se ha cerrado alguna condicion", "No se podra Grabar la secuencia"}, 0},
      {"Anual", {"F:TOTAL"}, {"Ya existe una Secuencia con este Nombre"}, 1},
      {std::string(101, 'N'), {"F:TOTAL"}, {"No se puedo Generar la Secuencia, Error en la Cabecera de Secuencia"}, 2},
  };
  for (const Caso& caso : casos) {
    SCOPED_TRACE(caso.nombre);
    editor_->cmdCancelar.UserClick();
    Ui().Show(*editor_);
    Crear(caso.nombre);
    Lineas(caso.lineas);
    Ui().ClearMessages();
    enviadas_->Olvidar();
    editor_->cmdGenerar.UserClick();
    EXPECT_EQ(Ui().Prompts(), caso.mensajes);
    EXPECT_EQ(enviadas_->Todas().size(), caso.enviadas);
    EXPECT_TRUE(editor_->LineaAbierta());
    EXPECT_EQ(Estructura().size(), caso.lineas.size());
  }
  EXPECT_EQ(Filas("SELECT count(*) FROM SE_CABSECUENCIA"), (std::vector<std::string>{"1"}));
  EXPECT_TRUE(Filas(kLineas).empty());
  const std::vector<std::string> log = EntradasLog();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_TRUE(test_support::FormaDeEntrada(log[0])) << log[0];
  EXPECT_TRUE(log[0].ends_with("\r\nFrmSecuencia (CmdGenerar)\r\n" + enviadas_->Todas()[1])) << log[0];
}

TEST_F(Persistencia, UnLoteFallidoNoDejaLineasYBorraLaCabecera) {
  Crear("Anual");
  Lineas({"Si TOTAL > 5", "F:MARGEN", "FSi"});
  Sql("DROP TABLE SE_VARSECUENCIA");
  enviadas_->Olvidar();
  editor_->cmdGenerar.UserClick();
  std::vector<std::string> desde = EnviadasDesde("BeginTrans");
  ASSERT_EQ(desde.size(), 4u) << ::testing::PrintToString(desde);
  EXPECT_EQ(desde[2], "RollbackTrans");
  EXPECT_EQ(desde[3], "Delete SE_CABSECUENCIA Where SC_IdSecCab= 1");
  EXPECT_EQ(Ui().Prompts(), (std::vector<std::string>{"No se pudo Generar la Secuencia, Error al intentar Grabar"}));
  EXPECT_TRUE(Filas("SELECT * FROM SE_CABSECUENCIA").empty());
  EXPECT_TRUE(Filas(kLineas).empty());
  std::vector<std::string> log = EntradasLog();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_TRUE(test_support::FormaDeEntrada(log[0])) << log[0];
  EXPECT_TRUE(log[0].ends_with("\r\nFrmSecuencia (CmdGenerar)\r\n" + desde[1])) << log[0];
  EXPECT_EQ(Estructura().size(), 3u);

  // The header cannot be deleted either: it stays, and the log names it.
  falla_->Fallar("Delete SE_CABSECUENCIA");
  Ui().ClearMessages();
  editor_->cmdGenerar.UserClick();
  EXPECT_EQ(Ui().Prompts(), (std::vector<std::string>{"Error al Generar Secuencia"}));
  EXPECT_EQ(Filas("SELECT SC_IdSecCab, SC_NOMBRE FROM SE_CABSECUENCIA"), (std::vector<std::string>{"2|Anual"}));
  log = EntradasLog();
  ASSERT_EQ(log.size(), 3u);
  EXPECT_TRUE(log[2].ends_with("\r\nFrmSecuencia (CmdEliSec)\r\nDelete SE_CABSECUENCIA Where SC_IdSecCab= 2")) << log[2];
}

TEST_F(Persistencia, ModificarYEliminarVanEnUnaTransaccion) {
  for (const char* nombre : {"Anual", "Mensual"}) {
    Crear(nombre);
    Lineas({"F:TOTAL"});
    editor_->cmdGenerar.UserClick();
  }
  FrmSecuenciador& e = *editor_;
  ElegirEn("FrmBuModSec", "Anual");
  e.CmdModificar.UserClick();
  e.txtSecuencia.UserEdit("Otra");
  e.CmdSecuencia.UserClick();
  Linea("F:MARGEN");
  falla_->Fallar("DELETE SE_SECUENCIA");
  enviadas_->Olvidar();
  Ui().ClearMessages();
  e.cmdGenerar.UserClick();
  const std::vector<std::string> desde = EnviadasDesde("BeginTrans");
  ASSERT_EQ(desde.size(), 4u) << ::testing::PrintToString(desde);
  EXPECT_TRUE(desde[1].starts_with("UPDATE SE_CABSECUENCIA")) << desde[1];
  EXPECT_EQ(desde[3], "RollbackTrans");
  EXPECT_EQ(Ui().Prompts(), (std::vector<std::string>{"No se pudo Actualizar las Secuencias"}));
  EXPECT_EQ(Filas("SELECT SC_NOMBRE FROM SE_CABSECUENCIA ORDER BY 1"), (std::vector<std::string>{"Anual", "Mensual"}));
  EXPECT_EQ(Filas("SELECT S_IDSECCAB, S_IDFORMCAB1 FROM SE_SECUENCIA"), (std::vector<std::string>{"1|1", "2|1"}));
  ASSERT_EQ(EntradasLog().size(), 1u);
  EXPECT_TRUE(EntradasLog()[0].ends_with("\r\nFrmSecuencia (CmdGenerar)\r\n" + desde[2]));
  EXPECT_EQ(Estructura().size(), 2u);
  falla_->Fallar("");

  // "No" deletes nothing; "Yes" deletes the three parts together.
  e.cmdCancelar.UserClick();
  Ui().Show(e);
  ElegirEn("FrmBuModSec", "Mensual");
  e.CmdModificar.UserClick();
  Ui().ClearMessages();
  Ui().QueueAnswer(ui::vbNo);
  e.CmdEliSec.UserClick();
  ASSERT_EQ(Ui().Messages().size(), 1u);
  EXPECT_EQ(Ui().Messages()[0].prompt, "Esta Seguro que desea eliminar la secuencia");
  EXPECT_EQ(Ui().Messages()[0].title, "Elimina Secuenia");
  EXPECT_EQ(Ui().Messages()[0].style, ui::vbYesNo + ui::vbCritical);
  enviadas_->Olvidar();
  Ui().QueueAnswer(ui::vbYes);
  e.CmdEliSec.UserClick();
  const std::string borrar = "Delete From SE_VARSECUENCIA where Sv_IdSec = 2\r\nDelete From SE_SECUENCIA where "
                             "S_IdSecCab = 2\r\nDelete From SE_CABSECUENCIA where Sc_IdSecCab = 2";
  EXPECT_EQ(enviadas_->Todas(), (std::vector<std::string>{"BeginTrans", borrar, "CommitTrans"}));
  EXPECT_EQ(Ui().Prompts().back(), "Se ha Eliminado la Secuencia");
  EXPECT_EQ(Filas("SELECT SV_IDSEC FROM SE_VARSECUENCIA UNION ALL SELECT S_IDSECCAB FROM SE_SECUENCIA UNION ALL "
                  "SELECT SC_IdSecCab FROM SE_CABSECUENCIA"),
            (std::vector<std::string>{"1", "1", "1"}));
  EXPECT_FALSE(e.CmdEliSec.Enabled());
  EXPECT_EQ(e.txtSecuencia.Text(), "");

  // The last of the three deletes fails: the first two are undone with it.
  ElegirEn("FrmBuModSec", "Anual");
  e.CmdModificar.UserClick();
  Sql("DROP TABLE SE_CABSECUENCIA");
  Ui().ClearMessages();
  Ui().QueueAnswer(ui::vbYes);
  e.CmdEliSec.UserClick();
  EXPECT_EQ(Ui().Prompts().back(), "No se ha Eliminado la Secuencia");
  EXPECT_EQ(Filas("SELECT count(*) FROM SE_SECUENCIA"), (std::vector<std::string>{"1"}));
  EXPECT_EQ(Filas("SELECT count(*) FROM SE_VARSECUENCIA"), (std::vector<std::string>{"1"}));
  const std::vector<std::string> log = EntradasLog();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_TRUE(log[1].ends_with("\r\nFrmSecuencia (CmdEliSec)\r\nDelete From SE_VARSECUENCIA where Sv_IdSec = 1\r\n"
                               "Delete From SE_SECUENCIA where S_IdSecCab = 1\r\nDelete From SE_CABSECUENCIA where "
                               "Sc_IdSecCab = 1"))
      << log[1];
}

}  // namespace
}  // namespace sequences_test
