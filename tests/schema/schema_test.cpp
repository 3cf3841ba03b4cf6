// Tests of the schema scripts: the GO splitting that turns a script into batches and, on a
// database the scripts created (every fixture fails when they do not run), what the statement
// scripts under tests/platform/engine do not show: the columns of the tables they never list,
// the widths of the codes the program sends, the unique logical keys and the form list.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "platform/engine/engine.h"
#include "schema/schema.h"
#include "tests/support/temp_folder.h"

namespace {

TEST(SplitBatches, GoLinesSeparateBatches) {
  const struct {
    std::string script;
    std::vector<std::string> batches;
  } cases[] = {
      {"A\nGO\nB", {"A\n", "B"}},
      {"A\n go \nB\n\tGo\t\nC\ngO\n", {"A\n", "B\n", "C\n"}},
      {"A\r\nGO\r\nB\r\n", {"A\r\n", "B\r\n"}},
      {"GO\n\n  \nGO\nA\nGO\nGO\n", {"A\n"}},
      {"A\nGO 2\nGOTO x\nSELECT 'GO'\n", {"A\nGO 2\nGOTO x\nSELECT 'GO'\n"}},
      {"", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.script);
    EXPECT_EQ(schema::SplitBatches(c.script), c.batches);
  }
}

class SchemaDatabaseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    engine::OpenOptions options;
    options.creation_scripts = schema::CreationBatches();
    engine::Error error;
    session_ = engine::Session::Open(temp_.File("Consolida.db"), options, &error);
    ASSERT_NE(session_, nullptr) << error.number << " " << error.message;
  }

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

  const test_support::TempFolder temp_{"consolida-schema"};
  std::unique_ptr<engine::Session> session_;
};

// Readers address columns by position; the statement scripts list the other tables' columns.
TEST_F(SchemaDatabaseTest, UnlistedTablesHaveTheirColumnsInOrderWithTheirTypes) {
  using engine::TypeKind;
  auto names_of = [](const std::vector<engine::Column>& columns) {
    std::vector<std::string> names;
    for (const engine::Column& column : columns) names.push_back(column.name);
    return names;
  };
  EXPECT_EQ(names_of(Query("SELECT * FROM SE_COMM_PROCESO").columns),
            (std::vector<std::string>{"Id_CommProc", "Id_FC", "Formulario", "Capitulo", "Periodo",
                                      "Fecha", "Tipo", "Contenido"}));
  const std::vector<engine::Column> result = Query("SELECT * FROM SE_RESULTADO").columns;
  EXPECT_EQ(names_of(result),
            (std::vector<std::string>{"Id_FA", "RE_Empresa", "RE_Periodo", "RE_Valor",
                                      "RE_FCreacion", "RE_FormSector", "RE_Anio", "RE_IdRes"}));
  std::vector<engine::SqlType> types;
  for (const engine::Column& column : result) types.push_back(column.type);
  const engine::SqlType year{TypeKind::kNumeric, 0, 4, 0};
  const std::vector<engine::SqlType> expected = {
      {TypeKind::kInt}, {TypeKind::kVarChar, 20}, year, {TypeKind::kFloat},
      {TypeKind::kDateTime}, {TypeKind::kVarChar, 30}, year, {TypeKind::kInt}};
  EXPECT_EQ(types, expected);
}

// Company codes (20), form codes (30), formula texts and journal file names: the longest the
// program sends fits; for the codes one character more is refused.
TEST_F(SchemaDatabaseTest, ValuesAtTheLimitsFitAndLongerCodesAreRefused) {
  constexpr int kTruncated = 8152;
  const struct {
    const char* table;
    const char* column;
    size_t length;
    bool longer_refused;
  } cases[] = {
      {"SE_NOVEDAD", "Empresa", 20, true},         {"SE_NOVEDAD", "FormSector", 30, true},
      {"SE_MUESTRA_PADRON", "Unico", 20, true},    {"SE_MUESTRA_PADRON", "FormSector", 30, true},
      {"SE_RESULTADO", "RE_Empresa", 20, true},    {"SE_RESULTADO", "RE_FormSector", 30, true},
      {"SE_CABFORMULA", "FC_Formula", 4000, false},
      {"SE_CABFORMULA", "FC_Form_Completa", 4000, false},
      {"SE_COMM_PROCESO", "Formulario", 200, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.table) + "." + c.column);
    const std::string insert =
        std::string("INSERT INTO ") + c.table + " (" + c.column + ") Values('";
    EXPECT_EQ(Run(insert + std::string(c.length, 'x') + "')"), 0);
    if (c.longer_refused) {
      EXPECT_EQ(Run(insert + std::string(c.length + 1, 'y') + "')"), kTruncated);
    }
  }
}

TEST_F(SchemaDatabaseTest, LogicalKeysAreUnique) {
  const std::string novedad = "INSERT INTO SE_NOVEDAD (Empresa, Periodo, Campo) Values(";
  const std::string padron = "insert into SE_MUESTRA_PADRON (unico, Periodo, FormSector) Values(";
  const struct {
    const char* name;
    std::string insert, first, second;
    bool second_allowed;
  } cases[] = {
      {"same key", novedad, "'A1', 2005, 'VENTAS'", "'A1', 2005, 'VENTAS'", false},
      {"case and trailing blanks", novedad, "'B1', 2005, 'VENTAS'", "'b1 ', 2005, 'ventas'", false},
      {"another year", novedad, "'C1', 2005, 'VENTAS'", "'C1', 2004, 'VENTAS'", true},
      {"another field", novedad, "'D1', 2005, 'VENTAS'", "'D1', 2005, 'COSTOS'", true},
      {"same roll key", padron, "'A1', 2005, 'ENCUES'", "'A1', 2005, 'OTRO01'", false},
      {"another roll year", padron, "'B1', 2005, 'ENCUES'", "'B1', 2004, 'ENCUES'", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(Run(c.insert + c.first + ")"), 0);
    EXPECT_EQ(Run(c.insert + c.second + ")") == 0, c.second_allowed);
  }
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
