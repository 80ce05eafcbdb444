#pragma once

class QCoreApplication;

namespace vordane {

// Loads Qt's own Spanish translation (the texts of file dialogs, message
// box buttons, command-line parser errors) from Qt's translations folder,
// and the file dialog's texts that it leaves in English. Without it the
// program still runs, with most of those texts in English.
bool installQtTranslation(QCoreApplication &app);

} // namespace vordane
