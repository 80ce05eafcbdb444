#pragma once

#include <QStringList>

class QCommandLineParser;

namespace vordane {

class Io;

// "vordane-cli evolucionar REGLAS LEXICO SALIDA": a lexicon (a language
// file, a dictionary or a word list) through the stages of a rule list.
void addEvolucionarOptions(QCommandLineParser &parser);
int runEvolucionar(const QCommandLineParser &parser, const QStringList &args, Io &io);

} // namespace vordane
