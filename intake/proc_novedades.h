// Proc_Novedades ("Procesar Novedades"): imports every *.dbf survey file of Datos for the year
// typed. Each file is catalogued (SE_ARCHIVOS, SE_ESTRUCTURAS), every value of every record
// becomes one SE_NOVEDAD row keyed by company, year and field, a journal row is written and the
// file moves to Procesados (NoProcesados when it cannot be read). Part of consolida_intake.
//
// Every value is committed on its own before the file is moved, so an import cut short leaves
// the file in Datos and running it again completes it with the same rows: a value already
// stored for the company, year and field is updated, never duplicated.
#pragma once

#include <cstdint>
#include <string>

#include "intake/internal/comun.h"
#include "intake/resultado.h"
#include "platform/runtime/valor.h"
#include "platform/ui/form.h"

namespace core {
class Aplicacion;
}

namespace intake {

// The working values of one survey value; only the one its type tag names is set.
struct ValorNovedad {
  std::string texto;   // 'Str': the value trimmed; "" for Null
  int32_t entero = 0;  // 'Int': the value as a 32-bit whole number (ValorInt); 0 for Null
  double doble = 0;    // 'Dbl': the value; 0 for Null
  std::string fecha;   // 'Dte': the value as text; "" for Null
};

// Converts `valor` by the type tag `sufijo` (SufijoTipo); 'Var' and unknown tags set nothing.
// Throws runtime::VbError 6 (Overflow) for an 'Int' value outside the 32-bit range, 13 (Type
// mismatch) for an 'Int' or 'Dbl' value that is no number.
ValorNovedad ConvertirValor(const std::string& sufijo, const runtime::Valor& valor);

class Proc_Novedades : public ui::Form {
 public:
  // REQUIRES: `app` outlives the window.
  explicit Proc_Novedades(core::Aplicacion& app);

  ui::Label lblPeriodo{*this, "lblPeriodo"};
  ui::TextBox TxtPeriodo{*this, "TxtPeriodo"};
  ui::CommandButton Proceso{*this, "Proceso"};
  ui::Label LblArchivo{*this, "LblArchivo"};
  ui::Label lblArchivo_1{*this, "lblArchivo_1"};
  ui::Label lblEmpresa{*this, "lblEmpresa"};
  ui::Label lblEmpresa_1{*this, "lblEmpresa_1"};
  ui::Label LblCampo{*this, "LblCampo"};
  ui::Label LblCampo_1{*this, "LblCampo_1"};
  ui::Label lblProceso{*this, "lblProceso"};

  // The clock that paces the repaints of the progress labels (tests and benchmarks).
  void UsarReloj(internal::Repintado::Reloj reloj) { repintado_.UsarReloj(std::move(reloj)); }

  // The outcome of the last "Proceso": files moved to Procesados, values stored and refused.
  const ResultadoImportacion& Resultado() const { return resultado_; }

  static constexpr int kAncho = 3180;
  static constexpr int kAlto = 3165;

 protected:
  void Form_Load() override;
  void Form_Resize() override;

 private:
  void Proceso_Click();
  // One file of Datos, sub-steps 1 to 7. Throws runtime::VbError for the errors that stop the
  // whole import.
  void ProcesarArchivo(const std::string& archivo, const std::string& periodo);
  // Refuses a file before anything of it is written: logs `motivo` as an error `numero` of this
  // window with the current-step text as context line, tells the user and, when `mover`, moves
  // the file to NoProcesados.
  void Rechazar(const std::string& archivo, long numero, const std::string& motivo,
                const std::string& mensaje, bool mover);
  void RegistrarColumnas(long arc_id);
  void GuardarValores(long arc_id, const std::string& form, const std::string& capitulo,
                      const std::string& periodo);
  void RegistrarJournal(long arc_id, const std::string& form, const std::string& capitulo,
                        const std::string& periodo);

  core::Aplicacion& app_;
  internal::Repintado repintado_;
  internal::Grabacion grabacion_;
  ResultadoImportacion resultado_;
  std::string paso_;  // the current-step text, the context line of an unexpected error
};

}  // namespace intake
