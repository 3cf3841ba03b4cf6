// Proc_Novedades ("Procesar Novedades"): imports every *.dbf survey file of Datos for the year
// typed. Each file is catalogued (SE_ARCHIVOS, SE_ESTRUCTURAS), every value of every record
// becomes one SE_NOVEDAD row keyed by company, year and field, a journal row is written and the
// file moves to Procesados (NoProcesados when it cannot be read). Part of consolida_intake.
//
// Every value is committed on its own before the file is moved, so an import cut short leaves
// the file in Datos and running it again completes it with the same rows: a value already
// stored for the company, year and field is updated, never duplicated.
#pragma once

#include <string>

#include "intake/internal/comun.h"
#include "platform/ui/form.h"

namespace core {
class Aplicacion;
}

namespace intake {

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
  // Refuses a file before anything of it is written: logs `motivo`, tells the user and, when
  // `mover`, moves the file to NoProcesados.
  void Rechazar(const std::string& archivo, const std::string& motivo, const std::string& mensaje,
                bool mover);
  void RegistrarColumnas(long arc_id);
  void GuardarValores(long arc_id, const std::string& form, const std::string& capitulo,
                      const std::string& periodo);
  void RegistrarJournal(long arc_id, const std::string& form, const std::string& capitulo,
                        const std::string& periodo);
  // Runs `sentencia` inside the open transaction: commit on success; on failure roll back and
  // log with `contexto`. Returns whether it was stored.
  bool EjecutarEnTransaccion(const std::string& sentencia, const std::string& contexto);
  void Comenzar();
  void Deshacer();

  core::Aplicacion& app_;
  internal::Repintado repintado_;
  std::string paso_;  // the current-step text, the context line of an unexpected error
  bool en_transaccion_ = false;
};

}  // namespace intake
