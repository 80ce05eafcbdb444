#pragma once

#include <QStringList>

class QCommandLineParser;

namespace vordane {

class Io;

// "palabras": words from a ".gen" definition (the word generator with weights).
void addPalabrasOptions(QCommandLineParser &parser);
int runPalabras(const QCommandLineParser &parser, const QStringList &args, Io &io);

} // namespace vordane
