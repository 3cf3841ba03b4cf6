// FrmMuestra ("Procesa Muestra"): loads the sample sheet Datos/Muestras.xls into
// SE_MUESTRA_PADRON, one UPDATE or INSERT per company and year, then writes one journal row and
// moves the sheet to Procesados. Part of consolida_intake; reads the sheet directly and never
// changes the roll columns of a company's row.
#pragma once

#include <array>
#include <string>

#include "intake/internal/comun.h"
#include "intake/resultado.h"
#include "platform/ui/controls.h"
#include "platform/ui/form.h"

namespace core {
class Aplicacion;
}  // namespace core

namespace intake {

// The sample sheet's columns in the order the office writes them and the import reads them. All
// but CUIT must be there.
inline constexpr std::array<const char*, 11> kColumnasMuestra{
    "CUIT", "Unico", "Form", "Periodo", "PI", "PI_1", "EmpCba", "Mues", "Auto", "Auto_1", "Dom"};

class FrmMuestra : public ui::Form {
 public:
  // REQUIRES: `app` outlives the window; its CnSql is open when "Procesar" is pressed.
  explicit FrmMuestra(core::Aplicacion& app);

  ui::CommandButton Command1{*this, "Command1"};
  ui::Label LblMsg{*this, "LblMsg"};
  ui::Label lblEmpresa{*this, "lblEmpresa"};
  ui::Label lblEmpresa_1{*this, "lblEmpresa_1"};

  // The clock that paces the repaints of the progress labels (tests and benchmarks).
  void UsarReloj(internal::Repintado::Reloj reloj) { repintado_.UsarReloj(std::move(reloj)); }

  // The outcome of the last "Procesar": the sheet taken in, its rows stored and refused.
  const ResultadoImportacion& Resultado() const { return resultado_; }

  static constexpr int kAncho = 3015;
  static constexpr int kAlto = 2340;

 protected:
  void Form_Load() override;
  void Form_Resize() override;

 private:
  // "Procesar": the whole import. Every outcome is shown through LblMsg, message boxes and the
  // error log; nothing is thrown.
  void Command1_Click();
  // The label `texto`, painted when the throttle allows.
  void Mostrar(const std::string& texto);

  core::Aplicacion& app_;
  internal::Repintado repintado_;
  internal::Grabacion grabacion_;
  ResultadoImportacion resultado_;
};

}  // namespace intake
