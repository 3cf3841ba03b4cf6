// "consolida demo" end to end with a dozen companies: the rows each step stores, results of a
// few companies worked out by hand from the data the demo writes, the workbooks read back, and
// the command line of the demo.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/consolida/demo.h"
#include "platform/runtime/conversions.h"
#include "platform/sheet/xls_reader.h"
#include "platform/sql/client.h"
#include "tests/app/orden_prueba.h"
#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using namespace app_test;

class DemoTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    carpeta_ = new test_support::TempFolder("consolida-demo-prueba");
    const consolida::Orden orden =
        Leer({"demo", "--carpeta", carpeta_->path().string(), "--empresas", "12"});
    ASSERT_EQ(orden.accion, consolida::Accion::kDemo) << orden.mensaje;
    std::ostringstream out, err;
    codigo_ = consolida::EjecutarSinVentana(orden, out, err);
    out_ = new std::string(out.str());
    err_ = new std::string(err.str());
  }
  static void TearDownTestSuite() {
    delete carpeta_;
    delete out_;
    delete err_;
  }

  static Textos Filas(const std::string& consulta) { return FilasDe(carpeta_->path(), consulta); }

  // The results of variable `variable` for 2005 by company.
  static std::map<std::string, double> Resultados(const std::string& variable) {
    std::map<std::string, double> valores;
    sql::Connection cn;
    cn.Open("Provider=SQLOLEDB.1;Data Source=" + (carpeta_->path() / "Consolida.db").string());
    for (sql::Recordset rs = cn.Execute("SELECT r.RE_Empresa, r.RE_Valor FROM SE_RESULTADO r JOIN SE_CABFORMULA c "
                                        "ON c.Id_FormCab = r.Id_FA WHERE c.FC_NomVar = '" + variable +
                                        "' AND r.RE_Periodo = 2005 AND r.RE_Anio = 2005");
         !rs.Eof(); rs.MoveNext()) {
      valores[runtime::JoinText(rs(0).Value())] = runtime::CDbl(rs(1).Value());
    }
    return valores;
  }

  static test_support::TempFolder* carpeta_;
  static std::string* out_;
  static std::string* err_;
  static int codigo_;
};

test_support::TempFolder* DemoTest::carpeta_ = nullptr;
std::string* DemoTest::out_ = nullptr;
std::string* DemoTest::err_ = nullptr;
int DemoTest::codigo_ = -1;

TEST_F(DemoTest, CadaPasoGuardaSusFilas) {
  ASSERT_EQ(codigo_, 0) << *out_ << *err_;
  EXPECT_NE(out_->find("Demo terminada en "), std::string::npos);
  // Two years of 12 companies by 20 fields; the roll gives each company 2005 and 2004; one journal
  // row per import and one for the run.
  EXPECT_EQ(Filas("SELECT (SELECT COUNT(*) FROM SE_NOVEDAD), (SELECT COUNT(*) FROM SE_NOVEDAD WHERE Periodo = 2004), "
                  "(SELECT COUNT(*) FROM SE_ESTRUCTURAS), (SELECT COUNT(*) FROM SE_MUESTRA_PADRON), "
                  "(SELECT COUNT(*) FROM SE_SECUENCIA), (SELECT COUNT(*) FROM SE_COMM_PROCESO)"),
            Textos{"480|240|21|24|7|5"});
  // Every catalogued field but the company code has the demo's description.
  EXPECT_EQ(Filas("SELECT Est_Campo FROM SE_ESTRUCTURAS WHERE Est_Descripcion IS NULL OR Est_Descripcion = ''"), Textos{"UNICO"});
  EXPECT_EQ(Filas("SELECT Est_Descripcion FROM SE_ESTRUCTURAS WHERE Est_Campo = 'COSTOS'"), Textos{"Costo de lo vendido"});
  EXPECT_EQ(Filas("SELECT FC_NomVar, FC_Formula FROM SE_CABFORMULA ORDER BY Id_FormCab"),
            (Textos{"DIFCV|COSTOS - VENTAS_1", "TOTVEN|SUM(VENTAS)", "MEDCOS|MEDIANA(COSTOS)", "VENMUES|VENTAS * Mues"}));
  // Every file of Datos was taken: the two survey files, the roll and the sample sheet.
  EXPECT_TRUE(fs::is_empty(carpeta_->path() / "Datos"));
  EXPECT_EQ(std::distance(fs::directory_iterator(carpeta_->path() / "Procesados"), fs::directory_iterator()), 4);
  // The three workbooks, printed and in Reporte; the results report lists every company (what the
  // reports hold is the reports' tests' business).
  Textos libros, nombres;
  std::istringstream lineas(*out_);
  for (std::string linea; std::getline(lineas, linea);) {
    if (!linea.starts_with(carpeta_->path().string()) || !linea.ends_with(".xls")) continue;
    libros.push_back(linea);
    nombres.push_back(fs::relative(linea, carpeta_->path()).string().substr(0, 11));
  }
  EXPECT_EQ(nombres, (Textos{"Reporte/Rep", "Reporte/For", "Reporte/Sec"}));
  ASSERT_FALSE(libros.empty());
  std::string reporte;
  for (const auto& fila : sheet::ReadSheet(libros[0]).rows) {
    for (const runtime::Valor& celda : fila) reporte += runtime::JoinText(celda) + "|";
  }
  for (int e = 1; e <= 12; ++e) EXPECT_NE(reporte.find(consolida::UnicoDemo(e)), std::string::npos) << e;
}

