// FrmMuestra ("Procesa Muestra"): loads the sample sheet Datos/Muestras.xls into
// SE_MUESTRA_PADRON, one UPDATE or INSERT per company and year, then writes one journal row and
// moves the sheet to Procesados. Part of the intake module; reads the sheet directly and never
// changes the roll columns of a company's row.
#pragma once

#include <string>

#include "platform/ui/controls.h"
#include "platform/ui/form.h"

namespace core {
class Aplicacion;
}  // namespace core

namespace intake {

class FrmMuestra : public ui::Form {
 public:
  // REQUIRES: `app` outlives the window; its CnSql is open when "Procesar" is pressed.
  explicit FrmMuestra(core::Aplicacion& app);

  ui::CommandButton Command1{*this, "Command1"};
  ui::Label LblMsg{*this, "LblMsg"};
  ui::Label lblEmpresa{*this, "lblEmpresa"};
  ui::Label lblEmpresa_1{*this, "lblEmpresa_1"};

  // "Procesar": the whole import. Every outcome is shown through LblMsg, message boxes and the
  // error log; nothing is thrown.
  void Command1_Click();

 protected:
  void Form_Load() override;
  void Form_Resize() override;

 private:
  core::Aplicacion& app_;
};

// Registers FrmMuestra with the application object so the main menu ("Muestra") can open it.
void RegistrarFrmMuestra(core::Aplicacion& app);

}  // namespace intake
