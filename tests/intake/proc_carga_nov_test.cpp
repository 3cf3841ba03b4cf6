// The structure catalogue window on a catalogue written straight into the database: opening,
// browsing, renaming and describing a column, adding one by hand, refusals and the layouts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "intake/proc_carga_nov.h"
#include "tests/support/carpeta_aplicacion.h"

namespace intake_test {

using namespace test_support;
namespace {

class ProcCargaNovTest : public VentanaPrueba {
 protected:
  void SetUp() override {
    VentanaPrueba::SetUp();
    for (const char* sql : {
             "INSERT INTO SE_ARCHIVOS (Arc_Nombre, Arc_Fecha) VALUES('ENCUES_2', '01/02/2005')",
             "INSERT INTO SE_ARCHIVOS (Arc_Nombre, Arc_Fecha) VALUES('ENCUES_1', '01/02/2005')",
             "INSERT INTO SE_ESTRUCTURAS (Est_IdArchivo, Est_Campo, Est_Tipo, Est_Tamanio, "
             "Est_Precision, Est_Escala, Est_Fecha) Values(2,'P002','Numeric',19,10,2,'01/02/2005')",
             "INSERT INTO SE_ESTRUCTURAS (Est_IdArchivo, Est_Campo, Est_Tipo, Est_Tamanio, "
             "Est_Precision, Est_Escala, Est_Fecha, Est_Descripcion) Values(2,'P001','Integer',4,"
             "10,255,'01/02/2005','Ventas')",
             "INSERT INTO SE_ESTRUCTURAS (Est_IdArchivo, Est_Campo, Est_Tipo, Est_Tamanio, "
             "Est_Precision, Est_Escala, Est_Fecha) Values(1,'X','Char',5,255,255,'01/02/2005')",
             "INSERT INTO SE_NOVEDAD (Arc_Id, FormSector, Capitulo, Empresa, Periodo, Campo, Tipo) "
             "Values(2, 'ENCUES', 1, '305', 2005, 'P001', 'Int')",
         }) {
      App().CnSql.Execute(sql);
    }
    form_ = std::make_unique<intake::Proc_CargaNov>(App());
    Ui().Show(*form_);
  }

  void TearDown() override {
    form_.reset();
    VentanaPrueba::TearDown();
  }

  std::vector<std::string> Grilla() {
    std::vector<std::string> filas;
    for (int fila = 0; fila < form_->MFGField.Rows(); ++fila) {
      std::string texto;
      for (int col = 0; col < form_->MFGField.Cols(); ++col) {
        texto += (col ? "|" : "") + form_->MFGField.TextMatrix(fila, col);
      }
      filas.push_back(texto);
    }
    return filas;
  }

  // The files listed, each with its id.
  std::vector<std::string> Archivos() {
    std::vector<std::string> lista;
    for (int i = 0; i < form_->LstForm.ListCount(); ++i) {
      lista.push_back(form_->LstForm.List(i) + " " + std::to_string(form_->LstForm.ItemData(i)));
    }
    return lista;
  }

  // Which layout the window shows, as one text: height, button row, add-only boxes, enabled state.
  std::string Disposicion() {
    intake::Proc_CargaNov& f = *form_;
    return std::to_string(f.Height()) + " botones " + std::to_string(f.Command1.Top()) +
           (f.CbTipo.Visible() && f.TxtTam.Visible() && f.LblEsc.Visible() ? " agregar" : "") +
           (f.Command1.Enabled() ? " Modificar" : "") + (f.Command2.Enabled() ? " Agregar" : "") +
           (f.cmdActualiza.Enabled() ? " Actualiza" : "") +
           (f.TxtCampo.Enabled() && f.txtDesc.Enabled() ? " edita" : "");
  }

