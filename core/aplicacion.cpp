// The application object and the shared routines of the error log and the input files.
#include "core/aplicacion.h"

#include <utility>

#include "platform/runtime/dates.h"
#include "platform/runtime/files.h"
#include "platform/ui/ui.h"

namespace core {
namespace {

constexpr const char* kCadenaSqlSinServidor =
    "Provider=SQLOLEDB.1;Password=kxqv;Persist Security Info=False;User ID=Ruma;"
    "Initial Catalog=Consolida;Data Source=";

std::string SinCaracter(std::string texto, char quitar) {
  std::erase(texto, quitar);
  return texto;
}

}  // namespace

Aplicacion::Aplicacion(Configuracion configuracion, ui::Ui& ui)
    : configuracion_(std::move(configuracion)), ui_(ui) {}

Aplicacion::~Aplicacion() = default;

std::string Aplicacion::Ruta(const std::string& nombre) const {
  return configuracion_.carpeta_aplicacion + "/" + nombre;
}

std::string Aplicacion::CadenaSql() const {
  return kCadenaSqlSinServidor + configuracion_.servidor_sql;
}

sql::Recordset& Aplicacion::Rs(int indice) {
  std::unique_ptr<sql::Recordset>& rs = recordsets_[indice];
  if (!rs) rs = std::make_unique<sql::Recordset>();
  return *rs;
}

void Aplicacion::AbrirLogErrores() {
  // The folder is made as "Log"; the name keeps that spelling so the file lands in it on a
  // file system where case matters.
  ArchivoErr = Ruta("Log/err" + runtime::Format(ui_.Now(), "yyyymmddhhmmss") + ".log");
  NroArchivoErr = AbrirArchivo(ArchivoErr);
}

int16_t Aplicacion::AbrirArchivo(const std::string& ruta) {
  return archivos_.AbrirParaAgregar(ruta);
}

void Aplicacion::GrabarError(const std::string& texto, int16_t numero) {
  archivos_.ImprimirLinea(numero, runtime::Format(ui_.Now(), "dd/mm/yyyy hh:nn:ss") +
                                      std::string(77, '='));
  archivos_.ImprimirLinea(numero, texto);
}

void Aplicacion::RegistrarError(const runtime::VbError& error, const std::string& contexto) {
  GrabarError(TextoError(error, contexto), NroArchivoErr);
}

void Aplicacion::RegistrarAvisos(const sql::Connection& cn, const std::string& contexto) {
  for (const sql::ProviderWarning& aviso : cn.Errors()) {
    RegistrarError(runtime::VbError(aviso.number, aviso.source, aviso.description), contexto);
  }
}

void Aplicacion::CerrarLogErrores() { archivos_.Cerrar(NroArchivoErr); }

void Aplicacion::VerificarLogErrores(const std::string& ruta) {
  if (!runtime::FileExists(ruta)) return;
  if (runtime::FileLen(ruta) == 0) {
    try {
      runtime::Kill(ruta);
    } catch (const runtime::VbError&) {
      // An empty log that cannot be deleted is harmless: nothing to tell the user.
    }
    return;
  }
  ui_.MsgBox(
      "Existen errores en el archivo de Errores\r\n"
      "Avisar al Personal de Sistemas para que lo revise",
      ui::vbCritical + ui::vbOKOnly, "Captura de Errores");
}

bool Aplicacion::ExisteArchivo(const std::string& ruta) const {
  return runtime::FileExists(ruta);
}

bool Aplicacion::MoverArchivo(const std::string& nombre, const std::string& carpeta) {
  if (nombre.size() < 4) return false;
  const runtime::DateSerial ahora = ui_.Now();
  const std::string fecha = SinCaracter(runtime::ShortDateText(ahora), '/');
  const std::string hora = SinCaracter(runtime::LongTimeText(ahora), ':').substr(0, 6);
  const std::string sello = nombre.substr(0, nombre.size() - 4) + "_" + fecha + hora;
  const std::string extension = nombre.substr(nombre.size() - 4);
  // Two files of one name moved within the same second (the same survey of two periods) would
  // meet under one stamped name: the later one gets the first free "_2", "_3" ... instead of
  // staying behind in Datos to be imported again.
  std::string nuevo = sello + extension;
  for (int copia = 2; copia <= kCopiasMovidas && ExisteArchivo(Ruta(carpeta + "/" + nuevo)); ++copia) {
    nuevo = sello + "_" + std::to_string(copia) + extension;
  }
  try {
    runtime::Name(Ruta("Datos/" + nombre), Ruta(carpeta + "/" + nuevo));
    return true;
  } catch (const runtime::VbError&) {
    return false;  // the callers do not test it; the file simply stays in Datos
  }
}

void Aplicacion::RegistrarVentana(const std::string& nombre, FabricaVentana fabrica) {
  fabricas_[nombre] = std::move(fabrica);
}

bool Aplicacion::ConoceVentana(const std::string& nombre) const {
  return fabricas_.contains(nombre);
}

std::vector<std::string> Aplicacion::VentanasRegistradas() const {
  std::vector<std::string> nombres;
  for (const auto& [nombre, fabrica] : fabricas_) nombres.push_back(nombre);
  return nombres;
}

ui::Form* Aplicacion::Ventana(const std::string& nombre) {
  for (auto& [creada, form] : ventanas_) {
    if (creada == nombre) return form.get();
  }
  auto it = fabricas_.find(nombre);
  if (it == fabricas_.end()) return nullptr;
  std::unique_ptr<ui::Form> form = it->second(*this);
  ui::Form* resultado = form.get();
  ventanas_.emplace_back(nombre, std::move(form));
  return resultado;
}

std::vector<ui::Form*> Aplicacion::VentanasCreadas() const {
  std::vector<ui::Form*> resultado;
  for (const auto& [nombre, form] : ventanas_) resultado.push_back(form.get());
  return resultado;
}

std::string TextoError(const runtime::VbError& error, const std::string& contexto) {
  return error.Source() + "\r\n(" + std::to_string(error.Number()) + ") " +
         error.Description() + "\r\n" + contexto;
}

bool CrearCarpeta(const std::string& ruta) {
  try {
    if (!runtime::FolderExists(ruta)) runtime::MakeFolder(ruta);
  } catch (const runtime::VbError&) {
    // Reported by the result: the caller names the folder to the user.
  }
  return runtime::FolderExists(ruta);
}

}  // namespace core
