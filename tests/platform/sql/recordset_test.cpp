// Recordsets on the embedded engine: reading forward, EOF/BOF, MoveFirst, fields by name and
// ordinal, column metadata and values per type, reopening, and the errors ADO raised.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "platform/sql/client.h"
#include "tests/platform/sql/sql_test_support.h"

namespace sql {
namespace {

using runtime::Valor;
using test_support::EmbeddedDatabaseTest;
using test_support::ErrorOf;
using test_support::kConnectionString;

class RecordsetTest : public EmbeddedDatabaseTest {
 protected:
  void SetUp() override {
    EmbeddedDatabaseTest::SetUp();
    cn_.Open(kConnectionString, "", "", -1);
    cn_.Execute(
        "INSERT INTO Gente (Id, Nombre, Nota) VALUES (1, 'Ana', 7.5)\r\n"
        "INSERT INTO Gente (Id, Nombre, Nota) VALUES (2, 'Luis', NULL)\r\n"
        "INSERT INTO Gente (Id, Nombre, Nota) VALUES (3, NULL, 4)");
  }

  std::string ReadNames(Recordset& rs) {
    std::string names;
    for (; !rs.Eof(); rs.MoveNext()) {
      Valor v = rs("Nombre").Value();
      names += (v.IsNull() ? std::string("<null>") : v.AsString()) + ";";
    }
    return names;
  }

