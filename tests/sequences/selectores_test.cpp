// The list pickers of the sequence windows: what each lists and hands back, the roll columns
// with their stored numbers, and that "Salir" (or no form to list for) changes nothing.
#include <gtest/gtest.h>

#include "tests/sequences/secuenciador_prueba.h"

namespace sequences_test {
namespace {

using Selectores = SecuenciadorPrueba;

// The items of `lista` as "text=data".
std::vector<std::string> Items(const ui::ListBox& lista) {
  std::vector<std::string> items;
  for (int i = 0; i < lista.ListCount(); ++i) items.push_back(lista.List(i) + "=" + std::to_string(lista.ItemData(i)));
  return items;
}

TEST_F(Selectores, CadaSelectorListaSuConsultaYDevuelveElElegido) {
  for (const char* fila : {"'Anual', 'T', 2", "'Mensual', 'F', 1", "'Trimestral', 'T', 1"}) {
    Sql(std::string("INSERT INTO SE_CABSECUENCIA (SC_NOMBRE, SC_TIPO, SC_IDARC, SC_ACTIVO, SC_FCREACION) VALUES(") +
        fila + ", 1,GetDate())");
  }
  struct Caso {
    const char* nombre;
    const char* caption;
    std::string consulta;
    std::vector<std::string> items;
  } casos[] = {
      {"FrmBuModSec", "Secuencias", "SELECT * FROM SE_CABSECUENCIA", {"Anual=1", "Mensual=2", "Trimestral=3"}},
      {"FrmBuCoModSec", "Secuencias", "SELECT * FROM SE_CABSECUENCIA", {"Anual=1", "Mensual=2", "Trimestral=3"}},
      {"FrmBuForm", "Formularios", "Select * FROM SE_ARCHIVOS", {"ENCUES_1=1", "INDUST_1=2"}},
      {"FrmBuForm1", "Form1", "Select * FROM SE_ARCHIVOS", {"ENCUES_1=1", "INDUST_1=2"}},
      {"FrmBuSec", "Secuencias", "SELECT * FROM SE_CABSECUENCIA WHERE SC_IDARC = 1", {"Mensual=2", "Trimestral=3"}},
  };
  for (const Caso& caso : casos) {
    SCOPED_TRACE(caso.nombre);
    auto& picker = formulas::VentanaRegistrada<sequences::Selector>(App(), caso.nombre);
    for (const bool aceptar : {true, false}) {
      enviadas_->Olvidar();
      if (auto* por_formulario = dynamic_cast<sequences::FrmBuSec*>(&picker)) por_formulario->Preparar(" 1");
      std::vector<std::string> items;
      Ui().QueueModal(caso.nombre, [&](ui::Form& form) {
        EXPECT_EQ(form.Caption(), caso.caption);
        EXPECT_EQ(form.Width(), sequences::Selector::kAncho);
        EXPECT_EQ(form.Height(), sequences::Selector::kAlto);
        items = Items(picker.lstFormularios);
        picker.lstFormularios.UserClick(1);
        (aceptar ? picker.CmdAceptar : picker.CmdSalir).UserClick();
      });
      Ui().ShowModal(picker);
      EXPECT_EQ(enviadas_->Todas(), (std::vector<std::string>{caso.consulta}));
      EXPECT_EQ(items, caso.items);
      EXPECT_FALSE(picker.Loaded());
      ASSERT_EQ(picker.Elegido().has_value(), aceptar);
      if (aceptar) {
        EXPECT_EQ(picker.Elegido()->texto + "=" + std::to_string(picker.Elegido()->dato), caso.items[1]);
      }
    }
  }

  // Without a chosen form the run's picker asks nothing and lists nothing.
  auto& por_formulario = formulas::VentanaRegistrada<sequences::FrmBuSec>(App(), "FrmBuSec");
  por_formulario.Preparar("");
  enviadas_->Olvidar();
  EXPECT_TRUE(enviadas_->Todas().empty());
  EXPECT_EQ(por_formulario.lstFormularios.ListCount(), 0);
  por_formulario.Unload();
}

TEST_F(Selectores, LaMuestraListaLasColumnasConSuNumeroGuardado) {
  auto& muestra = formulas::VentanaRegistrada<sequences::FrmBMuestra>(App(), "FrmBMuestra");
  muestra.Load();
  const std::vector<std::string> items = Items(muestra.lstFormularios);
  ASSERT_GT(items.size(), 2u);
  EXPECT_EQ(items[0], "Unico=-1");
  EXPECT_EQ(items[1], "CUIT=0");
  sql::Recordset rs = App().CnSql.Execute("SELECT * FROM SE_MUESTRA_PADRON");
  EXPECT_EQ(static_cast<int>(items.size()), rs.Fields().Count());
  rs.Close();
  muestra.Unload();
  Sql("DELETE FROM SE_MUESTRA_PADRON");
  muestra.Load();
  EXPECT_EQ(muestra.lstFormularios.ListCount(), 0);
  muestra.Unload();
}

TEST_F(Selectores, SalirNoCambiaNadaEnElEditor) {
  FrmSecuenciador& e = *editor_;
  ElegirEn("FrmBuModSec", "");
  e.CmdModificar.UserClick();
  EXPECT_EQ(e.ModoEdicion(), ' ');
  EXPECT_TRUE(e.CmdModificar.Enabled());
  EXPECT_FALSE(e.CmdEliSec.Enabled());
  Crear("Anual");
  e.OptCondicion.UserClick();
  ElegirEn("FrmBMuestra", "Estado");
  e.CmdMuestra.UserClick();
  ElegirEn("FrmBMuestra", "");
  e.CmdMuestra.UserClick();
  EXPECT_EQ(e.TxtVar1.Text() + " " + e.txtNMuestra.Text() + " " + e.txtIdMuestra.Text(), "Estado M 10");
  e.cmdCancelar.UserClick();
  Ui().Show(e);
  e.CmdCrear.UserClick();
  ElegirEn("FrmBuForm", "INDUST_1");
  e.CmdAddForm.UserClick();
  ElegirEn("FrmBuForm", "");
  e.CmdAddForm.UserClick();
  EXPECT_EQ(e.txtFormulario.Text() + " " + e.TxtIdFormulario.Text(), "INDUST_1 2");
  EXPECT_TRUE(Ui().Prompts().empty());
}

}  // namespace
}  // namespace sequences_test
