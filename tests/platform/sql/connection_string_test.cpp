// Reading connection strings and choosing the provider: the keys the providers look up, quoting,
// and the registry's match on the provider name before its version.
#include <gtest/gtest.h>

#include "platform/runtime/vb_error.h"
#include "platform/sql/client.h"
#include "platform/sql/internal/providers.h"
#include "tests/platform/runtime/error_of.h"

namespace sql {
namespace {

TEST(ConnectionStringTest, SplitsKeysAndValues) {
  const struct {
    const char* text;
    const char* key;
    const char* expected;
  } cases[] = {
      {"Provider=SQLOLEDB.1;Password=kxqv;User ID=Ruma;Data Source=/tmp/x.db", "data source",
       "/tmp/x.db"},
      {"Provider=SQLOLEDB.1;Password=kxqv;User ID=Ruma", "user id", "Ruma"},
      {"  PROVIDER = MSDASQL.1 ; Data Source = DBFFOXNOV ", "provider", "MSDASQL.1"},
      {"Data Source=\"/a;b/c.db\";Provider=SQLOLEDB", "data source", "/a;b/c.db"},
      {"Data Source='it''s.db'", "data source", "it's.db"},
      {"garbage;Data Source=x;;", "data source", "x"},
      {"Data Source=first;Data Source=second", "data source", "second"},
      {"Provider=SQLOLEDB", "data source", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(internal::PropertyValue(internal::ParseConnectionString(c.text), c.key),
              c.expected);
  }
}

TEST(ConnectionStringTest, ProviderKeyIsTheNameBeforeTheVersion) {
  const std::pair<const char*, const char*> cases[] = {
      {"provider=sqloledb", "SQLOLEDB"},
      {"Provider=MSDASQL.1;Persist Security Info=False;Data Source=DBFFOXNOV", "MSDASQL"},
      {"Data Source=DBFFOXNOV", "MSDASQL"},  // ADO's default provider
      {"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=x.mdb", "MICROSOFT.JET.OLEDB"},
  };
  for (const auto& [text, expected] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(internal::ProviderKey(internal::ParseConnectionString(text)), expected);
  }
}

// A provider that serves one fixed row, to see the registry route to it and the rows reach the
// recordset as the provider gave them.
class OneRowSession : public ProviderSession {
 public:
  explicit OneRowSession(std::string source) : source_(std::move(source)) {}
  std::optional<RowSet> Execute(const std::string& sql) override {
    RowSet rows;
    rows.fields.push_back({"Texto", adVarChar, 50, 255, 255});
    rows.rows.push_back({runtime::Valor::String(source_ + "|" + sql)});
    return rows;
  }
  void BeginTrans() override {}
  void CommitTrans() override {}
  void RollbackTrans() override {}

 private:
  std::string source_;
};

TEST(ProviderRegistryTest, RoutesByNameCaseInsensitivelyAndRefusesUnknownOnes) {
  RegisterProvider("ClientTestProv.2", [](const ConnectionProperties& properties) {
    return std::make_unique<OneRowSession>(internal::PropertyValue(properties, "data source"));
  });
  Connection cn;
  cn.Open("Provider=clienttestprov.7;Data Source=here");
  Recordset rs = cn.Execute("Select 1");
  EXPECT_EQ(rs("texto").Value(), runtime::Valor::String("here|Select 1"));
  EXPECT_EQ(cn.Execute("x").Fields().Item(0).Type(), adVarChar);

  Connection other;
  const runtime::VbError e =
      test_support::ErrorOf([&] { other.Open("Provider=NoSuchProvider.1;Data Source=x"); });
  EXPECT_EQ(e.Number(), 3706);
  EXPECT_EQ(e.Source(), "ADODB.Connection");
  EXPECT_EQ(e.Description(),
            "No se puede encontrar el proveedor. Es posible que no esté instalado correctamente.");
  EXPECT_EQ(other.State(), adStateClosed);
}

}  // namespace
}  // namespace sql
