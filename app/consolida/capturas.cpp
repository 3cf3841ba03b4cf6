// consolida-capturas: draws the program's windows into PNG files for the guide, without a display
// (QT_QPA_PLATFORM=offscreen). It runs "consolida demo" into a new application folder, starts the
// desktop program on it as main.cpp does, opens each window through its menu entry, types and
// clicks as a user would, and grabs the main window. Message boxes and modal windows never wait:
// boxes are answered No (or OK), modal windows by a script. Holds no window logic.
#include <algorithm>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPalette>
#include <QStyle>
#include <QStyleOptionTitleBar>
#include <QVBoxLayout>

#include "app/consolida/demo.h"
#include "app/consolida/linea_de_comandos.h"
#include "app/consolida/ventanas.h"
#include "core/aplicacion.h"
#include "core/inicio.h"
#include "core/mdi_principal.h"
#include "gui/form_view.h"
#include "gui/main_window_view.h"
#include "gui/qt_ui.h"
#include "platform/ui/controls.h"

namespace {

namespace fs = std::filesystem;

constexpr int kEmpresas = 12;
// The main window as an office screen of 1024 by 768 shows it maximised, less the task bar.
constexpr int kAncho = 1024;
constexpr int kAlto = 740;

// Lists on stderr every caption of the windows drawn in `ventana` that the binder's own check
// finds cut or covered (the check the desktop tests hold every window to).
void Revisar(const std::string& captura, QWidget* ventana) {
  std::vector<const gui::FormView*> vistas;
  if (const auto* propia = dynamic_cast<const gui::FormView*>(ventana)) vistas.push_back(propia);
  // FormView has no meta-object of its own: findChildren<FormView*> would take every widget.
  for (QWidget* hijo : ventana->findChildren<QWidget*>()) {
    if (const auto* vista = dynamic_cast<const gui::FormView*>(hijo)) vistas.push_back(vista);
  }
  for (const gui::FormView* vista : vistas) {
    for (const std::string& corte : vista->CutTexts()) {
      std::cerr << "capturas: " << captura << ": " << vista->Model().Name() << ": " << corte << "\n";
    }
  }
}

// The desktop's Ui, except that nothing waits for a click: a message box is printed and answered
// No when it has that button (the program is never told to open, delete or close anything),
// otherwise with its default; a modal window is drawn, handed to the script queued for it and
// closed when the script leaves it open.
class UiSinEspera : public gui::QtUi {
 public:
  using Guion = std::function<void(ui::Form&, QWidget& ventana)>;

  int MsgBox(const std::string& prompt, int style, const std::string& title) override {
    const std::vector<int> botones = ui::MsgBoxButtons(style);
    int respuesta = ui::MsgBoxDefaultAnswer(style);
    for (int boton : botones) {
      if (boton == ui::vbNo) respuesta = ui::vbNo;
    }
    std::cerr << "  [" << TitleOrApp(title) << "] " << prompt << (respuesta == ui::vbNo ? " -> No" : "") << "\n";
    return respuesta;
  }

  void ShowModal(ui::Form& form) override {
    form.Load();
    if (!form.Loaded()) return;
    QWidget ventana(QApplication::activeWindow(), Qt::Dialog);
    auto* layout = new QVBoxLayout(&ventana);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* vista = new gui::FormView(form, &ventana);
    layout->addWidget(vista);
    vista->AttachWindow(&ventana);
    form.MarkShown(true);
    QApplication::processEvents();
    Revisar(form.Name(), &ventana);
    if (!guiones_.empty() && guiones_.front().first == form.Name()) {
      Guion guion = std::move(guiones_.front().second);
      guiones_.pop_front();
      guion(form, ventana);
    } else {
      std::cerr << "  ventana modal " << form.Name() << " sin guion: se cierra\n";
    }
    if (form.Loaded() && form.Visible()) form.UserClose();
  }

  void Responder(std::string ventana, Guion guion) { guiones_.emplace_back(std::move(ventana), std::move(guion)); }

