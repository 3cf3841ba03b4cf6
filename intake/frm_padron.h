// FrmPadron ("Procesa Padron"): loads the company roll Padron.dbf of Datos into
// SE_MUESTRA_PADRON for the year typed: each company's row of that year and of the year before
// are written or refreshed in one batch, then one journal row is added and the file moves to
// Procesados (NoProcesados after an error that stops the import). A company whose batch fails,
// or one of whose values cannot be converted (a CUIT without digits), is logged and skipped; the
// others go in. Part of consolida_intake.
#pragma once

#include <string>
#include <vector>

#include "intake/internal/comun.h"
#include "intake/resultado.h"
#include "platform/dbf/dbf_writer.h"
#include "platform/ui/form.h"

namespace core {
class Aplicacion;
}

namespace intake {

// The roll file's columns as the office's roll program writes them (names, types, widths). The
// import reads every one of them by name; a roll without one of them is refused before any row.
std::vector<dbf::DbfField> CamposPadron();

// The digits of `texto`, in order, read as a number: "30-12345678-9" gives 30123456789.
// Throws runtime::VbError 13 (type mismatch) when the text holds no digit.
double SoloNumeros(const std::string& texto);

class FrmPadron : public ui::Form {
 public:
  // REQUIRES: `app` outlives the window.
  explicit FrmPadron(core::Aplicacion& app);

  ui::Label lblPeriodo{*this, "lblPeriodo"};
  ui::TextBox TxtPeriodo{*this, "TxtPeriodo"};
  ui::CommandButton Command1{*this, "Command1"};
  ui::Label LblMsg{*this, "LblMsg"};
  ui::Label lblEmpresa{*this, "lblEmpresa"};
  ui::Label lblEmpresa_1{*this, "lblEmpresa_1"};

  void UsarReloj(internal::Repintado::Reloj reloj) { repintado_.UsarReloj(std::move(reloj)); }

  // The outcome of the last "Procesar": the roll taken in, its records stored and refused.
  const ResultadoImportacion& Resultado() const { return resultado_; }

  static constexpr int kAncho = 3015;
  static constexpr int kAlto = 2340;

 protected:
  void Form_Load() override;
  void Form_Resize() override;

 private:
  void Command1_Click();
  // Steps 4 to 7 on the open roll; throws runtime::VbError for an error that stops the import.
  void Importar(const std::string& periodo);
  // The fatal end: `entrada` to the error log, "Error de Proceso", Padron.dbf to NoProcesados,
  // the message.
  void Abortar(const std::string& entrada);

  core::Aplicacion& app_;
  internal::Repintado repintado_;
  internal::Grabacion grabacion_;
  ResultadoImportacion resultado_;
  std::string paso_;
};

}  // namespace intake