  std::unique_ptr<intake::Proc_CargaNov> form_;
};

// The files are listed by name with their ids; a double click shows the catalogue of one.
TEST_F(ProcCargaNovTest, RenombraYDescribeUnaColumna) {
  ASSERT_EQ(Archivos(), (std::vector<std::string>{"ENCUES_1 2", "ENCUES_2 1"}));
  EXPECT_EQ(Disposicion(), "5640 botones 4680 Modificar Agregar");
  ASSERT_TRUE(form_->LstForm.UserDblClick(0));
  EXPECT_EQ(Grilla(), (std::vector<std::string>{
                          "Campo|Tipo|Descripcion|Codigo|Tamanio|Precision|Escala|Id_Estructura",
                          "P001|Integer|Ventas|2|4|10|255|2",
                          "P002|Numeric||1|19|10|2|1",
                      }));
  EXPECT_EQ(form_->TxtIdArc.Text(), "2");

  form_->MFGField.UserClick(0, 0);  // the header names no column
  EXPECT_EQ(form_->TxtCampo.Text(), "");
  form_->MFGField.UserClick(2, 1);
  EXPECT_EQ(form_->TxtCampo.Text(), "P002");
  EXPECT_EQ(form_->txtIdEst.Text(), "1");
  EXPECT_FALSE(form_->TxtCampo.Enabled());

  ASSERT_TRUE(form_->Command1.UserClick());
  EXPECT_EQ(Disposicion(), "5640 botones 4680 Actualiza edita");
  form_->TxtCampo.UserEdit("P002B");
  form_->txtDesc.UserEdit("Año d'or");
  ASSERT_TRUE(form_->cmdActualiza.UserClick());

  EXPECT_EQ(Filas("Select Est_Campo, Est_Descripcion, Est_Tipo From SE_ESTRUCTURAS Where "
                  "Est_Id = 1"),
            std::vector<std::string>{"P002B|Año d'or|Numeric"});
  EXPECT_EQ(Grilla()[2], "P002B|Numeric|Año d'or|1|19|10|2|1");
  // The values already imported keep the old name.
  EXPECT_EQ(Filas("Select Campo From SE_NOVEDAD"), std::vector<std::string>{"P001"});
  EXPECT_EQ(Disposicion(), "5640 botones 4680 Modificar Agregar");
  EXPECT_EQ(form_->TxtCampo.Text(), "");
  EXPECT_EQ(Ui().Prompts(), std::vector<std::string>{});
  EXPECT_EQ(EntradasLog(), std::vector<std::string>{});
}

// Cancel goes back to browsing and writes nothing; a second try adds the column.
TEST_F(ProcCargaNovTest, AgregaUnaColumnaAMano) {
  form_->LstForm.UserDblClick(1);
  ASSERT_TRUE(form_->Command2.UserClick());
  EXPECT_EQ(Disposicion(), "6555 botones 5400 agregar Actualiza edita");
  EXPECT_TRUE(form_->ModoAgregar());
  form_->UserResize(9000, 9000);
  EXPECT_EQ(form_->Height(), 6555);
  form_->TxtCampo.UserEdit("P901");
  ASSERT_TRUE(form_->cmdCancelar.UserClick());
  EXPECT_EQ(Disposicion(), "5640 botones 4680 Modificar Agregar");
  EXPECT_EQ(form_->TxtCampo.Text(), "");
  EXPECT_EQ(form_->TxtIdArc.Text(), "1");
  form_->UserResize(9000, 9000);
  EXPECT_EQ(form_->Height(), 5640);
  EXPECT_EQ(Filas("Select Count(*) From SE_ESTRUCTURAS"), std::vector<std::string>{"3"});

  ASSERT_TRUE(form_->Command2.UserClick());

  form_->TxtCampo.UserEdit("P900");
  form_->CbTipo.UserSelect(2);
  form_->TxtTam.UserEdit("");
  form_->TxtPrec.UserEdit(" 12abc");
  form_->TxtEsc.UserEdit("2");
  form_->txtDesc.UserEdit("Nueva");
  ASSERT_TRUE(form_->cmdActualiza.UserClick());

  EXPECT_EQ(Filas("Select Est_IdArchivo, Est_Campo, Est_Tipo, Est_Tamanio, Est_Precision, "
                  "Est_Escala, Est_Fecha, Est_Descripcion From SE_ESTRUCTURAS Where "
                  "Est_Campo = 'P900'"),
            std::vector<std::string>{"1|P900|Numeric|0|12|2|05/12/2026|Nueva"});
  EXPECT_FALSE(form_->ModoAgregar());
  EXPECT_EQ(Grilla().size(), 3u);
}

// What the window refuses says "No se pudo actualizar" and changes nothing; what the database
// refuses is only logged. A name that came with the file is kept as it came (it can still be
// described); a name the user types must be an identifier of the server.
TEST_F(ProcCargaNovTest, LoQueNoSePuedeGuardar) {
  const struct {
    const char* caso;
    const char* columna;  // "" adds a column by hand; nullptr: no file chosen, add
    std::string nombre;
    std::string descripcion;
    const char* resultado;  // "guarda", the message, or "log"
  } casos[] = {
      {"nombre de archivo sin cambiar", "marker-col", "marker-col", "d", "guarda"},
      {"renombrada con guion", "AÑO", "AÑO-2", "d", "No se pudo actualizar"},
      {"agregada con guion", "", "marker-col2", "d", "No se pudo actualizar"},
      {"campo vacio", "P001", "  ", "d", "No se pudo actualizar"},
      {"sin archivo elegido", nullptr, "P902", "d", "No se pudo actualizar"},
      {"descripcion demasiado larga", "P001", "P001", std::string(300, 'd'), "log"},
  };
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.caso);
    TearDown();
    SetUp();
    for (const char* nombre : {"marker-col", "AÑO"}) {
      App().CnSql.Execute(std::string("INSERT INTO SE_ESTRUCTURAS (Est_IdArchivo, Est_Campo, "
                                      "Est_Tipo, Est_Fecha) Values(2,'") +
                          nombre + "','Char','01/02/2005')");
    }
    const std::vector<std::string> antes =
        Filas("Select Est_Campo, Est_Descripcion From SE_ESTRUCTURAS Order By Est_Id");
    if (caso.columna) form_->LstForm.UserDblClick(0);
    if (caso.columna && *caso.columna) {
      int fila = 1;
      while (fila < form_->MFGField.Rows() && form_->MFGField.TextMatrix(fila, 0) != caso.columna) {
        ++fila;
      }
      ASSERT_LT(fila, form_->MFGField.Rows());
      form_->MFGField.UserClick(fila, 0);
      form_->Command1.UserClick();
    } else {
      form_->Command2.UserClick();
    }
    form_->TxtCampo.UserEdit(caso.nombre);
    form_->txtDesc.UserEdit(caso.descripcion);
    form_->cmdActualiza.UserClick();