 private:
  std::deque<std::pair<std::string, Guion>> guiones_;
};

template <typename T>
T& Control(ui::Form& form, const std::string& nombre, int indice = -1) {
  auto* control = dynamic_cast<T*>(form.FindControl(nombre, indice));
  if (control == nullptr) throw std::runtime_error("no hay control " + nombre + " en " + form.Name());
  return *control;
}

// The position of the first item of a list that starts with `texto`.
int Item(const ui::ListControl& lista, const std::string& texto) {
  for (int i = 0; i < lista.ListCount(); ++i) {
    if (lista.List(i).starts_with(texto)) return i;
  }
  throw std::runtime_error("no hay \"" + texto + "\" en " + lista.Name());
}

// A picker answered as a user does: click the item, press the button.
UiSinEspera::Guion Elegir(std::string lista, std::string item, std::string boton) {
  return [lista, item, boton](ui::Form& form, QWidget&) {
    auto& l = Control<ui::ListBox>(form, lista);
    const int i = Item(l, item);
    if (!l.Selected(i)) l.UserClick(i);
    Control<ui::CommandButton>(form, boton).UserClick();
  };
}

class Capturas {
 public:
  Capturas(gui::MainWindowView& principal, fs::path carpeta_img)
      : principal_(principal), img_(std::move(carpeta_img)) {}

  // Opens the window of menu entry `entrada` as a click on it does; returns its view.
  gui::FormView& Abrir(const std::string& entrada) {
    QAction* accion = principal_.MenuAction(entrada);
    if (accion == nullptr) throw std::runtime_error("no hay entrada de menu " + entrada);
    accion->trigger();
    QApplication::processEvents();
    QMdiSubWindow* activa = principal_.Area()->activeSubWindow();
    auto* vista = activa == nullptr ? nullptr : dynamic_cast<gui::FormView*>(activa->widget());
    if (vista == nullptr) throw std::runtime_error("la entrada " + entrada + " no abrio una ventana");
    return *vista;
  }

  // A click on the button bound to `boton`.
  static void Pulsar(gui::FormView& vista, const std::string& boton, int indice = -1) {
    auto* widget = qobject_cast<QAbstractButton*>(vista.WidgetFor(Control<ui::Control>(vista.Model(), boton, indice)));
    if (widget == nullptr) throw std::runtime_error("no hay boton " + boton);
    widget->click();
    QApplication::processEvents();
  }