TEST_F(DemoTest, ResultadosComoALaMano) {
  ASSERT_EQ(codigo_, 0) << *err_;
  // DIFCV = COSTOS (2005) - VENTAS (2004): 2000 + 37 i + 11 (i mod 9) + 1 - (1000 + 37 i).
  const std::map<std::string, double> difcv = Resultados("DIFCV");
  EXPECT_EQ(difcv.size(), 12u);
  EXPECT_EQ(difcv.at("30500000001"), 1012);
  EXPECT_EQ(difcv.at("30500000009"), 1001);
  EXPECT_EQ(difcv.at("30500000012"), 1034);
  // VENMUES runs inside "Si DIFCV > 1001 And Estado > 0": not for i mod 9 = 0 nor i mod 4 = 0.
  const std::map<std::string, double> venmues = Resultados("VENMUES");
  Textos con;
  for (const auto& [empresa, valor] : venmues) con.push_back(empresa.substr(9));
  EXPECT_EQ(con, (Textos{"01", "02", "03", "05", "06", "07", "10", "11"}));
  EXPECT_EQ(venmues.at("30500000001"), (1000 + 37 + 11) * 2);
  EXPECT_EQ(venmues.at("30500000005"), (1000 + 185 + 55) * 3);
  EXPECT_EQ(venmues.at("30500000010"), (1000 + 370 + 11) * 2);
  // The sum of VENTAS (2005) over the 12 companies: 12000 + 37 * 78 + 11 * (36 + 0 + 6).
  std::set<double> totven;
  for (const auto& [empresa, valor] : Resultados("TOTVEN")) totven.insert(valor);
  EXPECT_EQ(totven, std::set<double>{15348});
  // The middle two of the twelve COSTOS of 2005 are 2289 (i = 6) and 2334 (i = 9).
  std::set<double> medcos;
  for (const auto& [empresa, valor] : Resultados("MEDCOS")) medcos.insert(valor);
  EXPECT_EQ(medcos, std::set<double>{2311.5});
}

TEST(DemoCarpeta, UnaCarpetaQueNoSePuedeCrearTerminaConUno) {
  test_support::TempFolder temporal("consolida-demo-archivo");
  const fs::path archivo = temporal.path() / "archivo";
  std::ofstream(archivo) << "x";
  std::ostringstream out, err;
  EXPECT_EQ(consolida::EjecutarDemo({(archivo / "demo").string(), 3}, out, err), 1);
  EXPECT_TRUE(err.str().starts_with("No se pudo crear la carpeta de la demo: ")) << err.str();
  EXPECT_EQ(out.str(), "");
}

// A bad company count goes through the same reading as a formula id, tested with the command line.
TEST(DemoLinea, OpcionesPorDefectoYCantidadMala) {
  const consolida::Orden orden = Leer({"demo"});
  EXPECT_EQ(std::to_string(static_cast<int>(orden.accion == consolida::Accion::kDemo)) + "|" +
                std::to_string(orden.empresas) + "|" + orden.carpeta_demo,
            "1|200|");
  const consolida::Orden mala = Leer({"demo", "--empresas", "12x"});
  EXPECT_EQ(mala.codigo_salida, 2);
  EXPECT_TRUE(mala.mensaje.starts_with("La cantidad de empresas debe ser un numero entero mayor que 0: 12x\n"))
      << mala.mensaje;
}

}  // namespace
