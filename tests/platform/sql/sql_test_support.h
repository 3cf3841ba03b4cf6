// Shared setup of the client tests: a fresh temp folder whose embedded database is created from
// one small batch, and a helper that runs a call expecting the client's error. Tests only.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "platform/runtime/vb_error.h"
#include "platform/sql/client.h"
#include "tests/support/temp_folder.h"

namespace test_support {

inline const std::string kConnectionString =
    "Provider=SQLOLEDB.1;Password=kxqv;Persist Security Info=False;User ID=Ruma;"
    "Initial Catalog=Consolida;Data Source=";

class EmbeddedDatabaseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    temp_ = std::make_unique<TempFolder>("consolida-sql");
    folder_ = temp_->path();
    sql::ConfigureEmbedded({(folder_ / "Consolida.db").string(),
                       {"CREATE TABLE Gente (Id int NOT NULL, Nombre varchar(20) NULL, "
                        "Nota float NULL)"}});
  }
  void TearDown() override {
    sql::ConfigureEmbedded({});
    temp_.reset();
  }

  std::unique_ptr<TempFolder> temp_;
  std::filesystem::path folder_;
};

// Runs `call`, which must throw; returns the error (a default one after a test failure).
inline runtime::VbError ErrorOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const runtime::VbError& e) {
    return e;
  }
  ADD_FAILURE() << "no error was raised";
  return runtime::VbError(0, "", "");
}

}  // namespace test_support