  // Grabs the main window, with `encima` (an open menu, a modal window) drawn where it lies,
  // into docs/img/<nombre>.png, and lists the texts that do not fit and the windows that lie
  // outside the work area.
  void Guardar(const std::string& nombre, QWidget* encima = nullptr) {
    QApplication::processEvents();
    QImage imagen = principal_.grab().toImage().convertToFormat(QImage::Format_RGB32);
    if (encima != nullptr) {
      QPainter pintor(&imagen);
      QRect marco;
      QPoint lugar = encima->mapToGlobal(QPoint(0, 0)) - principal_.mapToGlobal(QPoint(0, 0));
      if (encima->isWindow() && qobject_cast<QMenu*>(encima) == nullptr) {
        // A top-level window has no frame here (no window manager): draw its title bar.
        const int alto = encima->style()->pixelMetric(QStyle::PM_TitleBarHeight);
        lugar = QPoint((imagen.width() - encima->width()) / 2, (imagen.height() - encima->height()) / 2);
        QStyleOptionTitleBar barra;
        barra.initFrom(encima);
        barra.rect = QRect(0, 0, encima->width(), alto);
        barra.text = encima->windowTitle();
        barra.subControls = QStyle::SC_TitleBarLabel | QStyle::SC_TitleBarCloseButton;
        barra.titleBarFlags = Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
        barra.titleBarState = Qt::WindowActive;
        barra.state |= QStyle::State_Active;
        pintor.translate(lugar.x(), lugar.y() - alto);
        encima->style()->drawComplexControl(QStyle::CC_TitleBar, &barra, &pintor, encima);
        pintor.resetTransform();
        marco = QRect(lugar - QPoint(1, alto + 1), encima->size() + QSize(1, alto + 1));
        Revisar(nombre, encima);
      }
      pintor.drawImage(lugar, encima->grab().toImage());
      if (marco.isValid()) {
        pintor.setPen(encima->palette().color(QPalette::Shadow));
        pintor.drawRect(marco);
      }
    }
    for (QMdiSubWindow* sub : principal_.Area()->subWindowList()) {
      if (!sub->isVisible()) continue;
      Revisar(nombre, sub);
      const QRect area = principal_.Area()->viewport()->rect();
      if (!area.contains(sub->geometry())) {
        std::cerr << "capturas: " << nombre << ": la ventana \"" << sub->windowTitle().toStdString()
                  << "\" queda fuera del area de trabajo\n";
      }
    }
    // A palette image keeps the file small. A screen has flat areas in a few dozen colours and
    // the shades of antialiased text: the 256 most frequent colours are the palette, and every
    // other pixel (a rare shade of text) takes the nearest of them.
    std::unordered_map<QRgb, int> frecuencias;
    for (int y = 0; y < imagen.height(); ++y) {
      const auto* fila = reinterpret_cast<const QRgb*>(imagen.constScanLine(y));
      for (int x = 0; x < imagen.width(); ++x) ++frecuencias[fila[x]];
    }
    std::vector<std::pair<int, QRgb>> orden;
    for (const auto& [color, veces] : frecuencias) orden.emplace_back(-veces, color);
    std::sort(orden.begin(), orden.end());
    QList<QRgb> tabla;
    for (size_t i = 0; i < orden.size() && i < 256; ++i) tabla.push_back(orden[i].second);
    const QImage paleta = imagen.convertToFormat(QImage::Format_Indexed8, tabla, Qt::ThresholdDither | Qt::AvoidDither);
    const fs::path archivo = img_ / (nombre + ".png");
    if (!paleta.save(QString::fromStdString(archivo.string()), "PNG", 9)) {
      throw std::runtime_error("no se pudo escribir " + archivo.string());
    }
    std::cout << archivo.string() << "\n";
  }

  // Opens every window of the menu, one after the other, checks its texts, and lists the windows
  // that lie outside the work area then (no picture: the guide shows one window at a time).
  void RevisarLugares(const std::vector<std::string>& entradas) {
    for (const std::string& entrada : entradas) Revisar(entrada, Abrir(entrada).parentWidget());
    const QRect area = principal_.Area()->viewport()->rect();
    for (QMdiSubWindow* sub : principal_.Area()->subWindowList()) {
      if (sub->isVisible() && !area.contains(sub->geometry())) {
        const auto* vista = dynamic_cast<const gui::FormView*>(sub->widget());
        std::cerr << "capturas: con todas abiertas, la ventana " << (vista ? vista->Model().Name() + " " : "") << "\""
                  << sub->windowTitle().toStdString() << "\" queda fuera del area de trabajo (" << sub->x() << ","
                  << sub->y() << " " << sub->width() << "x" << sub->height() << "; el area mide " << area.width() << "x"
                  << area.height() << ")\n";
      }
    }
  }

  // Closes the window of `vista` with its close box, as a user does.
  static void Cerrar(gui::FormView& vista) {
    QWidget* ventana = vista.parentWidget();
    while (ventana != nullptr && qobject_cast<QMdiSubWindow*>(ventana) == nullptr) ventana = ventana->parentWidget();
    if (ventana == nullptr) throw std::runtime_error("la ventana " + vista.Model().Name() + " no esta en el area");
    ventana->close();
    QApplication::processEvents();
    if (ventana->isVisible()) std::cerr << "capturas: la ventana " << vista.Model().Name() << " no se cerro\n";
  }

