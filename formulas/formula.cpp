// The formula working set and the token rules the editor and the generators share.
#include "formulas/formula.h"

#include "platform/runtime/text.h"

namespace formulas {

const char* CodigoEstilo(Estilo estilo) { return estilo == Estilo::kPorEmpresa ? "F" : "T"; }

Estilo EstiloDeCodigo(std::string_view codigo) {
  return codigo == "F" ? Estilo::kPorEmpresa : Estilo::kTotal;
}

bool EsAnioAnterior(std::string_view nombre) { return nombre.ends_with("_1"); }

std::string NombreBase(std::string_view nombre) {
  if (EsAnioAnterior(nombre)) nombre.remove_suffix(2);
  return runtime::Trim(nombre);
}

bool EsMedianaOCuartil(std::string_view dato) {
  return dato.starts_with("MEDIANA") || dato.starts_with("PCUARTIL") || dato.starts_with("TCUARTIL");
}

std::string VerificarCuartiles(const std::vector<Token>& tokens) {
  int llamadas = 0;
  for (const Token& token : tokens) {
    if (token.FM_Tipo == kFuncion && EsMedianaOCuartil(token.FM_Dato)) ++llamadas;
  }
  return llamadas > 1 ? "Solamente puede cargar por formula uno de los cuartiles" : "";
}

Formula::Formula() : tokens_(1) {}

std::vector<Token> Formula::Lista() const { return {tokens_.begin() + 1, tokens_.end()}; }

void Formula::Agregar(const Token& token) {
  const bool primero = tokens_.size() == 1;
  tokens_.push_back(token);
  display_ += token.FM_Tipo == kAbreParentesis && primero ? "(" : token.FM_Dato;
  ultimo_tipo_ = token.FM_Tipo;
  if (token.FM_Tipo == kAbreParentesis) ++parentesis_;
  if (token.FM_Tipo == kCierraParentesis) --parentesis_;
}

bool Formula::MarcarAnioAnterior() {
  if (tokens_.size() == 1) return false;
  Token& ultimo = tokens_.back();
  if (ultimo_tipo_ == kVariable || ultimo_tipo_ == kCampo || ultimo_tipo_ == kMuestra) {
    if (EsAnioAnterior(ultimo.FM_Dato)) return false;
    ultimo.FM_Dato += "_1";
    display_ += "_1";
    return true;
  }
  if (ultimo_tipo_ != kFuncion ||
      (ultimo.FM_FtTipo != kArgCampo && ultimo.FM_FtTipo != kArgVariable) ||
      EsAnioAnterior(ultimo.FM_FtDato)) {
    return false;
  }
  // The mark goes right after the argument, whatever follows it inside the call: ROUND's ",0"
  // and POWER's exponent stay after it. The call is read from the token itself, so a POWER
  // call keeps its own exponent even when another POWER call was built after it.
  const std::string anterior = ultimo.FM_Dato;
  const size_t abre = anterior.find('(');
  if (abre == std::string::npos || anterior.compare(abre + 1, ultimo.FM_FtDato.size(), ultimo.FM_FtDato) != 0) {
    return false;
  }
  const size_t fin_argumento = abre + 1 + ultimo.FM_FtDato.size();
  ultimo.FM_FtDato += "_1";
  ultimo.FM_Dato = anterior.substr(0, fin_argumento) + "_1" + anterior.substr(fin_argumento);
  if (runtime::Trim(runtime::Left(anterior, 5)) == "POWER") {
    display_ = TextoDeTokens();
  } else if (display_.ends_with(anterior)) {
    display_ = display_.substr(0, display_.size() - anterior.size()) + ultimo.FM_Dato;
  } else {
    display_ = TextoDeTokens();
  }
  return true;
}

Token Formula::Retroceder() {
  if (tokens_.size() == 1) return {};
  Token quitado = tokens_.back();
  if (runtime::Trim(quitado.FM_FtTipo) == kArgVariable || quitado.FM_Tipo == kVariable) --cdor_v_resul;
  if (quitado.FM_Tipo == kAbreParentesis) --parentesis_;
  if (quitado.FM_Tipo == kCierraParentesis) ++parentesis_;
  tokens_.pop_back();
  ultimo_tipo_ = tokens_.back().FM_Tipo;
  display_ = TextoDeTokens();
  return quitado;
}

void Formula::Vaciar() {
  tokens_.assign(1, Token{});
  ultimo_tipo_.clear();
  display_.clear();
  parentesis_ = 0;
  par_power = {};
}

void Formula::Cargar(const std::vector<Token>& tokens) {
  tokens_.assign(1, Token{});
  tokens_.insert(tokens_.end(), tokens.begin(), tokens.end());
  ultimo_tipo_ = tokens_.back().FM_Tipo;
  parentesis_ = 0;
  for (const Token& token : tokens) {
    if (token.FM_Tipo == kAbreParentesis) ++parentesis_;
    if (token.FM_Tipo == kCierraParentesis) --parentesis_;
  }
}

bool Formula::DuplDato(const std::string& texto) const {
  for (const Token& token : tokens_) {
    if (token.FM_Dato == texto || token.FM_FtDato == texto) return true;
  }
  return false;
}

std::string Formula::TextoDeTokens() const {
  std::string texto;
  for (const Token& token : tokens_) texto += token.FM_Dato;
  return texto;
}

}  // namespace formulas
