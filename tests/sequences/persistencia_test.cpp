// Storing, reopening, changing and deleting sequences on the embedded engine: the statements
// sent, the rows stored as the runner reads them, the refusals, and what failures leave.
#include <gtest/gtest.h>

#include "tests/sequences/secuenciador_prueba.h"

namespace sequences_test {
namespace {

class Persistencia : public SecuenciadorPrueba {
 protected:
  // Clicks `boton` with the record of statements and messages emptied first.
  void Pulsar(ui::CommandButton& boton) {
    enviadas_->Olvidar();
    Ui().ClearMessages();
    boton.UserClick();
  }
};

const char kLineas[] =
    "SELECT S_IDSECCAB, S_ORDEN, S_CONDIC, S_IDFORMCAB1, S_IDFORMCAB2, S_OPERADOR, S_TIPVAR1, S_TIPVAR2, S_MARCA "
    "FROM SE_SECUENCIA ORDER BY S_IDSECCAB, S_ORDEN";
const char kLog[] = "\r\nFrmSecuencia (CmdGenerar)\r\n";
const char kBorrar[] = "Delete From SE_VARSECUENCIA where Sv_IdSec = 1\r\nDelete From SE_SECUENCIA where S_IdSecCab = 1"
                       "\r\nDelete From SE_CABSECUENCIA where Sc_IdSecCab = 1";
const char kCuentas[] = "SELECT count(*) FROM SE_SECUENCIA UNION ALL SELECT count(*) FROM SE_VARSECUENCIA";

// The INSERT of one line of sequence 1.
std::string Insert(const std::string& valores) {
  return "INSERT INTO SE_SECUENCIA (S_IDSECCAB, S_ORDEN, S_CONDIC, S_IDFORMCAB1, S_IDFORMCAB2, S_OPERADOR, S_TIPVAR1, "
         "S_TIPVAR2, S_MARCA) VALUES(1, " + valores + ")\r\n";
}

TEST_F(Persistencia, CrearGuardaCabeceraLineasYVariablesComoLasLeeElProceso) {
  FrmSecuenciador& e = *editor_;
  e.CmdCrear.UserClick();
  e.OpcTipo[0].UserClick();
  Crear("Ventas d'Córdoba");
  Lineas({"F:TOTAL", "Si M:Estado > 5", "And TOTAL <> MARGEN", "F:MARGEN", "FSi"});
  e.FGSecuencia.UserClick(3, 9);
  Pulsar(e.cmdGenerar);
  EXPECT_EQ(Ui().Prompts(), Textos{"La Secuencia se Generó con Exito"});
  const std::string lectura = "Select SC_IdSecCab From SE_CABSECUENCIA Where SC_nombre = 'Ventas d''Córdoba'";
  std::string lote = Insert("1, '', 1, Null, '', 'F', '', ''") + Insert("2, 'Si', 10, 5, '>', 'M', 'N', ''") +
                     Insert("3, 'And', 1, 2, '<>', 'F', 'F', ''") + Insert("4, '', 2, Null, '', 'F', '', '*'") +
                     Insert("5, 'FSi', Null, Null, '', 'N', 'N', ''");
  int orden = 0;
  for (const char* texto : {"TOTAL (Total ventas) ", "Estado", "5", "TOTAL (Total ventas) ", "MARGEN (Margen) ",
                            "MARGEN (Margen) ", "", ""}) {
    lote += "INSERT INTO SE_VARSECUENCIA (SV_IDSEC, SV_ORDEN, SV_NOMVAR) VALUES (1, " + std::to_string(orden++) +
            ", '" + texto + "')\r\n";
  }
  EXPECT_EQ(Enviadas(), (Textos{lectura,
                                "INSERT INTO SE_CABSECUENCIA (SC_NOMBRE, SC_TIPO, SC_IDARC, SC_ACTIVO, SC_FCREACION) "
                                "VALUES('Ventas d''Córdoba', 'F', 1, 1,GetDate())",
                                lectura, "BeginTrans", lote, "CommitTrans"}));
  // The runner names the roll column by the stored number plus one.
  sql::Recordset padron = App().CnSql.Execute("SELECT * FROM SE_MUESTRA_PADRON");
  EXPECT_EQ(padron.Fields().Item(10 + 1).Name(), "Estado");
  padron.Close();
  EXPECT_TRUE(EntradasLog().empty());

  // The editor starts again, and the next sequence records only its own display texts.
  Crear("Mensual");
  Lineas({"F:MARGEN"});
  e.cmdGenerar.UserClick();
  EXPECT_EQ(Filas("SELECT SV_ORDEN, SV_NOMVAR, SC_TIPO FROM SE_VARSECUENCIA JOIN SE_CABSECUENCIA ON SV_IDSEC = "
                  "SC_IdSecCab WHERE SV_IDSEC = 2"),
            Textos{"0|MARGEN (Margen) |T"});
}

TEST_F(Persistencia, ModificarCargaLasLineasCambiaLaCabeceraOLasLineasYEliminarBorraTodo) {
  FrmSecuenciador& e = *editor_;
  Crear("Anual");
  Lineas({"Si M:Estado >= 2.5", "F:TOTAL", "FSi", "F:MARGEN"});
  e.cmdGenerar.UserClick();
  ElegirEn("FrmBuModSec", "Anual");
  e.CmdModificar.UserClick();
  e.CmdSecuencia.UserClick();
  EXPECT_EQ(Celdas(e.FGSecuencia), (Textos{"1|Si|Estado|>=|2.5|10|2.5|M|N|", "2||TOTAL (Total ventas)|||1||F||",
                                           "3|FSi||||||N|N|", "4||MARGEN (Margen)|||2||F||"}));
  EXPECT_EQ(e.txtFormulario.Text() + e.TxtIdFormulario.Text() + (e.OpcTipo[1].Value() ? "T" : "F"), "ENCUES_11T");
  // Opened and unchanged: nothing to store.
  Pulsar(e.cmdGenerar);
  EXPECT_TRUE(Enviadas().empty() && Ui().Prompts().empty());

  ElegirEn("FrmBuModSec", "Anual");
  e.CmdModificar.UserClick();
  e.txtSecuencia.UserEdit("Anual 2006");
  Pulsar(e.cmdGenerar);
  EXPECT_EQ(Enviadas(),
            (Textos{"Select SC_IdSecCab From SE_CABSECUENCIA Where SC_nombre = 'Anual 2006' and SC_IdSecCab <> 1",
                    "BeginTrans", "UPDATE SE_CABSECUENCIA SET SC_NOMBRE= 'Anual 2006', SC_IDARC = 1 WHERE SC_IDSECCAB = 1",
                    "CommitTrans"}));
  EXPECT_TRUE(Ui().Prompts().empty());

  // The lines: the block's formula goes, another comes in after the "Si" line.
  ElegirEn("FrmBuModSec", "Anual 2006");
  e.CmdModificar.UserClick();
  e.CmdSecuencia.UserClick();
  e.FGSecuencia.UserClick(1, 0);
  Ui().QueueAnswer(ui::vbYes);
  e.CmdRemover.UserClick();
  e.FGSecuencia.UserClick(0, 0);
  Linea("F:MARGEN", &e.CmdInsertar);
  Pulsar(e.cmdGenerar);
  EXPECT_EQ(Enviadas(), (Textos{"BeginTrans",
                                "DELETE SE_SECUENCIA Where S_IDSECCAB=1\r\n" +
                                    Insert("1, 'Si', 10, 2.5, '>=', 'M', 'N', ''") +
                                    Insert("2, '', 2, Null, '', 'F', '', ''") +
                                    Insert("3, 'FSi', Null, Null, '', 'N', 'N', ''") +
                                    Insert("4, '', 2, Null, '', 'F', '', ''"),
                                "CommitTrans"}));
  EXPECT_EQ(Ui().Prompts(), Textos{"La Secuencia se Modificó con Exito"});

  ElegirEn("FrmBuModSec", "Anual 2006");
  e.CmdModificar.UserClick();
  Ui().QueueAnswer(ui::vbYes);
  Pulsar(e.CmdEliSec);
  EXPECT_EQ(Enviadas(), (Textos{"BeginTrans", kBorrar, "CommitTrans"}));
  EXPECT_EQ(Ui().Prompts(), (Textos{"Esta Seguro que desea eliminar la secuencia", "Se ha Eliminado la Secuencia"}));
  EXPECT_FALSE(e.CmdEliSec.Enabled());
}

TEST_F(Persistencia, NadaSeGuardaConUnBloqueAbiertoUnNombreRepetidoOUnaCabeceraRechazada) {
  Sql("INSERT INTO SE_CABSECUENCIA (SC_NOMBRE, SC_IDARC) VALUES('Anual', 1)");
  const struct {
    std::string nombre;
    Textos lineas, mensajes;
    size_t enviadas;
  } casos[] = {
      {"Nueva", {"Si TOTAL > 5", "F:MARGEN"},
       {"No se ha cerrado alguna condicion", "No se podra Grabar la secuencia"}, 0},
      {"Anual", {"F:TOTAL"}, {"Ya existe una Secuencia con este Nombre"}, 1},
      {"", {}, {"Debera Ingresar un nombre para la Secuencia"}, 0},
      {std::string(101, 'N'), {"F:TOTAL"}, {"No se puedo Generar la Secuencia, Error en la Cabecera de Secuencia"}, 2},
  };
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.nombre);
    editor_->cmdCancelar.UserClick();
    Ui().Show(*editor_);
    Crear(caso.nombre);
    Lineas(caso.lineas);
    Pulsar(editor_->cmdGenerar);
    EXPECT_EQ(Ui().Prompts(), caso.mensajes);
    EXPECT_EQ(Enviadas().size(), caso.enviadas);
    EXPECT_EQ(Celdas(editor_->FGSecuencia).size(), std::max<size_t>(caso.lineas.size(), 1));
  }
  EXPECT_EQ(Filas("SELECT count(*) FROM SE_CABSECUENCIA"), Textos{"1"});
  const Textos log = EntradasLog();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_TRUE(test_support::FormaDeEntrada(log[0])) << log[0];
  EXPECT_TRUE(log[0].ends_with(kLog + Enviadas()[1])) << log[0];
}