 private:
  gui::MainWindowView& principal_;
  fs::path img_;
};

// The windows, in the order of the road through the program.
void Recorrer(Capturas& c, UiSinEspera& ui, gui::MainWindowView& principal, const fs::path& datos) {
  // The main window with the "Procesos" menu open.
  principal.show();
  QApplication::processEvents();
  QMenu* procesos = principal.MenuAction("MnuProceso")->menu();
  procesos->popup(principal.mapToGlobal(principal.menuBar()->actionGeometry(procesos->menuAction()).bottomLeft()));
  procesos->setActiveAction(principal.MenuAction("MnuNov"));
  c.Guardar("menu", procesos);
  procesos->hide();

  consolida::EscribirEncuestaDemo(datos, kEmpresas, 2005);
  gui::FormView& novedades = c.Abrir("MnuNov");
  Control<ui::TextBox>(novedades.Model(), "TxtPeriodo").UserEdit("2005");
  Capturas::Pulsar(novedades, "Proceso");
  c.Guardar("novedades");
  Capturas::Cerrar(novedades);

  gui::FormView& estructuras = c.Abrir("CarEstr");
  auto& archivos = Control<ui::ListBox>(estructuras.Model(), "LstForm");
  archivos.UserDblClick(Item(archivos, "ENCUES_1"));
  Control<ui::Grid>(estructuras.Model(), "MFGField").UserClick(2, 0);
  Capturas::Pulsar(estructuras, "Command1");
  c.Guardar("estructuras");
  Capturas::Pulsar(estructuras, "cmdCancelar");
  Capturas::Cerrar(estructuras);

  consolida::EscribirPadronDemo(datos, kEmpresas);
  gui::FormView& padron = c.Abrir("ProcPadron");
  Control<ui::TextBox>(padron.Model(), "TxtPeriodo").UserEdit("2005");
  Capturas::Pulsar(padron, "Command1");
  c.Guardar("padron");
  Capturas::Cerrar(padron);

  consolida::EscribirMuestrasDemo(datos, kEmpresas);
  gui::FormView& muestra = c.Abrir("MnuMuestra");
  Capturas::Pulsar(muestra, "Command1");
  c.Guardar("muestra");
  Capturas::Cerrar(muestra);

  // A formula being built, before "Generar": the costs share of the sales.
  gui::FormView& formulas = c.Abrir("Frm");
  ui::Form& f = formulas.Model();
  Capturas::Pulsar(formulas, "CmdCrear");
  Control<ui::TextBox>(f, "txtNombre").UserEdit("Costos sobre ventas");
  Control<ui::TextBox>(f, "txtResulVar").UserEdit("COSVEN");
  ui.Responder("FrmBFormulario", Elegir("lstFormularios", "ENCUES_1", "CmdAceptar"));
  Capturas::Pulsar(formulas, "CmdAddForm");
  Capturas::Pulsar(formulas, "CmdFormula");
  auto& campos = Control<ui::ListBox>(f, "LstCampos");
  campos.UserDblClick(Item(campos, "COSTOS"));
  Capturas::Pulsar(formulas, "CmdDiv");
  campos.UserDblClick(Item(campos, "VENTAS"));
  c.Guardar("formula");
  Capturas::Pulsar(formulas, "cmdCancelar");
  Capturas::Cerrar(formulas);

  // The demo's sequence, opened with "Modificar".
  gui::FormView& secuencias = c.Abrir("Sec");
  ui.Responder("FrmBuModSec", Elegir("lstFormularios", "DEMO", "CmdAceptar"));
  Capturas::Pulsar(secuencias, "CmdModificar");
  Capturas::Pulsar(secuencias, "CmdSecuencia");
  c.Guardar("secuencia");
  Capturas::Cerrar(secuencias);

  gui::FormView& correr = c.Abrir("PCS");
  Control<ui::TextBox>(correr.Model(), "TxtPeriodo").UserEdit("2005");
  Control<ui::TextBox>(correr.Model(), "TxtAnio").UserEdit("2005");
  ui.Responder("FrmBuForm1", Elegir("lstFormularios", "ENCUES_1", "CmdAceptar"));
  Capturas::Pulsar(correr, "Command1");
  ui.Responder("FrmBuSec", Elegir("lstFormularios", "DEMO", "CmdAceptar"));
  Capturas::Pulsar(correr, "CmdSec");
  Capturas::Pulsar(correr, "CmdProcesar2");
  c.Guardar("correr");
  Capturas::Cerrar(correr);

  // The results report: its column dialog, then the window once the workbook is written.
  gui::FormView& reporte = c.Abrir("MnuRepRE");
  Control<ui::TextBox>(reporte.Model(), "TxtPeriodo").UserEdit("2005");
  ui.Responder("FrmBuFormReporte", Elegir("lstFormularios", "ENCUES_1", "CmdAceptar"));
  Capturas::Pulsar(reporte, "CmdFormulario");
  Control<ui::TextBox>(reporte.Model(), "TxtTitulo").UserEdit("Demo");
  ui.Responder("FrmReporteA", [&c](ui::Form& dialogo, QWidget& ventana) {
    auto& disponibles = Control<ui::ListBox>(dialogo, "LstCampo");
    for (const char* campo : {"DIFCV", "TOTVEN", "VENMUES"}) disponibles.UserDblClick(Item(disponibles, campo));
    c.Guardar("reporte-campos", &ventana);
    Control<ui::CommandButton>(dialogo, "CmdAcepta").UserClick();
  });
  Capturas::Pulsar(reporte, "CmdGenerar");
  c.Guardar("reporte");
  Capturas::Cerrar(reporte);

  c.RevisarLugares({"CarEstr", "Frm", "Sec", "MnuMuestra", "ProcPadron", "MnuNov", "PCS", "MnuRepRE", "MnuRepF",
                    "MnuRSec", "mnuPC"});
}

}  // namespace

