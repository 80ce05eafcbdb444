#include "common/qttranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstring>

namespace vordane {

namespace {

// Texts of Qt's file dialog that Qt's own Spanish catalogue leaves in
// English, and the two labels it words differently from the program's own
// "archivo". Asked before that catalogue.
class FileDialogTexts final : public QTranslator {
public:
    using QTranslator::QTranslator;

    QString translate(const char *context, const char *sourceText, const char *, int) const override
    {
        struct Text {
            const char *context;
            const char *source;
            const char *spanish;
        };
        static const Text kTexts[] = {
            {"QAbstractFileIconProvider", "Folder", "Carpeta de archivos"},
            {"QAbstractFileIconProvider", "File Folder", "Carpeta de archivos"},
            {"QAbstractFileIconProvider", "Drive", "Unidad"},
            {"QAbstractFileIconProvider", "File", "Archivo"},
            {"QAbstractFileIconProvider", "%1 File", "Archivo %1"},
            {"QAbstractFileIconProvider", "Shortcut", "Acceso directo"},
            {"QAbstractFileIconProvider", "Alias", "Alias"},
            {"QAbstractFileIconProvider", "Unknown", "Desconocido"},
            {"QFileDialog", "File &name:", "&Nombre de archivo:"},
            {"QFileDialog", "Files of type:", "Tipo de archivo:"},
            {"QFileDialog", "Show &hidden files", "Mostrar archivos &ocultos"},
            {"QFileDialog", "Go to the parent directory", "Ir a la carpeta superior"},
            {"QFileDialog", "Parent Directory", "Carpeta superior"},
            {"QFileDialog", "Directory:", "Carpeta:"},
            {"QFileDialog", "All Files (*)", "Todos los archivos (*)"},
            {"QFileSystemModel", "Type", "Tipo"},
            {"QFileSystemModel", "Kind", "Tipo"},
        };
        for (const Text &text : kTexts) {
            if (std::strcmp(context, text.context) == 0 && std::strcmp(sourceText, text.source) == 0)
                return QString::fromUtf8(text.spanish);
        }
        return QString();
    }

    bool isEmpty() const override { return false; }
};

} // namespace

bool installQtTranslation(QCoreApplication &app)
{
    auto *translator = new QTranslator(&app);
    const bool loaded = translator->load(QLocale(QLocale::Spanish, QLocale::Spain), QStringLiteral("qtbase"),
                                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))
        && QCoreApplication::installTranslator(translator);
    if (!loaded)
        delete translator;
    // Installed last, so asked first.
    QCoreApplication::installTranslator(new FileDialogTexts(&app));
    return loaded;
}

} // namespace vordane
