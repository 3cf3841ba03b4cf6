// Tests of the schema scripts on the embedded engine: they create a database, every table has
// its columns in the contracted order (readers address columns by position), the values the
// program sends fit while longer ones are refused, and the logical keys stay unique.
// Also the GO splitting that turns a script into batches.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "platform/engine/engine.h"
#include "schema/schema.h"
#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

TEST(SplitBatches, GoLinesSeparateBatches) {
  struct Case {
    const char* name;
    std::string script;
    std::vector<std::string> batches;
  };
  const std::vector<Case> cases = {
      {"no separator", "SELECT 1\nSELECT 2\n", {"SELECT 1\nSELECT 2\n"}},
      {"trailing GO", "SELECT 1\nGO\n", {"SELECT 1\n"}},
      {"last batch without GO", "A\nGO\nB", {"A\n", "B"}},
      {"any case, blanks and tabs", "A\n go \nB\n\tGo\t\nC\ngO\n", {"A\n", "B\n", "C\n"}},
      {"CR LF", "A\r\nGO\r\nB\r\n", {"A\r\n", "B\r\n"}},
      {"blank batches dropped", "GO\n\n  \nGO\nA\nGO\nGO\n", {"A\n"}},
      {"GO with more text is not a separator", "A\nGO 2\nGOTO x\nSELECT 'GO'\n",
       {"A\nGO 2\nGOTO x\nSELECT 'GO'\n"}},
      {"empty script", "", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(schema::SplitBatches(c.script), c.batches);
  }
}

TEST(CreationBatches, HoldNoSeparatorsAndCreateTablesBeforeIndexes) {
  std::vector<std::string> batches = schema::CreationBatches();
  ASSERT_FALSE(batches.empty());
  size_t first_index = batches.size();
  size_t last_table = 0;
  for (size_t i = 0; i < batches.size(); ++i) {
    SCOPED_TRACE(batches[i]);
    EXPECT_EQ(schema::SplitBatches(batches[i]), std::vector<std::string>{batches[i]});
    if (batches[i].find("CREATE TABLE") != std::string::npos) last_table = i;
    if (batches[i].find("INDEX") != std::string::npos && first_index == batches.size()) {
      first_index = i;
    }
  }
  EXPECT_LT(last_table, first_index);
}

class SchemaDatabaseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    temp_ = std::make_unique<test_support::TempFolder>("consolida-schema");
    folder_ = temp_->path();
    engine::OpenOptions options;
    options.creation_scripts = schema::CreationBatches();
    engine::Error error;
    session_ = engine::Session::Open((folder_ / "Consolida.db").string(), options, &error);
    ASSERT_NE(session_, nullptr) << error.number << " " << error.message;
  }
  void TearDown() override {
    session_.reset();
    temp_.reset();
  }

  std::unique_ptr<test_support::TempFolder> temp_;

  // Runs `batch` and returns the number of its first error, 0 when it ran cleanly.
  int Run(const std::string& batch) {
    engine::BatchResult result = session_->Execute(batch);
    return result.ok() ? 0 : result.errors.front().number;
  }

  // The one result set of `query`; an empty one (and a test failure) when the query fails.
  engine::ResultSet Query(const std::string& query) {
    engine::BatchResult result = session_->Execute(query);
    if (!result.ok() || result.result_sets.size() != 1) {
      ADD_FAILURE() << query << " gave no single result set";
      return {};
    }
    return result.result_sets[0];
  }

  std::vector<std::string> ColumnNames(const std::string& table) {
    std::vector<std::string> names;
    for (const engine::Column& column : Query("SELECT * FROM " + table).columns) {
      names.push_back(column.name);
    }
    return names;
  }

  fs::path folder_;
  std::unique_ptr<engine::Session> session_;
};

