// The formula editor as an analyst works it: the window's states, the header checks, the token
// grammar (what each button admits after what, the decimal point, parentheses, duplicates, "A-1",
// "Retroceder"), the keyboard and the style option.
#include <gtest/gtest.h>

#include "core/mdi_principal.h"
#include "tests/formulas/editor_prueba.h"

namespace formulas_test {
namespace {

using EditorTest = EditorPrueba;

TEST_F(EditorTest, ElMenuAbreElEditorCerradoYFormulaAbreElAreaDeTokens) {
  FormulaExistente("Total ventas", "TOTAL", 1);
  FormulaExistente("Personal", "PERS", 2);
  FormulaExistente("Otra", "OTRA", 3);
  FrmFormulas& e = *editor_;
  e.CmdSalir.UserClick();
  enviadas_->Olvidar();
  core::MDIPrincipal mdi(App());
  ASSERT_TRUE(mdi.Entrada("Frm") && mdi.Entrada("Frm")->enabled);
  mdi.Entrada("Frm")->click();
  ASSERT_TRUE(e.Visible());
  e.UserResize(9000, 5000);
  EXPECT_EQ(e.Height(), 2445);
  for (const ui::Control* c : std::initializer_list<const ui::Control*>{
           &e.txtNombre, &e.txtResulVar, &e.OpcTipo[0], &e.OpcTipo[1], &e.CmdAddForm, &e.CmdFormula, &e.CmdEliForm}) {
    EXPECT_FALSE(c->Enabled()) << c->Name();
  }
  EXPECT_TRUE(e.OpcTipo[0].Value() && !e.TxtFormulario.Visible());
  e.CmdCrear.UserClick();
  EXPECT_FALSE(e.CmdCrear.Enabled() || e.CmdModif.Enabled());
  // "Formula" wants at least one form.
  e.txtResulVar.UserEdit("MARGEN");
  e.CmdFormula.UserClick();
  EXPECT_FALSE(e.Expandido() || !Enviadas().empty());

  ElegirFormularios({"ENCUES_1", "INDUST_1"});
  EXPECT_TRUE(e.TxtFormulario.Visible());
  enviadas_->Olvidar();
  e.CmdFormula.UserClick();
  ASSERT_TRUE(e.Expandido());
  EXPECT_EQ(Enviadas(),
            (Textos{"Select distinct(Est_Campo) as Est_Campo FROM se_estructuras WHERE Est_IdArchivo In(1, 2) and "
                    "Est_Tipo in('Double','Numeric','SmallInt','Integer','Single','Currency','Decimal','TinyInt',"
                    "'BigInt','Binary') order by 1",
                    "SELECT distinct(CF.ID_FORMCAB), CF.FC_NomVar FROM SE_CABFORMULA CF Inner Join SE_FORMULA_ARCHIVO "
                    "FA ON CF.id_formCab = FA.Id_FormCab where FA.Id_Arc in( 1, 2) order by CF.FC_NomVar"}));
  const auto items = [](const ui::ListBox& lista) {
    Textos todos;
    for (int i = 0; i < lista.ListCount(); ++i) todos.push_back(lista.List(i));
    return todos;
  };
  EXPECT_EQ(items(e.LstCampos), (Textos{"COSTOS", "EMPLEO", "PERSONAL", "VENTAS"}));
  EXPECT_EQ(items(e.LstVariable), (Textos{"PERS", "TOTAL"}));
  EXPECT_EQ(items(e.LstMuestra), (Textos{"Estado", "Mues", "Auto"}));
  // Open: the header is locked and the window keeps its open height.
  EXPECT_FALSE(e.txtNombre.Enabled() || e.CmdFormula.Enabled());
  e.UserResize(8000, 3000);
  EXPECT_EQ(e.Height(), 8280);

  e.cmdCancelar.UserClick();
  EXPECT_EQ(e.Height(), 2445);
  EXPECT_EQ(e.txtResulVar.Text() + e.TxtFormulario.Text() + e.TxtIdFormulario.Text(), "");
  EXPECT_EQ(e.LstCampos.ListCount() + e.LstVariable.ListCount(), 0);
  EXPECT_FALSE(e.Expandido() || e.TxtFormulario.Visible() || e.txtNombre.Enabled() || !e.CmdCrear.Enabled());
}

// The result variable becomes a name in the generated procedures: "Formula" refuses what the
// server could not take, and a final "_1", which would read as the year before.
TEST_F(EditorTest, LaVariableResultadoDebeSerUnNombreValido) {
  const std::string kInvalido =
      "La Variable Resultado no es un nombre valido\r\n(letras, digitos y \"_\", sin empezar por un digito, "
      "hasta 128 caracteres)";
  const struct {
    const char* variable;
    bool abre;
    Textos mensajes;
  } casos[] = {
      {"A-B", false, {}},  // refused without a word, as "-", "," and "." always were
      {"1ABC", false, {kInvalido}},
      {"VENTAS_1", false, {"La Variable Resultado no puede terminar en \"_1\"\r\n(indica el año anterior)"}},
      {"Año_Según", true, {}},
  };
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.variable);
    editor_->cmdCancelar.UserClick();
    Ui().ClearMessages();
    editor_->CmdCrear.UserClick();
    editor_->txtResulVar.UserEdit(caso.variable);
    ElegirFormularios({"ENCUES_1"});
    editor_->CmdFormula.UserClick();
    EXPECT_EQ(editor_->Expandido(), caso.abre);
    EXPECT_EQ(Ui().Prompts(), caso.mensajes);
  }
}