  Connection cn_;
};

TEST_F(RecordsetTest, ReadsForwardToEofAndMoveFirstReadsAgain) {
  Recordset rs;
  rs.Open("SELECT Id, Nombre FROM Gente ORDER BY Id", cn_);
  EXPECT_FALSE(rs.Bof());
  EXPECT_EQ(ReadNames(rs), "Ana;Luis;<null>;");
  EXPECT_TRUE(rs.Eof());
  EXPECT_EQ(ErrorOf([&] { rs.MoveNext(); }).Source(), "ADODB.Recordset");
  rs.MoveFirst();
  EXPECT_EQ(ReadNames(rs), "Ana;Luis;<null>;");

  // An empty result is both EOF and BOF, knows its columns and has no current record.
  Recordset empty;
  empty.Open("SELECT Id, Nombre FROM Gente WHERE Id = 99", cn_, -1, -1, -1);
  EXPECT_TRUE(empty.Eof());
  EXPECT_TRUE(empty.Bof());
  EXPECT_EQ(empty.Fields().Count(), 2);
  const runtime::VbError e = ErrorOf([&] { empty("Id").Value(); });
  EXPECT_EQ(e.Number(), 3021);
  EXPECT_EQ(e.Source(), "ADODB.Field");
  EXPECT_EQ(e.Description(),
            "El valor de BOF o EOF es True, o el actual registro se eliminó; la operación "
            "solicitada requiere un registro actual.");
  EXPECT_EQ(ErrorOf([&] { empty.MoveFirst(); }).Number(), 3021);
}

TEST_F(RecordsetTest, FieldHandleFollowsTheCurrentRowAndNullComesBackAsNull) {
  Recordset rs;
  rs.Open("SELECT Id, Nota FROM Gente ORDER BY Id", cn_);
  Field id = rs.Fields().Item(0);
  EXPECT_EQ(id.Value(), Valor::Long(1));
  rs.MoveNext();
  EXPECT_EQ(id.Value(), Valor::Long(2));
  EXPECT_TRUE(rs("Nota").Value().IsNull());
  rs.MoveNext();
  EXPECT_EQ(rs("Nota").Value(), Valor::Double(4));
  rs.Close();
  EXPECT_EQ(ErrorOf([&] { id.Value(); }).Number(), 3704);
}

TEST_F(RecordsetTest, FieldsByNameIgnoreCaseAndByOrdinal) {
  Recordset rs;
  rs.Open("SELECT Id, Nombre, Nota FROM Gente WHERE Id = 1", cn_);
  Fields fields = rs.Fields();
  ASSERT_EQ(fields.Count(), 3);
  EXPECT_EQ(fields.Item(0).Name() + fields.Item(1).Name() + fields.Item(2).Name(), "IdNombreNota");
  EXPECT_EQ(fields.Item("NOMBRE").Value(), Valor::String("Ana"));
  EXPECT_EQ(fields.Item("nombre").Value(), fields.Item(1).Value());
  EXPECT_EQ(rs(2).Value(), Valor::Double(7.5));
  Recordset accented;
  accented.Open("SELECT Nota AS Año FROM Gente WHERE Id = 1", cn_);
  EXPECT_EQ(accented("AÑO").Value(), Valor::Double(7.5));  // accented letters fold too

  for (auto lookup : std::vector<std::function<void()>>{
           [&] { fields.Item("Apellido"); }, [&] { fields.Item(3); }, [&] { fields.Item(-1); }}) {
    runtime::VbError e = ErrorOf(lookup);
    EXPECT_EQ(e.Number(), 3265);
    EXPECT_EQ(e.Description(),
              "No se puede encontrar el elemento en la colección correspondiente al nombre o al "
              "ordinal solicitado.");
  }
}

TEST_F(RecordsetTest, CloseThenOpenAgainAndMisuseOfState) {
  Recordset rs;
  EXPECT_EQ(rs.State(), adStateClosed);
  EXPECT_EQ(ErrorOf([&] { rs.Eof(); }).Number(), 3704);
  EXPECT_EQ(ErrorOf([&] { rs.Close(); }).Description(),
            "No se permite realizar esta operación si el objeto está cerrado.");

  rs.Open("SELECT Id FROM Gente WHERE Id = 1", cn_);
  runtime::VbError again = ErrorOf([&] { rs.Open("SELECT Id FROM Gente", cn_); });
  EXPECT_EQ(again.Number(), 3705);
  EXPECT_EQ(again.Description(),
            "No se permite realizar esta operación si el objeto está abierto.");
  EXPECT_EQ(rs("Id").Value(), Valor::Long(1));  // the failed Open left it as it was

  rs.Close();
  EXPECT_EQ(rs.State(), adStateClosed);
  EXPECT_EQ(rs.Fields().Count(), 0);
  rs.Open("SELECT Id FROM Gente WHERE Id = 3", cn_);
  EXPECT_EQ(rs.State(), adStateOpen);
  EXPECT_EQ(rs("Id").Value(), Valor::Long(3));
}

// A statement without rows leaves the recordset closed; a batch opens it on its last result set.
TEST_F(RecordsetTest, RecordsetOpensOnTheLastResultSetOrStaysClosed) {
  Recordset opened;
  opened.Open("INSERT INTO Gente (Id, Nombre) VALUES (4, 'Eva')", cn_);
  EXPECT_EQ(opened.State(), adStateClosed);
  EXPECT_EQ(cn_.Execute("INSERT INTO Gente (Id, Nombre) VALUES (5, 'Juan')").State(),
            adStateClosed);

  Recordset rs =
      cn_.Execute("SELECT COUNT(*) AS N FROM Gente\r\nSELECT Nombre FROM Gente WHERE Id = 5");
  ASSERT_EQ(rs.Fields().Count(), 1);
  EXPECT_EQ(rs(0).Name(), "Nombre");
  EXPECT_EQ(rs(0).Value(), Valor::String("Juan"));
}

TEST_F(RecordsetTest, ClosedConnectionRefusesWork) {
  Connection closed;
  runtime::VbError open = ErrorOf([&] {
    Recordset rs;
    rs.Open("SELECT 1", closed);
  });
  EXPECT_EQ(open.Number(), 3709);
  EXPECT_EQ(open.Description(),
            "No se puede usar la conexión para realizar esta operación. Está cerrada o no es "
            "válida en este contexto.");
  EXPECT_EQ(ErrorOf([&] { closed.Execute("SELECT 1"); }).Number(), 3704);
  EXPECT_EQ(ErrorOf([&] { cn_.Open(kConnectionString); }).Number(), 3705);
}

// Column types: the ADO code and sizes SQLOLEDB reported, and the VB value each one gives.
TEST_F(RecordsetTest, MetadataAndValuePerColumnType) {
  const struct {
    const char* column;
    const char* declaration;
    const char* literal;
    int type;
    long size;
    int precision;
    int scale;
    Valor value;
  } cases[] = {
      {"CInt", "int", "-2147483648", adInteger, 4, 10, 255, Valor::Long(-2147483647 - 1)},
      {"CSmall", "smallint", "-5", adSmallInt, 2, 5, 255, Valor::Integer(-5)},
      {"CTiny", "tinyint", "200", adUnsignedTinyInt, 1, 3, 255, Valor::Integer(200)},
      {"CBig", "bigint", "5000000000", adBigInt, 8, 19, 255, Valor::Decimal(5e9, 0)},
      {"CFloat", "float", "0.1", adDouble, 8, 15, 255, Valor::Double(0.1)},
      {"CReal", "real", "1.5", adSingle, 4, 7, 255, Valor::Single(1.5f)},
      {"CNum", "numeric(9,2)", "12.25", adNumeric, 19, 9, 2, Valor::Decimal(12.25, 2)},
      {"CVar", "varchar(20)", "'abc'", adVarChar, 20, 255, 255, Valor::String("abc")},
      {"CChar", "char(5)", "'ab'", adChar, 5, 255, 255, Valor::String("ab   ")},
      // 01/02/2005 is read day first: 1 February 2005, VB day 38384, at 06:00.
      {"CDate", "datetime", "'01/02/2005 06:00:00'", adDBTimeStamp, 16, 23, 3,
       Valor::Date({38384.25})},
      {"CBit", "bit", "1", adBoolean, 2, 255, 255, Valor::Boolean(true)},
  };
  std::string create = "CREATE TABLE Tipos (";
  std::string insert = "INSERT INTO Tipos VALUES (";
  for (const auto& c : cases) {
    bool first = &c == &cases[0];
    create += std::string(first ? "" : ", ") + c.column + " " + c.declaration;
    insert += std::string(first ? "" : ", ") + c.literal;
  }
  cn_.Execute(create + ")");
  cn_.Execute(insert + ")");

  Recordset rs;
  rs.Open("SELECT * FROM Tipos", cn_);
  ASSERT_FALSE(rs.Eof());
  for (const auto& c : cases) {
    SCOPED_TRACE(c.declaration);
    Field f = rs(c.column);
    EXPECT_EQ(f.Type(), c.type);
    EXPECT_EQ(f.DefinedSize(), c.size);
    EXPECT_EQ(f.Precision(), c.precision);
    EXPECT_EQ(f.NumericScale(), c.scale);
    EXPECT_EQ(f.Value(), c.value);
  }
}

}  // namespace
}  // namespace sql
