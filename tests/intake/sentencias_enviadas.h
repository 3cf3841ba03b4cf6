// Records what the windows send to the SQL database: while a SentenciasEnviadas lives, every
// connection to the embedded database opened meanwhile (Provider=SQLOLEDB) writes each SQL text
// it runs, and each BeginTrans/CommitTrans/RollbackTrans, to the record, then hands it on to the
// real embedded engine. Test code only; connections opened before it are not recorded.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/sql/client.h"
#include "platform/sql/internal/providers.h"

namespace intake_test {

class SentenciasEnviadas {
 public:
  SentenciasEnviadas() : original_(sql::internal::FindProvider("SQLOLEDB")) {
    sql::RegisterProvider("SQLOLEDB", [this](const sql::ConnectionProperties& propiedades) {
      return std::make_unique<Sesion>(original_(propiedades), enviadas_);
    });
  }
  ~SentenciasEnviadas() { sql::RegisterProvider("SQLOLEDB", original_); }
  SentenciasEnviadas(const SentenciasEnviadas&) = delete;
  SentenciasEnviadas& operator=(const SentenciasEnviadas&) = delete;

  // Everything sent so far, in order; transaction calls as "BeginTrans", "CommitTrans" and
  // "RollbackTrans".
  const std::vector<std::string>& Todas() const { return *enviadas_; }
  void Olvidar() { enviadas_->clear(); }

 private:
  using Registro = std::shared_ptr<std::vector<std::string>>;

  class Sesion : public sql::ProviderSession {
   public:
    Sesion(std::unique_ptr<sql::ProviderSession> real, Registro registro)
        : real_(std::move(real)), registro_(std::move(registro)) {}
    std::optional<sql::RowSet> Execute(const std::string& texto) override {
      registro_->push_back(texto);
      return real_->Execute(texto);
    }
    std::optional<sql::RowSet> CallProcedure(
        const std::string& nombre,
        const std::vector<std::pair<std::string, runtime::Valor>>& argumentos) override {
      registro_->push_back("EXEC " + nombre);
      return real_->CallProcedure(nombre, argumentos);
    }
    std::vector<sql::ParameterInfo> ProcedureParameters(const std::string& nombre) override {
      return real_->ProcedureParameters(nombre);
    }
    void BeginTrans() override {
      registro_->push_back("BeginTrans");
      real_->BeginTrans();
    }
    void CommitTrans() override {
      registro_->push_back("CommitTrans");
      real_->CommitTrans();
    }
    void RollbackTrans() override {
      registro_->push_back("RollbackTrans");
      real_->RollbackTrans();
    }

   private:
    std::unique_ptr<sql::ProviderSession> real_;
    Registro registro_;
  };

  sql::ProviderFactory original_;
  Registro enviadas_ = std::make_shared<std::vector<std::string>>();
};

}  // namespace intake_test
