// The procedure texts. Both generators share every section; `Pieza` is the one place where the
// single-company pair differs from the company loop, so the two texts cannot drift apart.
// Each section is written as the lines it sends, CR LF after each, an empty string standing
// for an empty line.
#include "formulas/generador.h"

#include <array>
#include <charconv>
#include <initializer_list>
#include <string_view>

#include "platform/runtime/identifiers.h"
#include "platform/runtime/text.h"

namespace formulas {
namespace {

constexpr const char* kCrLf = "\r\n";

// The work table test that the auxiliary procedure and the plain drop share.
constexpr const char* kExisteTablaTrabajo =
    "if exists (select * from dbo.sysobjects where id = object_id(N'[dbo].[TEMP_NOVEDADES]') "
    "and OBJECTPROPERTY(id, N'IsUserTable') = 1)";
constexpr const char* kBorraTablaTrabajo = "drop table [dbo].[TEMP_NOVEDADES]";

// The functions the editor offers, as their tokens start ("POWER(").
constexpr std::array<std::string_view, 13> kFunciones = {
    "SUM", "AVG", "COUNT", "MEDIANA", "PCUARTIL", "TCUARTIL", "STDEV",
    "VAR", "SQRT", "ROUND", "POWER", "EXP", "ABS"};

// Appends each line and its CR LF.
void Lineas(std::string& texto, std::initializer_list<std::string_view> lineas) {
  for (std::string_view linea : lineas) {
    texto += linea;
    texto += kCrLf;
  }
}

// A number constant as the digit buttons type it: digits with at most one ".".
bool EsConstante(std::string_view texto) {
  if (texto.empty()) return false;
  int puntos = 0;
  for (char c : texto) {
    if (c == '.') {
      ++puntos;
    } else if (c < '0' || c > '9') {
      return false;
    }
  }
  return puntos <= 1 && texto != ".";
}

// The refusal of a function token whose text is not what the function buttons build:
// NAME(argument), ROUND(argument,0) or POWER(base,exponent).
bool FuncionBienFormada(const Token& token) {
  const std::string& dato = token.FM_Dato;
  const size_t abre = dato.find('(');
  if (abre == std::string::npos || !dato.ends_with(")")) return false;
  const std::string_view nombre(dato.data(), abre);
  bool conocida = false;
  for (std::string_view funcion : kFunciones) conocida = conocida || funcion == nombre;
  if (!conocida) return false;
  const std::string_view dentro(dato.data() + abre + 1, dato.size() - abre - 2);
  if (!dentro.starts_with(token.FM_FtDato)) return false;
  const std::string_view resto = dentro.substr(token.FM_FtDato.size());
  if (token.FM_FtTipo == kArgConstante && !EsConstante(token.FM_FtDato)) return false;
  if (token.FM_FtTipo != kArgConstante && token.FM_FtTipo != kArgCampo &&
      token.FM_FtTipo != kArgVariable) {
    return false;
  }
  if (nombre == "ROUND") return resto == ",0";
  if (nombre == "POWER") return resto.starts_with(",") && EsConstante(resto.substr(1));
  return resto.empty();
}

// The refusal of a token that is not what its kind allows, or "" when it is.
std::string RevisarToken(const Token& token) {
  const std::string& t = token.FM_Tipo;
  const std::string& d = token.FM_Dato;
  bool bien = false;
  if (t == kCampo || t == kVariable || t == kMuestra) {
    bien = true;  // its name is checked as a column
  } else if (t == kOperador) {
    bien = d == " + " || d == " - " || d == " * " || d == " / ";
  } else if (t == kAbreParentesis) {
    bien = d == " (" || d == "(";
  } else if (t == kCierraParentesis) {
    bien = d == ") ";
  } else if (t == kNumero) {
    bien = d.size() == 1 && ((d[0] >= '0' && d[0] <= '9') || d[0] == '.');
  } else if (t == kFuncion) {
    bien = FuncionBienFormada(token);
  }
  if (bien) return "";
  return "No se puede generar la formula: el elemento \"" + d + "\" (tipo \"" + t +
         "\") no es un elemento valido de una formula";
}

std::string RevisarColumnas(const std::vector<Columna>& columnas) {
  std::vector<std::string> vistas;
  for (const Columna& c : columnas) {
    if (!runtime::IsRegularIdentifier(c.nombre) || c.base.empty()) {
      return "No se puede generar la formula: \"" + c.nombre +
             "\" no es un nombre valido para el servidor (letras, digitos y \"_\", sin empezar por "
             "un digito, hasta 128 caracteres)";
    }
    // The server compares names without regard to case: one name twice is one work-table
    // column declared twice, which every run of the procedure would refuse.
    const std::string clave = runtime::UCase(c.nombre);
    for (const std::string& vista : vistas) {
      if (vista == clave) {
        return "No se puede generar la formula: el operando \"" + c.nombre +
               "\" figura dos veces en ella";
      }
    }
    vistas.push_back(clave);
  }
  return "";
}

// The texts that differ between the two procedure pairs.
struct Pieza {
  std::string principal;  // P or P_Emp
  std::string auxiliar;   // P_T or PEmp_T
};

Pieza PiezaDe(Procedimiento cual, const std::string& p) {
  if (cual == Procedimiento::kEmpresa) return {p + "_Emp", p + "Emp_T"};
  return {p, p + "_T"};
}

void BloqueLectura(std::string& s, Procedimiento cual, const Columna& c, const std::string& j) {
  const std::string empresa = cual == Procedimiento::kEmpresa ? "@VEmpresa" : "@Empresa";
  if (c.tipo == kCampo || c.tipo == kArgCampo) {
    Lineas(s, {"SELECT @VInt" + j + " = ValorInt, @VDbl" + j + "=ValorDbl", "FROM SE_NOVEDAD",
               "WHERE FormSector = @Formulario",
               std::string(c.anio_anterior ? "AND Periodo = @Periodo-1" : "AND Periodo = @Periodo") +
                   " AND Empresa = " + empresa + " AND Campo ='" + c.base + "'",
               ""});
  } else if (c.tipo == kVariable || c.tipo == kArgVariable) {
    std::string filtro;
    if (cual == Procedimiento::kCompanias) {
      filtro = std::string("AND RE_Periodo = @VPeriodo AND RE_ANIO = @Periodo") +
               (c.anio_anterior ? " - 1" : "") + " AND RE_Empresa = @Empresa AND FC_NomVar ='";
    } else if (!c.anio_anterior) {
      filtro = "AND RE_Periodo = @VPeriodo AND RE_Anio = @Periodo AND RE_Empresa = @VEmpresa AND FC_NomVar ='";
    } else {
      // The single-company text spells "And" for a plain previous-year variable only.
      filtro = std::string("AND RE_Periodo = @VPeriodo AND RE_Anio = @Periodo - 1 ") +
               (c.tipo == kVariable ? "And" : "AND") + " RE_Empresa = @VEmpresa AND FC_NomVar ='";
    }
    Lineas(s, {"SELECT @VInt" + j + " = RE_Valor, @VDbl" + j + "=0", "FROM SE_RESULTADO",
               "Inner join SE_CABFORMULA On Id_formCab = Id_FA", "WHERE RE_FormSector = @Formulario",
               filtro + c.base + "'", ""});
  } else {
    Lineas(s, {"SELECT @VInt" + j + " = " + c.base + ", @VDbl" + j + "=0", "FROM SE_MUESTRA_PADRON ",
               "WHERE FormSector = @Formulario",
               std::string(c.anio_anterior ? "AND Periodo = @Periodo-1" : "AND Periodo = @Periodo") +
                   " AND Unico = " + empresa + " ",
               ""});
  }
  Lineas(s, {"IF @@ROWCOUNT = 0", "Set @Resultado" + j + " = 0", "ELSE", "BEGIN",
             "IF @VInt" + j + " = 0", "Set @Resultado" + j + " = @VDbl" + j, "Else",
             "Set @Resultado" + j + " = @VInt" + j, "", "END", ""});
}

void InsercionTrabajo(std::string& s, Procedimiento cual, const std::vector<Columna>& columnas) {
  const std::string empresa = cual == Procedimiento::kEmpresa ? "@VEmpresa" : "@Empresa";
  if (columnas.empty()) {
    Lineas(s, {std::string("INSERT INTO Temp_Novedades (Empresa, Periodo, VPeriodo") +
                   (cual == Procedimiento::kEmpresa ? " " : "") + ") VALUES(" + empresa +
                   ", @Periodo, @VPeriodo) ",
               ""});
    return;
  }
  std::string nombres;
  std::string valores;
  for (size_t j = 0; j < columnas.size(); ++j) {
    nombres += (j ? ", " : "") + columnas[j].nombre;
    valores += (j ? ", @Resultado" : "@Resultado") + std::to_string(j + 1);
  }
  Lineas(s, {"INSERT INTO Temp_Novedades (Empresa, Periodo, VPeriodo, " + nombres + ") VALUES(" +
                 empresa + ", @Periodo, @VPeriodo, " + valores + ")",
             ""});
}

// Section G: the median's argument over every row of the work table, ascending, into
// TEMP_FUNCION for the server function to read.
void SeccionMediana(std::string& s, const std::string& argumento) {
  Lineas(s, {"----------------------",
             "CREATE TABLE [dbo].[TEMP_FUNCION] ([Idc] [numeric](18, 0) IDENTITY (1, 1) NOT NULL ,"
             "[Valor] [float] NULL)",
             "", "DECLARE TT CURSOR FOR ", "SELECT " + argumento + " From TEMP_NOVEDADES ORDER BY 1", "",
             "OPEN TT", "FETCH NEXT FROM TT INTO @VRes", "", "WHILE (@@FETCH_STATUS = 0)", "BEGIN", "",
             "INSERT INTO TEMP_FUNCION (Valor) VALUES(@VRes)", "", "FETCH NEXT FROM TT INTO @VRes",
             "END", "", "CLOSE TT", "DEALLOCATE TT", "---------------", ""});
}

std::string ProcedimientoPrincipal(Procedimiento cual, const std::vector<Token>& tokens,
                                   const std::string& id, Estilo estilo,
                                   const std::vector<Columna>& columnas,
                                   const std::set<std::string>& catalogados,
                                   const std::string* argumento_mediana) {
  const std::string p = "P" + id;
  const Pieza pieza = PiezaDe(cual, p);
  const bool una_empresa = cual == Procedimiento::kEmpresa;
  std::string s;

  // A. Header.
  Lineas(s, {"CREATE PROCEDURE dbo." + pieza.principal, "@Formulario as Varchar(30),",
             "@Periodo as Numeric(4,0),"});
  if (una_empresa) {
    Lineas(s, {"@VPeriodo as Numeric(4,0),", "@VEmpresa as Varchar(20)"});
  } else {
    Lineas(s, {"@VPeriodo as Numeric(4,0)"});
  }
  Lineas(s, {"", "AS", ""});

  // B. Declarations.
  Lineas(s, {"DECLARE @Empresa as varchar(20)", "DECLARE @VRes as Float", "DECLARE @ExTbl as Integer"});
  if (una_empresa) Lineas(s, {"DECLARE @" + pieza.principal + " as Float"});
  for (size_t j = 1; j <= columnas.size(); ++j) {
    const std::string n = std::to_string(j);
    Lineas(s, {"DECLARE @VInt" + n + " as Numeric(18,0)", "DECLARE @VDbl" + n + " as Float",
               "DECLARE @Resultado" + n + " as Float"});
  }
  Lineas(s, {""});

  // C. The auxiliary procedure drops a work table an earlier call left behind.
  Lineas(s, {"Execute " + pieza.auxiliar, ""});

  // D. Work table: only the field columns the catalogue knows are declared.
  s += "CREATE TABLE [dbo].[TEMP_NOVEDADES] (\r\nEmpresa varchar(20) NULL,\r\n"
       "Periodo Numeric(4,0) NULL,\r\nVPeriodo Numeric(4,0) NULL ";
  for (const Columna& c : columnas) {
    const bool campo = c.tipo == kCampo || c.tipo == kArgCampo;
    if (campo && !catalogados.contains(c.base)) continue;
    Lineas(s, {",", c.nombre + (campo ? " Float NULL" : " Float Null")});
  }
  Lineas(s, {")", ""});

  // E. Read blocks and the work-table row: per company of the roll, or once for @VEmpresa.
  if (!una_empresa) {
    Lineas(s, {"DECLARE TNov CURSOR FOR ", "SELECT Unico as Empresa ", "FROM SE_MUESTRA_PADRON ",
               "WHERE FormSector = @Formulario", "and Periodo = @Periodo", "", "OPEN TNov",
               "FETCH NEXT FROM TNov INTO @Empresa", "", "WHILE (@@FETCH_STATUS = 0)", "BEGIN"});
  }
  for (size_t j = 0; j < columnas.size(); ++j) BloqueLectura(s, cual, columnas[j], std::to_string(j + 1));
  InsercionTrabajo(s, cual, columnas);
  if (!una_empresa) {
    Lineas(s, {"FETCH NEXT FROM TNov INTO @Empresa", "END", "", "CLOSE TNov", "DEALLOCATE TNov", ""});
  }

  // F. Missing values count as 0; the old results go.
  for (const Columna& c : columnas) {
    Lineas(s, {"UPDATE Temp_Novedades set " + c.nombre + " = 0 where " + c.nombre + " is null"});
  }
  Lineas(s, {"Delete SE_RESULTADO where Id_FA = " + id +
                 " And RE_Periodo = @VPeriodo And RE_Anio = @Periodo" +
                 (una_empresa ? " And RE_Empresa = @VEmpresa" : ""),
             ""});

  // G. Median or quartile.
  if (argumento_mediana != nullptr) SeccionMediana(s, *argumento_mediana);

  // H. The result, evaluated over the work table.
  std::string x;
  for (const Token& token : tokens) {
    if (token.FM_Tipo == kFuncion && EsMedianaOCuartil(token.FM_Dato)) x += "DBO.";
    x += token.FM_Dato;
  }
  const std::string insercion =
      "INSERT INTO SE_RESULTADO (Id_FA, RE_Empresa, RE_Periodo, RE_Valor, RE_FCreacion, "
      "RE_FormSector, RE_Anio) VALUES(" + id + (una_empresa ? ", @VEmpresa" : ", @Empresa") +
      ", @VPeriodo, @VRes, GetDate(), @Formulario, @Periodo)";
  if (estilo == Estilo::kTotal) {
    Lineas(s, {"DECLARE @" + p + " as FLOAT", "SELECT  @" + p + " = (" + x + ") From TEMP_NOVEDADES",
               "Set @VRes = @" + p, ""});
  }
  if (una_empresa) {
    if (estilo == Estilo::kTotal) {
      Lineas(s, {"SELECT Empresa, Periodo, VPeriodo  From TEMP_NOVEDADES", ""});
    } else {
      Lineas(s, {"SELECT @VEmpresa = Empresa, @Periodo = Periodo, @VPeriodo = VPeriodo, @Vres = (" + x +
                     ") From TEMP_NOVEDADES",
                 ""});
    }
    Lineas(s, {insercion, ""});
  } else {
    const std::string q = estilo == Estilo::kTotal
                              ? std::string("SELECT Empresa, Periodo, VPeriodo ")
                              : "SELECT Empresa, Periodo, VPeriodo, (" + x + ") as " + p;
    const std::string r = estilo == Estilo::kTotal
                              ? "FETCH NEXT FROM TResul INTO @Empresa, @Periodo, @VPeriodo"
                              : "FETCH NEXT FROM TResul INTO @Empresa, @Periodo, @VPeriodo, @VRes";
    Lineas(s, {"DECLARE TResul CURSOR FOR ", q + " From TEMP_NOVEDADES", "", "OPEN TResul", r, "",
               "WHILE (@@FETCH_STATUS = 0)", "BEGIN", "", insercion, "", r, "END", "", "CLOSE TResul",
               "DEALLOCATE TResul"});
  }
  Lineas(s, {kBorraTablaTrabajo, ""});
  if (argumento_mediana != nullptr) Lineas(s, {"drop table [dbo].[TEMP_FUNCION]", ""});
  return s;
}

}  // namespace

std::vector<Columna> ColumnasDeOperandos(const std::vector<Token>& tokens) {
  std::vector<Columna> columnas;
  for (const Token& token : tokens) {
    std::string tipo;
    std::string nombre;
    if (token.FM_Tipo == kCampo || token.FM_Tipo == kVariable || token.FM_Tipo == kMuestra) {
      tipo = token.FM_Tipo;
      nombre = runtime::Trim(token.FM_Dato);
    } else if (token.FM_Tipo == kFuncion &&
               (token.FM_FtTipo == kArgCampo || token.FM_FtTipo == kArgVariable)) {
      tipo = token.FM_FtTipo;
      nombre = runtime::Trim(token.FM_FtDato);
    } else {
      continue;
    }
    columnas.push_back({nombre, tipo, EsAnioAnterior(nombre), NombreBase(nombre)});
  }
  return columnas;
}

std::vector<std::string> CamposAConsultar(const std::vector<Token>& tokens) {
  std::vector<std::string> nombres;
  for (const Columna& c : ColumnasDeOperandos(tokens)) {
    if (c.tipo != kCampo && c.tipo != kArgCampo) continue;
    bool visto = false;
    for (const std::string& n : nombres) visto = visto || n == c.base;
    if (!visto) nombres.push_back(c.base);
  }
  return nombres;
}

std::string ConsultaTipoCampo(const std::string& base) {
  return "Select Est_Tipo From SE_ESTRUCTURAS where Est_Campo = " + runtime::SqlText(base);
}

std::string NombreProcedimiento(int32_t id) { return "P" + std::to_string(id); }

std::vector<std::string> ProcedimientosDeFormula(int32_t id) {
  const std::string p = NombreProcedimiento(id);
  return {p, p + "_Emp", p + "_T", p + "Emp_T"};
}

std::string EliminarProcedimiento(const std::string& nombre) {
  return "if exists (select * from dbo.sysobjects where id = object_id(N'[dbo].[" + nombre +
         "]') and OBJECTPROPERTY(id, N'IsProcedure') = 1)\r\n\r\ndrop procedure [dbo].[" + nombre +
         "]\r\n\r\n";
}

Textos GenerarTextos(Procedimiento cual, const std::vector<Token>& tokens_con_slot, int32_t id,
                     Estilo estilo, const std::set<std::string>& catalogados) {
  std::vector<Token> tokens = tokens_con_slot;
  if (!tokens.empty() && tokens.front() == Token{}) tokens.erase(tokens.begin());
  Textos textos;
  if (tokens.empty()) {
    textos.rechazo = "No se puede generar la formula: no tiene elementos";
    return textos;
  }
  for (const Token& token : tokens) {
    textos.rechazo = RevisarToken(token);
    if (!textos.rechazo.empty()) return textos;
  }
  const std::vector<Columna> columnas = ColumnasDeOperandos(tokens);
  textos.rechazo = RevisarColumnas(columnas);
  if (!textos.rechazo.empty()) return textos;
  textos.rechazo = VerificarCuartiles(tokens);
  if (!textos.rechazo.empty()) return textos;

  const std::string* argumento_mediana = nullptr;
  std::string argumento;
  for (const Token& token : tokens) {
    if (token.FM_Tipo == kFuncion && EsMedianaOCuartil(token.FM_Dato)) {
      argumento = runtime::Trim(token.FM_FtDato);
      argumento_mediana = &argumento;
    }
  }
  textos.mediana = argumento_mediana != nullptr;

  const std::string texto_id = std::to_string(id);
  const Pieza pieza = PiezaDe(cual, NombreProcedimiento(id));
  textos.comandos.push_back(EliminarProcedimiento(pieza.principal));
  textos.comandos.push_back(EliminarProcedimiento(pieza.auxiliar));
  std::string auxiliar = "CREATE PROCEDURE dbo." + pieza.auxiliar + "\r\nAs\r\n\r\n";
  Lineas(auxiliar, {kExisteTablaTrabajo, "", kBorraTablaTrabajo, ""});
  textos.comandos.push_back(auxiliar);
  std::string borrado;
  Lineas(borrado, {kExisteTablaTrabajo, kBorraTablaTrabajo, ""});
  textos.comandos.push_back(borrado);
  textos.comandos.push_back(ProcedimientoPrincipal(cual, tokens, texto_id, estilo, columnas,
                                                   catalogados, argumento_mediana));
  return textos;
}

}  // namespace formulas