TEST_F(EditorTest, GramaticaDeLosTokens) {
  FormulaExistente("Total ventas", "TOTAL", 1);
  const std::string kComa = "No puede ingresar una coma sin existir un numero";
  const std::string kCampo = "Ya existe este campo en la formula";
  const std::string kVariable = "Ya existe Valor de Resultado en la formula";
  struct Caso {
    const char* nombre;
    Textos acciones;
    std::string display;
    std::string tokens;
    Textos mensajes = {};
    int parentesis = 0;
    int contador = 0;
  };
  const std::vector<Caso> casos = {
      {"on an empty list ')', the operators, A-1 and Retroceder do nothing; '(' starts",
       {")", "+", "*", "-", "/", "A-1", "<", "("}, "(", " (~PA", {}, 1},
      {"a second decimal point anywhere is refused", {"1", ".", "5", "+", "2", "."}, "1.5 + 2",
       "1~N|.~N|5~N| + ~O|2~N", {kComa}},
      {"a point needs a number right before it", {".", "C:VENTAS", ".", "+", "."}, "VENTAS + ", "VENTAS~C| + ~O",
       {kComa, kComa, kComa}},
      {"an operand follows only nothing, an operator or '('", {"7", "C:VENTAS", "M:Mues", "V:TOTAL", "(", "5"}, "75",
       "7~N|5~N"},
      {"no digit after an operand, no operator after an operator", {"C:VENTAS", "5", "+", "-", "(", "C:COSTOS", ")"},
       "VENTAS +  (COSTOS) ", "VENTAS~C| + ~O| (~PA|COSTOS~C|) ~PC"},
      {"')' only closes what is open", {"(", "C:VENTAS", "+", "2", ")", ")", "*", "3"}, "(VENTAS + 2)  * 3",
       " (~PA|VENTAS~C| + ~O|2~N|) ~PC| * ~O|3~N"},
      {"')' needs an operand or ')' before it", {"(", "(", ")", "C:VENTAS", "+", ")"}, "( (VENTAS + ",
       " (~PA| (~PA|VENTAS~C| + ~O", {}, 2},
      {"the same field twice is refused; its previous year is another operand", {"C:VENTAS", "+", "C:VENTAS", "A-1"},
       "VENTAS + ", "VENTAS~C| + ~O", {kCampo}},
      {"A-1 after the first use lets the field in once more",
       {"C:VENTAS", "A-1", "/", "C:VENTAS", "-", "C:VENTAS"}, "VENTAS_1 / VENTAS - ",
       "VENTAS_1~C| / ~O|VENTAS~C| - ~O", {kCampo}},
      {"sample columns and their duplicate", {"M:Mues", "-", "M:Mues", "M:Estado"}, "Mues - Estado",
       "Mues~M| - ~O|Estado~M", {"Ya existe Valor de Muestra en la formula"}},
      {"result variables count; their duplicate is refused and not counted", {"V:TOTAL", "+", "V:TOTAL", "V:TOTAL"},
       "TOTAL + ", "TOTAL~V| + ~O", {kVariable, kVariable}, 0, 1},
      {"A-1 marks a sample column and a variable once",
       {"M:Auto", "A-1", "A-1", "*", "V:TOTAL", "A-1", "*", "A-1", "2", "A-1"}, "Auto_1 * TOTAL_1 * 2",
       "Auto_1~M| * ~O|TOTAL_1~V| * ~O|2~N", {}, 0, 1},
      {"Retroceder takes back a parenthesis and a counted variable", {"(", "V:TOTAL", "<", "<", "<", "C:VENTAS"},
       "VENTAS", "VENTAS~C"},
      {"Retroceder after ')' reopens it", {"(", "2", ")", "<", "+", "3", ")"}, " (2 + 3) ",
       " (~PA|2~N| + ~O|3~N|) ~PC"},
      {"functions over the previous year",
       {"F:CmdSum:C:VENTAS", "A-1", "A-1", "+", "F:CmdRound:C:COSTOS", "A-1", "-", "F:CmdPower:V:TOTAL,N:2", "A-1"},
       "SUM(VENTAS_1) + ROUND(COSTOS_1,0) - POWER(TOTAL_1,2)",
       "SUM(VENTAS_1)~F~Ca~VENTAS_1| + ~O|ROUND(COSTOS_1,0)~F~Ca~COSTOS_1| - ~O|POWER(TOTAL_1,2)~F~Va~TOTAL_1",
       {}, 0, 1},
      {"A-1 on a POWER call keeps its exponent after a later call was taken back",
       {"F:CmdPower:C:VENTAS,N:2", "+", "F:CmdPower:C:COSTOS,N:3", "<", "<", "A-1"}, "POWER(VENTAS_1,2)",
       "POWER(VENTAS_1,2)~F~Ca~VENTAS_1"},
      {"A-1 leaves a function over a constant alone", {"F:CmdAbs:N:12", "A-1"}, "ABS(12)", "ABS(12)~F~Co~12"},
  };
  for (const Caso& caso : casos) {
    SCOPED_TRACE(caso.nombre);
    Abrir("Prueba", "PRUEBA");
    Ui().ClearMessages();
    Pulsar(caso.acciones);
    EXPECT_EQ(editor_->txtDisplay.Text(), caso.display);
    EXPECT_EQ(Tokens(), caso.tokens);
    EXPECT_EQ(Ui().Prompts(), caso.mensajes);
    EXPECT_EQ(editor_->Trabajo().ParentesisAbiertos(), caso.parentesis);
    EXPECT_EQ(editor_->Trabajo().cdor_v_resul, caso.contador);
  }
}

