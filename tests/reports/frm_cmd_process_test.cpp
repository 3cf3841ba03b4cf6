// Tests of the command panel: the lists filled on load, the filter text for each combination of
// ticked boxes (run for real on the embedded engine), the grid's rows and the fifth column.
#include "reports/frm_cmd_process.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/carpeta_aplicacion.h"

namespace reports_test {

namespace fs = std::filesystem;
using test_support::VentanaPrueba;
namespace {

class FrmCmdProcessTest : public VentanaPrueba {
 protected:
  void SetUp() override {
    VentanaPrueba::SetUp();
    // One row of every writer, in the order they would run.
    for (const char* sentencia : {
             "Insert into SE_COMM_PROCESO (Id_FC, Formulario, Periodo, Fecha, Tipo, Contenido) "
             "Values(Null, '', 2005, '05/12/2026 09:00:00', 'Padron', '')",
             "Insert into SE_COMM_PROCESO (Id_FC, Formulario, Capitulo, Periodo, Fecha, Tipo, "
             "Contenido) Values(1, 'ENCUES', 3, 2005, '05/12/2026 09:10:00', 'Novedad', '')",
             "Insert into SE_COMM_PROCESO (Id_FC, Formulario, Periodo, Fecha, Tipo, Contenido) "
             "Values(Null, 'ENCUES', 2004, '05/12/2026 09:20:00', 'Muestra', '')",
             "Insert into SE_COMM_PROCESO (Id_FC, Formulario, Periodo, Fecha, Tipo, Contenido) "
             "Values(1, 'ENCUES', 2005, '05/12/2026 09:30:00', 'Secuencia', 'Ventas')",
             "Insert into SE_COMM_PROCESO (Id_FC, Formulario, Periodo, Fecha, Tipo, Contenido) "
             "Values(2, 'O''HIGG', 2005, Null, 'Secuencia', Null)",
         }) {
      App().CnSql.Execute(sentencia);
    }
    form_ = std::make_unique<reports::FrmCmdProcess>(App());
    form_->Load();
  }

  void TearDown() override {
    form_.reset();
    VentanaPrueba::TearDown();
  }

  // The grid as lines of tab-separated cells, header row included.
  std::vector<std::string> Grilla() const {
    std::vector<std::string> lineas;
    const ui::Grid& g = form_->FGrConsulta;
    for (int r = 0; r < g.Rows(); ++r) {
      std::string linea;
      for (int c = 0; c < g.Cols(); ++c) linea += (c ? "\t" : "") + g.TextMatrix(r, c);
      lineas.push_back(linea);
    }
    return lineas;
  }

  static std::vector<std::string> Items(const ui::ComboBox& lista) {
    std::vector<std::string> items;
    for (int i = 0; i < lista.ListCount(); ++i) items.push_back(lista.List(i));
    return items;
  }