TEST_F(SchemaDatabaseTest, EveryTableHasItsColumnsInOrder) {
  struct Table {
    const char* name;
    std::vector<std::string> columns;
  };
  const std::vector<Table> tables = {
      {"SE_ARCHIVOS", {"Arc_Id", "Arc_Nombre", "Arc_Fecha"}},
      {"SE_ESTRUCTURAS",
       {"Est_Id", "Est_IdArchivo", "Est_Campo", "Est_Tipo", "Est_Tamanio", "Est_Precision",
        "Est_Escala", "Est_Fecha", "Est_Descripcion"}},
      {"SE_NOVEDAD",
       {"IdNovedad", "Arc_Id", "FormSector", "Capitulo", "Empresa", "Periodo", "Campo", "Tipo",
        "ValorStr", "ValorInt", "ValorDbl", "ValorDte"}},
      {"SE_MUESTRA_PADRON",
       {"Unico", "CUIT", "Razon", "FormSector", "Periodo", "Domi", "Muestra", "auto", "wf",
        "Novedad", "Novedad_1", "Estado", "Estado_1", "Descripcion_Estado",
        "Descripcion_Estado_1", "Caja", "Caja_1", "NumFor", "NumFor_1", "fecha_ac", "Comple",
        "Com_desc", "Observaciones", "Observaciones_1", "Corte", "Corte_Fecha", "EmpCba",
        "auto_0", "auto_1", "Mues", "PI", "PI_1"}},
      {"SE_COMM_PROCESO",
       {"Id_CommProc", "Id_FC", "Formulario", "Capitulo", "Periodo", "Fecha", "Tipo",
        "Contenido"}},
      {"SE_CABFORMULA",
       {"Id_FormCab", "FC_Nombre", "FC_NomVar", "FC_Formula", "FC_Form_Completa", "FC_Tipo",
        "FC_Activo", "FC_FCreacion", "FC_CdorVResul"}},
      {"SE_FORMULA",
       {"Id_Formula", "Id_FormCab", "FM_Dato", "FM_Tipo", "FM_FCreacion", "FM_FtTipo",
        "FM_FtDato"}},
      {"SE_FORMULA_ARCHIVO", {"Id_FormCab", "Id_Arc"}},
      {"SE_RESULTADO",
       {"Id_FA", "RE_Empresa", "RE_Periodo", "RE_Valor", "RE_FCreacion", "RE_FormSector",
        "RE_Anio", "RE_IdRes"}},
      {"SE_CABSECUENCIA",
       {"SC_IdSecCab", "SC_NOMBRE", "SC_TIPO", "SC_IDARC", "SC_ACTIVO", "SC_FCREACION"}},
      {"SE_SECUENCIA",
       {"S_IdSec", "S_IDSECCAB", "S_ORDEN", "S_CONDIC", "S_IDFORMCAB1", "S_IDFORMCAB2",
        "S_OPERADOR", "S_TIPVAR1", "S_TIPVAR2", "S_MARCA"}},
      {"SE_VARSECUENCIA", {"SV_IDSEC", "SV_ORDEN", "SV_NOMVAR"}},
  };
  for (const Table& table : tables) {
    SCOPED_TRACE(table.name);
    EXPECT_EQ(ColumnNames(table.name), table.columns);
  }
}

TEST_F(SchemaDatabaseTest, ResultColumnsHaveTheirGivenTypes) {
  const std::vector<engine::Column> columns = Query("SELECT * FROM SE_RESULTADO").columns;
  ASSERT_EQ(columns.size(), 8u);
  const engine::SqlType varchar20{engine::TypeKind::kVarChar, 20};
  const engine::SqlType varchar30{engine::TypeKind::kVarChar, 30};
  const engine::SqlType year{engine::TypeKind::kNumeric, 0, 4, 0};
  EXPECT_EQ(columns[1].type, varchar20);
  EXPECT_EQ(columns[2].type, year);
  EXPECT_EQ(columns[3].type.kind, engine::TypeKind::kFloat);
  EXPECT_EQ(columns[4].type.kind, engine::TypeKind::kDateTime);
  EXPECT_EQ(columns[5].type, varchar30);
  EXPECT_EQ(columns[6].type, year);
}

TEST_F(SchemaDatabaseTest, ValuesAtTheLimitsFitAndLongerOnesAreRefused) {
  constexpr int kTruncated = 8152;
  const std::string company(20, 'E');
  const std::string form(30, 'F');
  const std::string formula_text(4000, 'x');
  struct Case {
    const char* name;
    std::string statement;
    int error;
  };
  const std::vector<Case> cases = {
      {"20-character company in SE_NOVEDAD",
       "INSERT INTO SE_NOVEDAD (Empresa, Periodo, Campo) Values('" + company + "', 2005, 'V')", 0},
      {"21-character company in SE_NOVEDAD",
       "INSERT INTO SE_NOVEDAD (Empresa, Periodo, Campo) Values('" + company + "X', 2005, 'V')",
       kTruncated},
      {"20-character company and 30-character form in the roll",
       "INSERT INTO SE_MUESTRA_PADRON (Unico, FormSector, Periodo) Values('" + company + "', '" +
           form + "', 2005)",
       0},
      {"31-character form in the roll",
       "INSERT INTO SE_MUESTRA_PADRON (Unico, FormSector, Periodo) Values('B', '" + form +
           "X', 2005)",
       kTruncated},
      {"30-character form in SE_NOVEDAD",
       "INSERT INTO SE_NOVEDAD (FormSector, Empresa, Periodo, Campo) Values('" + form +
           "', 'A', 2005, 'V')",
       0},
      {"company, form and year in SE_RESULTADO",
       "INSERT INTO SE_RESULTADO (Id_FA, RE_Empresa, RE_Periodo, RE_Valor, RE_FCreacion, "
       "RE_FormSector, RE_Anio) VALUES(1, '" +
           company + "', 2005, 1.5, GetDate(), '" + form + "', 2004)",
       0},
      {"21-character company in SE_RESULTADO",
       "INSERT INTO SE_RESULTADO (Id_FA, RE_Empresa) VALUES(1, '" + company + "X')", kTruncated},
      {"11-digit CUIT", "INSERT INTO SE_MUESTRA_PADRON (Unico, CUIT, Periodo) Values('C', 30123456789, 2005)",
       0},
      {"long formula text",
       "INSERT INTO SE_CABFORMULA(FC_Nombre, FC_NomVar, FC_Formula, FC_Form_Completa) Values('n', "
       "'v', '" + formula_text + "', '" + formula_text + "')",
       0},
      {"journal row of a sequence run with a long file name",
       "Insert into SE_COMM_PROCESO (Id_FC, Formulario, Periodo, Fecha, Tipo, Contenido) Values(1, "
       "'" + std::string(200, 'N') + "', 2005, getdate(), 'Secuencia', 'Sec')",
       0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Run(c.statement), c.error);
  }
  // The refused statements left nothing behind.
  engine::ResultSet count =
      Query("SELECT COUNT(*) AS N FROM SE_NOVEDAD WHERE Empresa LIKE '" + company + "%'");
  ASSERT_EQ(count.rows.size(), 1u);
  EXPECT_EQ(count.rows[0][0], engine::Value(int64_t{1}));
}

