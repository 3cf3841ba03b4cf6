// Hostile text in the formula editor's name and result variable: stored as the box keeps it, or
// refused leaving no row; none runs as a statement.
#include <gtest/gtest.h>

#include "tests/formulas/editor_prueba.h"
#include "tests/support/textos_hostiles.h"

namespace formulas_test {
namespace {

using test_support::TextosHostiles;

using TextosHostilesFormulas = EditorPrueba;

TEST_F(TextosHostilesFormulas, NombreYVariableSeGuardanExactosOSeRechazan) {
  const std::string kInvalida =
      "La Variable Resultado no es un nombre valido\r\n(letras, digitos y \"_\", sin empezar por un digito, "
      "hasta 128 caracteres)";
  const Textos kGrabada = {"Se ha Generado la Formula", "Se ha Grabado con Exito"};
  const Textos kNoGrabada = {"Error intentado grabar la formula\r\nCierre el generador y vuelva a intentarlo",
                             "Error Grabando la Formula\r\nNo se ha generado la misma"};
  const struct {
    const char* caja;
    bool nombre;  // the text goes in the name (the variable is MARGEN), else in the variable
    std::vector<Textos> mensajes;  // per text: the editor's messages; kGrabada when it is stored
  } cajas[] = {
      // A name longer than its column fails to be stored, and the editor says so.
      {"nombre", true, {kGrabada, kGrabada, kGrabada, kGrabada, kGrabada, kNoGrabada, kGrabada}},
      // "-", "," and "." make "Formula" do nothing, as they always did; nothing is stored.
      {"variable", false, {{kInvalida}, {kInvalida}, {}, {}, {kInvalida}, {}, {kInvalida}}},
  };
  Sql(test_support::kTablaTestigo);
  for (const auto& caja : cajas) {
    const std::vector<test_support::TextoHostil> textos = TextosHostiles();
    for (size_t i = 0; i < textos.size(); ++i) {
      SCOPED_TRACE(std::string(caja.caja) + ", " + textos[i].caso);
      Sql("DELETE FROM SE_FORMULA\r\nDELETE FROM SE_FORMULA_ARCHIVO\r\nDELETE FROM SE_CABFORMULA");
      editor_->cmdCancelar.UserClick();
      Ui().ClearMessages();
      editor_->CmdCrear.UserClick();
      editor_->txtNombre.UserEdit(caja.nombre ? textos[i].texto : "Margen");
      editor_->txtResulVar.UserEdit(caja.nombre ? "MARGEN" : textos[i].texto);
      ElegirFormularios({"ENCUES_1"});
      editor_->CmdFormula.UserClick();
      if (editor_->Expandido()) {
        Pulsar({"C:VENTAS", "A-1", "/", "C:VENTAS"});
        editor_->CmdGenerar.UserClick();
      }
      EXPECT_EQ(Ui().Prompts(), caja.mensajes[i]);
      const bool grabada = caja.mensajes[i] == kGrabada;
      EXPECT_EQ(Filas("SELECT FC_Nombre, FC_NomVar FROM SE_CABFORMULA"),
                grabada ? Textos{(caja.nombre ? textos[i].guardado : "Margen") + "|MARGEN"} : Textos{});
      EXPECT_EQ(Filas("SELECT count(*) FROM x"), Textos{"0"});
    }
  }
}

}  // namespace
}  // namespace formulas_test