    const std::vector<std::string> despues =
        Filas("Select Est_Campo, Est_Descripcion From SE_ESTRUCTURAS Order By Est_Id");
    const std::string resultado = caso.resultado;
    if (resultado == "guarda") {
      EXPECT_EQ(Filas("Select Est_Campo From SE_ESTRUCTURAS Where Est_Descripcion = 'd'"),
                std::vector<std::string>{caso.nombre});
    } else {
      EXPECT_EQ(despues, antes);
    }
    EXPECT_EQ(Ui().Prompts(), resultado.find(' ') == std::string::npos
                                  ? std::vector<std::string>{}
                                  : std::vector<std::string>{resultado});
    const std::vector<std::string> log = EntradasLog();
    ASSERT_EQ(log.size(), resultado == "log" ? 1u : 0u);
    if (resultado == "log") {
      EXPECT_NE(log[0].find("\r\nUPDATE SE_ESTRUCTURAS SET Est_Campo = 'P001', Est_Descripcion = "),
                std::string::npos);
    }
  }
}

// Shown again (from the menu) after an import catalogued another file: the list is read again,
// and the file the user had chosen stays chosen while it is still listed.
TEST_F(ProcCargaNovTest, AlVolverAMostrarlaReleeLosArchivos) {
  const struct {
    const char* nombre;
    int elegido;  // -1: nothing chosen
    const char* cambio;
    std::vector<std::string> lista;
    const char* queda;  // "" when nothing stays chosen
  } casos[] = {
      {"chosen file still listed", 0, "INSERT INTO SE_ARCHIVOS (Arc_Nombre) VALUES('ENCUES_0')",
       {"ENCUES_0 3", "ENCUES_1 2", "ENCUES_2 1"}, "ENCUES_1"},
      {"chosen file gone", 1, "DELETE SE_ARCHIVOS WHERE Arc_Nombre = 'ENCUES_2'", {"ENCUES_1 2"}, ""},
      {"nothing chosen", -1, "INSERT INTO SE_ARCHIVOS (Arc_Nombre) VALUES('AGRO_1')",
       {"AGRO_1 3", "ENCUES_1 2", "ENCUES_2 1"}, ""},
  };
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.nombre);
    TearDown();
    SetUp();
    if (caso.elegido >= 0) form_->LstForm.UserClick(caso.elegido);
    ASSERT_EQ(form_->LstForm.ListIndex(), caso.elegido);
    App().CnSql.Execute(caso.cambio);
    Ui().Show(*form_);
    EXPECT_EQ(Archivos(), caso.lista);
    EXPECT_EQ(form_->LstForm.Text(), caso.queda);
  }
}

}  // namespace
}  // namespace intake_test
