// Ritrax: photo and signature files for driving-licence applications.

#include "DesktopOpen.h"
#include "FormMain.h"
#include "LandmarkModel.h"
#include "Numbers.h"
#include "ProgramFolders.h"
#include "QtCameraBackend.h"
#include "QtOperatorDialogs.h"
#include "SaneScanner.h"
#include "SettingsStore.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ritrax"));
    QApplication::setOrganizationName(QStringLiteral("Kelm"));
    QGuiApplication::setDesktopFileName(QStringLiteral("it.ritrax.ritrax"));
    // Read before the main window makes the program folder current: a
    // relative name is relative to where the program was started.
    const std::optional<QString> fileToOpen
        = DesktopOpen::FileFromArguments(QCoreApplication::arguments().mid(1), QDir::currentPath());

    // Qt's own dialogs (file chooser, buttons) speak Italian like the program.
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::Italian), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

    SettingsStore settings(SettingsStore::DefaultFilePath());
    // Reading the face models takes a while: it is done now, in the
    // background, when the editors will frame by themselves.
    if (Numbers::LenientNumber(settings.read(QStringLiteral("AutoInquadra"), QStringLiteral("1"))) != 0)
        LandmarkModel::StartLoading();
    QtOperatorDialogs dialogs;
    SaneScanner scanner(settings, dialogs);
    QtCameraBackend camera;
    const Services services{settings, dialogs, scanner, camera, ProgramFolders::ForApplication()};

    FormMain window(services);
    window.show();
    // Taken in once the window is up, so that a refusal has its window.
    if (fileToOpen)
        QMetaObject::invokeMethod(&window, [&window, &fileToOpen] { window.OpenFile(*fileToOpen); },
                                  Qt::QueuedConnection);
    return QApplication::exec();
}