TEST_F(SchemaDatabaseTest, LogicalKeysAreUnique) {
  struct Case {
    const char* name;
    std::string first;
    std::string second;
    bool second_allowed;
  };
  const std::string novedad =
      "INSERT INTO SE_NOVEDAD (Arc_Id, FormSector, Capitulo, Empresa, Periodo, Campo, Tipo) Values(1,'ENCUES', 1, ";
  const std::string padron = "insert into SE_MUESTRA_PADRON (unico, FormSector, Periodo) Values(";
  const std::vector<Case> cases = {
      {"same company, year and field", novedad + "'A1', 2005, 'VENTAS', 'Dbl')",
       novedad + "'A1', 2005, 'VENTAS', 'Dbl')", false},
      {"key compared without case and trailing blanks", novedad + "'B1', 2005, 'VENTAS', 'Dbl')",
       novedad + "'b1 ', 2005, 'ventas', 'Dbl')", false},
      {"another year", novedad + "'C1', 2005, 'VENTAS', 'Dbl')",
       novedad + "'C1', 2004, 'VENTAS', 'Dbl')", true},
      {"another field", novedad + "'D1', 2005, 'VENTAS', 'Dbl')",
       novedad + "'D1', 2005, 'COSTOS', 'Dbl')", true},
      {"same company and year in the roll", padron + "'A1', 'ENCUES', 2005)",
       padron + "'A1', 'OTRO01', 2005)", false},
      {"same company, another year in the roll", padron + "'B1', 'ENCUES', 2005)",
       padron + "'B1', 'ENCUES', 2004)", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(Run(c.first), 0);
    EXPECT_EQ(Run(c.second) == 0, c.second_allowed);
  }
}

TEST_F(SchemaDatabaseTest, ServerNumbersTheKeysFromOne) {
  ASSERT_EQ(Run("INSERT INTO se_archivos (Arc_Nombre, Arc_Fecha) VALUES('ENCUES_1','05/12/2026')\n"
                "INSERT INTO se_archivos (Arc_Nombre, Arc_Fecha) VALUES('ENCUES_2','05/12/2026')"),
            0);
  const auto rows = Query("Select Arc_Id, Arc_Nombre From SE_ARCHIVOS Order By Arc_Nombre").rows;
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0][0], engine::Value(int64_t{1}));
  EXPECT_EQ(rows[1][0], engine::Value(int64_t{2}));
}

TEST_F(SchemaDatabaseTest, FormCodesOfTheCatalogueAreListedOnce) {
  // The formula listing's form list has no column name, which a script test cannot express.
  ASSERT_EQ(Run("INSERT INTO se_archivos (Arc_Nombre, Arc_Fecha) VALUES('ENCUES_1','05/12/2026')\n"
                "INSERT INTO se_archivos (Arc_Nombre, Arc_Fecha) VALUES('ENCUES_2','05/12/2026')\n"
                "INSERT INTO se_archivos (Arc_Nombre, Arc_Fecha) VALUES('OTRA01_1','05/12/2026')"),
            0);
  std::vector<std::string> codes;
  for (const auto& row : Query("SELECT distinct(LEFT(ARC_NOMBRE,6)) FROM SE_ARCHIVOS ").rows) {
    const std::string* code = std::get_if<std::string>(&row.at(0));
    codes.push_back(code == nullptr ? "(not text)" : *code);
  }
  std::sort(codes.begin(), codes.end());
  EXPECT_EQ(codes, (std::vector<std::string>{"ENCUES", "OTRA01"}));
}

}  // namespace
