// Tests of the shared workbook output: the file name, the cells read back through FreeXL, the
// formats found in the written records, the two messages and when the viewer is called.
#include "reports/genera_excel.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/runtime/dates.h"
#include "platform/runtime/vb_error.h"
#include "platform/sheet/xls_reader.h"
#include "platform/ui/ui.h"
#include "tests/support/carpeta_aplicacion.h"

namespace reports_test {

namespace fs = std::filesystem;
using test_support::VentanaPrueba;
namespace {

class VisorAnotado : public reports::Visor {
 public:
  void Abrir(const std::string& ruta) override { abiertos.push_back(ruta); }
  std::vector<std::string> abiertos;
};

reports::Planilla Ejemplo() {
  reports::Planilla planilla;
  planilla.titulo = "Estimación 2005";
  planilla.encabezados = {"Empresa", "Razon", "Ventas"};
  planilla.filas = {
      {runtime::Valor::String("E001"), runtime::Valor::String("O'Brien SA"),
       runtime::Valor::Double(1234.5)},
      {runtime::Valor::String("E002"), runtime::Valor::Null(), runtime::Valor::Long(-7)},
  };
  return planilla;
}

TEST(NombrePlanilla, PrefijoFechaYHora) {
  struct Caso {
    const char* prefijo;
    runtime::DateSerial ahora;
    const char* esperado;
  } casos[] = {
      {reports::kPrefijoFormulas, runtime::MakeDate(2005, 1, 1, 9, 5, 7), "For_01012005090507.xls"},
      {reports::kPrefijoSecuencia, runtime::MakeDate(2010, 6, 30), "Sec_30062010000000.xls"},
  };
  for (const Caso& caso : casos) {
    SCOPED_TRACE(caso.esperado);
    EXPECT_EQ(reports::NombrePlanilla(caso.prefijo, caso.ahora), caso.esperado);
  }
}

class GeneraExcelTest : public VentanaPrueba {};

TEST_F(GeneraExcelTest, EscribeLasCeldasEnReporte) {
  VisorAnotado visor;
  Ui().QueueAnswer(ui::vbOK);
  Ui().QueueAnswer(ui::vbNo);
  const std::string ruta = reports::GeneraExcel(App(), reports::kPrefijoReporte, Ejemplo(), visor);

  EXPECT_EQ(ruta, (carpeta_ / "Reporte" / "Rep_05122026112041.xls").string());
  EXPECT_EQ(Carpeta("Reporte"), std::vector<std::string>{"Rep_05122026112041.xls"});

  // Each cell as its type and value: a Long is written as a number, a Null leaves the cell empty.
  const sheet::SheetGrid hoja = sheet::ReadSheet(ruta);
  std::vector<std::string> filas;
  for (const auto& fila : hoja.rows) {
    filas.emplace_back();
    for (const runtime::Valor& celda : fila) {
      filas.back() += (celda.IsNull() ? "-" : celda.Type() == runtime::VarType::kString ? "T:" : "N:") +
                      (celda.IsNull() ? "" : runtime::JoinText(celda)) + "|";
    }
  }
  EXPECT_EQ(filas, (std::vector<std::string>{"T:Estimación 2005|-|-|", "-|-|-|", "T:Empresa|T:Razon|T:Ventas|",
                                             "T:E001|T:O'Brien SA|N:1234.5|", "T:E002|-|N:-7|"}));
}

TEST_F(GeneraExcelTest, MensajesYVisorSegunLaRespuesta) {
  struct Caso {
    int respuesta;
    size_t abiertos;
  } casos[] = {{ui::vbNo, 0}, {ui::vbYes, 1}};
  for (const Caso& caso : casos) {
    SCOPED_TRACE(caso.respuesta);
    Ui().ClearMessages();
    Ui().SetNow(runtime::MakeDate(2026, 12, 5, 11, 20, 41 + caso.respuesta));
    VisorAnotado visor;
    Ui().QueueAnswer(ui::vbOK);
    Ui().QueueAnswer(caso.respuesta);
    const std::string ruta = reports::GeneraExcel(App(), reports::kPrefijoFormulas, Ejemplo(), visor);
    const std::string nombre = fs::path(ruta).filename().string();

    const auto& mensajes = Ui().Messages();
    ASSERT_EQ(mensajes.size(), 2u);
    EXPECT_EQ(mensajes[0].prompt, "Se ha grabado la planillacon el nombre (" + nombre);
    EXPECT_EQ(mensajes[0].style, ui::vbOKOnly + ui::vbExclamation);
    EXPECT_EQ(mensajes[0].title, "REPORTE EXCEL");
    EXPECT_EQ(mensajes[1].prompt, "Desea Abrirlo ahora");
    EXPECT_EQ(mensajes[1].style, ui::vbYesNo + ui::vbExclamation);
    EXPECT_EQ(mensajes[1].title, "Resultados");
    ASSERT_EQ(visor.abiertos.size(), caso.abiertos);
    if (caso.abiertos) {
      EXPECT_EQ(visor.abiertos[0], ruta);
    }
  }
}

TEST_F(GeneraExcelTest, SinCarpetaReporteFallaSinMensajes) {
  fs::remove_all(carpeta_ / "Reporte");
  VisorAnotado visor;
  EXPECT_THROW(reports::GeneraExcel(App(), reports::kPrefijoSecuencia, Ejemplo(), visor),
               runtime::VbError);
  EXPECT_TRUE(Ui().Messages().empty());
  EXPECT_TRUE(visor.abiertos.empty());
}

// The formats, read from the BIFF8 records of the written stream: FONT (0x31), XF (0xE0) and
// the cell records that name an XF.
class Registros {
 public:
  explicit Registros(const std::vector<uint8_t>& flujo) {
    size_t p = 0;
    while (p + 4 <= flujo.size()) {
      const uint16_t id = U16(flujo, p), largo = U16(flujo, p + 2);
      if (id == 0 && largo == 0) break;  // the zero padding after the last record
      const std::vector<uint8_t> datos(flujo.begin() + p + 4, flujo.begin() + p + 4 + largo);
      if (id == 0x0031) fuentes_.push_back(datos);
      if (id == 0x00E0) xfs_.push_back(datos);
      if (id == 0x00FD || id == 0x0203 || id == 0x027E || id == 0x0201) {
        xf_de_celda_[{U16(datos, 0), U16(datos, 2)}] = U16(datos, 4);
      }
      p += 4 + largo;
    }
  }

