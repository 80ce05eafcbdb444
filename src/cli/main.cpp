#include "cli/clirunner.h"
#include "common/qttranslation.h"
#include "common/temporaryfile.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

#if defined(Q_OS_UNIX)
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

// Whether a standard stream is open. A closed one is taken by /dev/null at
// once, so that no file the command opens later gets its number and
// receives text meant for the terminal.
bool claimStandardStream(int fd)
{
#if defined(Q_OS_UNIX)
    if (::fcntl(fd, F_GETFD) != -1)
        return true;
    const int placeholder = ::open("/dev/null", O_RDWR);
    if (placeholder >= 0 && placeholder != fd) {
        ::dup2(placeholder, fd);
        ::close(placeholder);
    }
    return false;
#else
    Q_UNUSED(fd);
    return true;
#endif
}

// An argument whose bytes the system's encoding cannot represent (a file
// name in another encoding) would reach the program altered: another name.
bool representable(const char *argument)
{
    const QByteArray bytes(argument);
    return QString::fromLocal8Bit(bytes).toLocal8Bit() == bytes;
}

} // namespace

int main(int argc, char *argv[])
{
    // An interrupted run leaves no temporary file; a closed pipe ends the
    // program quietly, by its signal, as it ends standard tools.
    vordane::removeTemporariesOnSignals();
    const bool outOpen = claimStandardStream(1);
    const bool errOpen = claimStandardStream(2);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vordane-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VORDANE_VERSION));
    vordane::installQtTranslation(app);

    // Unbuffered: the command writes in large pieces of its own and checks each one.
    QFile out;
    QFile err;
    if (outOpen)
        out.open(1, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle);
    if (errOpen)
        err.open(2, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle);

    for (int i = 1; i < argc; ++i) {
        if (!representable(argv[i])) {
            if (err.isOpen()) {
                err.write(QStringLiteral("El argumento «%1» no es texto válido en la codificación del sistema "
                                         "(UTF-8): como nombre de archivo designaría otro archivo. No se ha hecho "
                                         "nada.\n")
                              .arg(QString::fromLocal8Bit(argv[i]))
                              .toUtf8());
            }
            return vordane::kExitFailed;
        }
    }
    return vordane::runCli(QCoreApplication::arguments(), out, err);
}
