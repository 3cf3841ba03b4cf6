// Shared setup of the client tests: a fresh temp folder whose embedded database is created from
// one small batch. Tests only.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "platform/runtime/vb_error.h"
#include "platform/sql/client.h"
#include "tests/platform/runtime/error_of.h"
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

}  // namespace test_support