TEST_F(Persistencia, LosFallosDejanCadaSecuenciaEnteraOSinNada) {
  FrmSecuenciador& e = *editor_;
  Crear("Anual");
  Lineas({"F:TOTAL"});
  e.cmdGenerar.UserClick();
  // The batch fails after its line inserts: they go back, and the header is deleted again.
  Crear("Mensual");
  Lineas({"Si TOTAL > 5", "F:MARGEN", "FSi"});
  Sql("DROP TABLE SE_VARSECUENCIA");
  Pulsar(e.cmdGenerar);
  ASSERT_EQ(Enviadas().size(), 7u);
  EXPECT_EQ((Textos{Enviadas()[3], Enviadas()[5], Enviadas()[6]}),
            (Textos{"BeginTrans", "RollbackTrans", "Delete SE_CABSECUENCIA Where SC_IdSecCab= 2"}));
  EXPECT_EQ(Ui().Prompts(), Textos{"No se pudo Generar la Secuencia, Error al intentar Grabar"});
  EXPECT_EQ(Filas("SELECT SC_NOMBRE FROM SE_CABSECUENCIA"), Textos{"Anual"});
  EXPECT_EQ(Filas(kLineas), Textos{"1|1||1|NULL||F||"});
  EXPECT_TRUE(EntradasLog().back().ends_with(kLog + Enviadas()[4]));
  EXPECT_EQ(Estructura(), "1 Si,2 ,3 FSi");
  Sql("CREATE TABLE SE_VARSECUENCIA (SV_IDSEC int NULL, SV_ORDEN int NULL, SV_NOMVAR varchar(255) NULL)\r\n"
      "INSERT INTO SE_VARSECUENCIA (SV_IDSEC) VALUES (1)");

  // The line replacement fails after the header update: both go back.
  e.cmdCancelar.UserClick();
  Ui().Show(e);
  ElegirEn("FrmBuModSec", "Anual");
  e.CmdModificar.UserClick();
  e.txtSecuencia.UserEdit("Otra");
  e.CmdSecuencia.UserClick();
  Linea("F:MARGEN");
  Sql("DROP TABLE SE_SECUENCIA");
  Pulsar(e.cmdGenerar);
  ASSERT_EQ(Enviadas().size(), 5u);
  EXPECT_EQ((Textos{Enviadas()[1], Enviadas()[4]}), (Textos{"BeginTrans", "RollbackTrans"}));
  EXPECT_TRUE(Enviadas()[2].starts_with("UPDATE SE_CABSECUENCIA"));
  EXPECT_EQ(Ui().Prompts(), Textos{"No se pudo Actualizar las Secuencias"});
  EXPECT_EQ(Filas("SELECT SC_NOMBRE FROM SE_CABSECUENCIA"), Textos{"Anual"});
  EXPECT_TRUE(EntradasLog().back().ends_with(kLog + Enviadas()[3]));

  // "No" deletes nothing; the last of the three deletes fails and the first two go back.
  Ui().QueueAnswer(ui::vbNo);
  Pulsar(e.CmdEliSec);
  EXPECT_TRUE(Enviadas().empty());
  EXPECT_EQ(Ui().Messages()[0].title + " " + std::to_string(Ui().Messages()[0].style),
            "Elimina Secuenia " + std::to_string(ui::vbYesNo + ui::vbCritical));
  Sql("CREATE TABLE SE_SECUENCIA (S_IDSECCAB int NULL)\r\nINSERT INTO SE_SECUENCIA (S_IDSECCAB) VALUES (1)\r\n"
      "DROP TABLE SE_CABSECUENCIA");
  Ui().QueueAnswer(ui::vbYes);
  Pulsar(e.CmdEliSec);
  EXPECT_EQ(Enviadas(), (Textos{"BeginTrans", kBorrar, "RollbackTrans"}));
  EXPECT_EQ(Ui().Prompts().back(), "No se ha Eliminado la Secuencia");
  EXPECT_EQ(Filas(kCuentas), (Textos{"1", "1"}));
  EXPECT_TRUE(EntradasLog().back().ends_with(std::string("\r\nFrmSecuencia (CmdEliSec)\r\n") + kBorrar));
}

}  // namespace
}  // namespace sequences_test