TEST_F(EditorTest, LosBotonesDeFuncionSoloSiguenANadaAUnOperadorOAUnParentesis) {
  Abrir("Prueba", "PRUEBA");
  Accion("C:VENTAS");
  for (size_t i = 0; i < 13; ++i) editor_->BotonFuncion(i).UserClick();  // a dialog would throw: none is scripted
  EXPECT_EQ(Tokens(), "VENTAS~C");
  EXPECT_EQ(Ui().ShownForms(), (Textos{"FrmFormulas", "FrmBFormulario"}));
}

TEST_F(EditorTest, ElTecladoPulsaLosBotonesSoloConElAreaAbiertaYSalirLaVacia) {
  editor_->UserKeyDown(&editor_->txtNombre, 49);
  EXPECT_EQ(Tokens(), "");
  // The space bar trims the result variable.
  editor_->CmdCrear.UserClick();
  editor_->txtResulVar.UserEdit(" TOTAL ");
  editor_->UserKeyUp(&editor_->txtResulVar, 32);
  EXPECT_EQ(editor_->txtResulVar.Text(), "TOTAL");
  EXPECT_EQ(editor_->txtResulVar.SelStart(), 5);

  Abrir("Prueba", "PRUEBA");
  for (int tecla : {49, 101, 110, 104, 42, 55, 107, 96, 45, 50, 111, 57, 106, 105, 43, 52, 109, 47, 65}) {
    editor_->UserKeyDown(&editor_->txtDisplay, tecla);
  }
  EXPECT_EQ(editor_->txtDisplay.Text(), "15.8 * 7 + 0 - 2 / 9 * 9 + 4 - ");
  Accion("(");
  // Leaving and reopening the window starts from nothing.
  editor_->CmdSalir.UserClick();
  EXPECT_FALSE(editor_->Loaded());
  Ui().Show(*editor_);
  EXPECT_EQ(Tokens() + editor_->txtDisplay.Text(), "");
  EXPECT_EQ(editor_->Trabajo().ParentesisAbiertos(), 0);
  EXPECT_FALSE(editor_->Expandido() || editor_->txtNombre.Enabled());
}

// "Total" keeps the function buttons: a Total formula is built from aggregates (picked through
// the argument dialog's own lists) and constants, while the per-company lists stay shut.
TEST_F(EditorTest, ElEstiloTotalCierraLasListasPeroNoLasFunciones) {
  const auto listas = [this](bool habilitadas) {
    for (const ui::ListBox* lista : {&editor_->LstCampos, &editor_->LstVariable, &editor_->LstMuestra}) {
      EXPECT_EQ(lista->Enabled(), habilitadas) << lista->Name();
    }
  };
  editor_->CmdCrear.UserClick();
  editor_->OpcTipo[1].UserClick();
  listas(false);
  for (size_t i = 0; i < 13; ++i) EXPECT_TRUE(editor_->BotonFuncion(i).Enabled()) << editor_->BotonFuncion(i).Name();
  editor_->OpcTipo[0].UserClick();
  listas(true);
  Abrir("Promedio", "PROM", {"ENCUES_1"}, true);
  Pulsar({"C:VENTAS", "M:Mues", "F:CmdSum:C:VENTAS", "/", "F:CmdCount:C:COSTOS", "*", "2"});
  EXPECT_EQ(editor_->txtDisplay.Text(), "SUM(VENTAS) / COUNT(COSTOS) * 2");
}

}  // namespace
}  // namespace formulas_test
