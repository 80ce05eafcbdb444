#include "app/programtools.h"

#include "dictionary/frmCombinar.h"
#include "dictionary/frmCrear.h"
#include "dictionary/frmExportar.h"
#include "generator/frmGenerar.h"
#include "manager/frmAdministrar.h"
#include "roots/frmLanSep.h"
#include "roots/frmRaiGen.h"
#include "roots/frmRaices.h"
#include "transformer/frmTaller.h"
#include "transformer/frmTransformar.h"
#include "wordgen/frmTallerPalabras.h"

namespace vordane {

namespace {

template <typename Window> QWidget *create(PlatformServices &services)
{
    return new Window(services);
}

const ProgramTool kTools[] = {
    {"mnuGenerador", "Generador de palabras", &frmVordane::mnuGenerador, "frmGenerar", create<frmGenerar>},
    {"mnuTransformador", "Transformador de palabras", &frmVordane::mnuTransformador, "frmTransformar",
     create<frmTransformar>},
    {"mnuExportador", "Exportador de diccionarios", &frmVordane::mnuExportador, "frmExportar", create<frmExportar>},
    {"mnuCreador", "Creador de diccionarios", &frmVordane::mnuCreador, "frmCrear", create<frmCrear>},
    {"mnuCombinador", "Combinador de diccionarios", &frmVordane::mnuCombinador, "frmCombinar", create<frmCombinar>},
    {"mnuAdministrador", "Administrador de lenguajes", &frmVordane::mnuAdministrador, "frmAdministrar",
     create<frmAdministrar>},
    {"mnuRaices", "Creador de raíces", &frmVordane::mnuRaices, "frmRaices", create<frmRaices>},
    {"mnuRaigen", "Generador de lenguas", &frmVordane::mnuRaigen, "frmRaiGen", create<frmRaiGen>},
    {"mnuLansep", "Separador de lenguas", &frmVordane::mnuLansep, "frmLanSep", create<frmLanSep>},
    {"mnuTaller", "Taller de cambios fonéticos", &frmVordane::mnuTaller, "frmTaller", create<frmTaller>},
    {"mnuTallerPalabras", "Taller de palabras", &frmVordane::mnuTallerPalabras, "frmTallerPalabras",
     create<frmTallerPalabras>},
};

} // namespace

std::span<const ProgramTool> programTools()
{
    return kTools;
}

} // namespace vordane