  std::unique_ptr<reports::FrmCmdProcess> form_;
};

TEST_F(FrmCmdProcessTest, AlCargarListasDeshabilitadasYCadaCasillaAlternaSuLista) {
  auto ordenados = [](std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
  };
  EXPECT_EQ(ordenados(Items(form_->cbxFormulario)),
            (std::vector<std::string>{"", "ENCUES", "O'HIGG"}));
  EXPECT_EQ(ordenados(Items(form_->cbxTipo)),
            (std::vector<std::string>{"Muestra", "Novedad", "Padron", "Secuencia"}));
  EXPECT_EQ(ordenados(Items(form_->cbxPeriodo)), (std::vector<std::string>{"2004", "2005"}));
  for (const ui::ComboBox* lista : {&form_->cbxTipo, &form_->cbxFormulario, &form_->cbxPeriodo}) {
    SCOPED_TRACE(lista->Name());
    EXPECT_FALSE(lista->Enabled());
    EXPECT_EQ(lista->ListIndex(), 0);
  }
  EXPECT_EQ(Grilla(), (std::vector<std::string>{"Formulario\tTipo\tPeriodo\tFecha", "\t\t\t"}));
  // A click on a box switches its own list.
  ASSERT_TRUE(form_->ChkProceso[1].UserClick());
  EXPECT_TRUE(form_->cbxFormulario.Enabled());
  EXPECT_FALSE(form_->cbxTipo.Enabled());
  ASSERT_TRUE(form_->ChkProceso[1].UserClick());
  EXPECT_FALSE(form_->cbxFormulario.Enabled());
}

TEST_F(FrmCmdProcessTest, FiltrosYFilasDeLaConsulta) {
  struct Caso {
    const char* nombre;
    bool tipo, formulario, periodo;
    const char* valor_tipo;
    const char* valor_formulario;
    const char* valor_periodo;
    std::string filtro;
    std::vector<std::string> grilla;
  };
  const std::string cabecera = "Formulario\tTipo\tPeriodo\tFecha";
  const std::string cabecera5 = cabecera + "\tSecuencia";
  const std::vector<Caso> casos = {
      {"sin filtro, todas por Id_CommProc", false, false, false, "Padron", "", "2005", "",
       {cabecera, "\tPadron\t2005\t05/12/2026 09:00:00", "ENCUES_3\tNovedad\t2005\t05/12/2026 09:10:00",
        "ENCUES\tMuestra\t2004\t05/12/2026 09:20:00", "ENCUES\tSecuencia\t2005\t05/12/2026 09:30:00",
        "O'HIGG\tSecuencia\t2005\t"}},
      {"solo periodo", false, false, true, "Padron", "", "2004", " where periodo = 2004",
       {cabecera, "ENCUES\tMuestra\t2004\t05/12/2026 09:20:00"}},
      {"tipo Secuencia con formulario", true, true, false, "Secuencia", "ENCUES", "2005",
       "WHERE Formulario = 'ENCUES' And tipo = 'Secuencia'",
       {cabecera5, "ENCUES\tSecuencia\t2005\t05/12/2026 09:30:00\tVentas"}},
      {"quinta columna sin marcar tipo", false, false, true, "Secuencia", "", "2005",
       " where periodo = 2005",
       {cabecera5, "\tPadron\t2005\t05/12/2026 09:00:00\t",
        "ENCUES_3\tNovedad\t2005\t05/12/2026 09:10:00\t",
        "ENCUES\tSecuencia\t2005\t05/12/2026 09:30:00\tVentas", "O'HIGG\tSecuencia\t2005\t\t"}},
      {"los tres, con apostrofo", true, true, true, "Secuencia", "O'HIGG", "2005",
       "WHERE Formulario = 'O''HIGG' And tipo = 'Secuencia' And periodo = 2005",
       {cabecera5, "O'HIGG\tSecuencia\t2005\t\t"}},
      {"resultado vacio", true, false, true, "Muestra", "", "2005",
       " where tipo = 'Muestra' And periodo = 2005", {cabecera, "\t\t\t"}},
  };
  for (const Caso& caso : casos) {
    SCOPED_TRACE(caso.nombre);
    form_->ChkProceso[0].SetValue(caso.tipo);
    form_->ChkProceso[1].SetValue(caso.formulario);
    form_->ChkProceso[2].SetValue(caso.periodo);
    form_->cbxTipo.SetText(caso.valor_tipo);
    form_->cbxFormulario.SetText(caso.valor_formulario);
    form_->cbxPeriodo.SetText(caso.valor_periodo);
    EXPECT_EQ(form_->Filtro(), caso.filtro);
    EXPECT_EQ(form_->Consulta(),
              "SELECT formulario, tipo, periodo, Fecha, capitulo, Id_CommProc, Contenido FROM "
              "SE_COMM_PROCESO " + caso.filtro + " Order by Id_CommProc");
    form_->CmdConsulta_Click();
    EXPECT_EQ(Grilla(), caso.grilla);
  }
}

TEST_F(FrmCmdProcessTest, SalirCierraElPanel) {
  ASSERT_TRUE(form_->CmdSalir.UserClick());
  EXPECT_FALSE(form_->Loaded());
}

}  // namespace
}  // namespace reports_test