  struct Formato {
    int alto_veinteavos, negrita, cursiva, subrayado, color_fuente;
    int borde_izq, borde_der, borde_sup, borde_inf, patron, color_relleno;
  };
  // The format of the cell at 0-based row and column.
  Formato De(int fila, int columna) const {
    const auto celda = xf_de_celda_.find({fila, columna});
    EXPECT_NE(celda, xf_de_celda_.end());
    if (celda == xf_de_celda_.end()) return {};
    const auto& xf = xfs_.at(celda->second);
    const int ifnt = U16(xf, 0);
    const auto& fuente = fuentes_.at(ifnt < 4 ? ifnt : ifnt - 1);
    const uint32_t borde1 = U32(xf, 10), borde2 = U32(xf, 14);
    return {U16(fuente, 0),         U16(fuente, 6) >= 700, (U16(fuente, 2) & 0x02) != 0,
            fuente[10],             U16(fuente, 4),        static_cast<int>(borde1 & 0xF),
            static_cast<int>((borde1 >> 4) & 0xF),         static_cast<int>((borde1 >> 8) & 0xF),
            static_cast<int>((borde1 >> 12) & 0xF),        static_cast<int>(borde2 >> 26),
            U16(xf, 18) & 0x7F};
  }

 private:
  static int U16(const std::vector<uint8_t>& b, size_t p) { return b[p] | (b[p + 1] << 8); }
  static uint32_t U32(const std::vector<uint8_t>& b, size_t p) {
    return static_cast<uint32_t>(U16(b, p)) | (static_cast<uint32_t>(U16(b, p + 2)) << 16);
  }
  std::vector<std::vector<uint8_t>> fuentes_, xfs_;
  std::map<std::pair<int, int>, int> xf_de_celda_;
};

TEST(ArmaPlanilla, FormatosDelTituloEncabezadosYDatos) {
  const Registros registros(reports::ArmaPlanilla(Ejemplo()).WorkbookStream());
  constexpr int kGrueso = 5, kSolido = 1, kBlanco = 9, kNegro = 8;

  const auto titulo = registros.De(0, 0);
  EXPECT_EQ(titulo.alto_veinteavos, 300);
  EXPECT_TRUE(titulo.negrita);
  EXPECT_TRUE(titulo.cursiva);
  EXPECT_EQ(titulo.subrayado, 1);
  EXPECT_EQ(titulo.patron, 0);

  for (int c = 0; c < 3; ++c) {
    SCOPED_TRACE("encabezado " + std::to_string(c));
    const auto encabezado = registros.De(2, c);
    EXPECT_EQ(encabezado.patron, kSolido);
    EXPECT_EQ(encabezado.color_relleno, kBlanco);
    EXPECT_EQ(encabezado.color_fuente, kNegro);
    EXPECT_FALSE(encabezado.negrita);
    for (int borde : {encabezado.borde_izq, encabezado.borde_der, encabezado.borde_sup,
                      encabezado.borde_inf}) {
      EXPECT_EQ(borde, kGrueso);
    }
  }

  for (int c : {0, 2}) {
    SCOPED_TRACE("dato " + std::to_string(c));
    const auto dato = registros.De(3, c);
    EXPECT_EQ(dato.patron, 0);
    EXPECT_FALSE(dato.negrita);
    EXPECT_EQ(dato.alto_veinteavos, 200);
    EXPECT_EQ(dato.borde_izq + dato.borde_der + dato.borde_sup + dato.borde_inf, 0);
  }
}

// A write that fails half way (the device is full) leaves no file where the workbook was going.
TEST_F(GeneraExcelTest, UnaEscrituraFallidaNoDejaArchivo) {
  const fs::path ruta = carpeta_ / "Reporte" / "Rep_05122026112041.xls";
  fs::create_symlink("/dev/full", ruta);
  VisorAnotado visor;
  EXPECT_THROW(reports::GeneraExcel(App(), reports::kPrefijoReporte, Ejemplo(), visor), runtime::VbError);
  EXPECT_FALSE(fs::exists(fs::symlink_status(ruta)));
  EXPECT_TRUE(Ui().Messages().empty());
}

}  // namespace
}  // namespace reports_test