int main(int argc, char** argv) {
  QApplication programa(argc, argv);
  const QStringList argumentos = QApplication::arguments();
  if (argumentos.size() != 2 || argumentos[1].startsWith('-')) {
    std::cerr << "uso: consolida-capturas <carpeta de las imagenes>\n";
    return 2;
  }
  const fs::path img = fs::absolute(argumentos[1].toStdString());
  std::string plantilla = (fs::temp_directory_path() / "consolida-capturas-XXXXXX").string();
  if (mkdtemp(plantilla.data()) == nullptr) {
    std::cerr << "no se pudo crear una carpeta temporal\n";
    return 1;
  }
  const fs::path carpeta = plantilla;
  int codigo = 1;
  try {
    fs::create_directories(img);
    std::ostringstream salida, errores;
    if (consolida::EjecutarDemo({carpeta.string(), kEmpresas}, salida, errores) != 0) {
      std::cerr << salida.str() << errores.str();
      throw std::runtime_error("la demo fallo");
    }

    UiSinEspera ui;
    core::Configuracion configuracion;
    configuracion.carpeta_aplicacion = carpeta.string();
    configuracion.pausa_ms = 0;
    core::Aplicacion app(configuracion, ui);
    consolida::PrepararMaquina(app);
    RegistrarVentanas(app);
    std::unique_ptr<gui::MainWindowView> ventana;
    std::unique_ptr<core::MDIPrincipal> principal = core::Main(app, [&ventana, &ui](core::MDIPrincipal& mdi) {
      ventana = std::make_unique<gui::MainWindowView>(mdi.Caption(), mdi.Menu(), gui::MainWindowView::Callbacks{});
      ui.SetHost(ventana.get());
      ventana->resize(kAncho, kAlto);
    });
    if (!principal) throw std::runtime_error("el programa no pudo iniciar en " + carpeta.string());
    Capturas capturas(*ventana, img);
    Recorrer(capturas, ui, *ventana, carpeta / "Datos");
    ui.SetHost(nullptr);
    ventana.reset();
    core::TerminarSinVentana(app);
    codigo = 0;
  } catch (const std::exception& error) {
    std::cerr << "consolida-capturas: " << error.what() << "\n";
  }
  std::error_code ignorado;
  fs::remove_all(carpeta, ignorado);
  return codigo;
}
