#include <QApplication>
#include <QCommandLineParser>
#include <QEvent>
#include <QFont>
#include <QIcon>
#include <QLibraryInfo>
#include <QPointer>
#include <QTimer>
#include <QTranslator>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string_view>

#include "firstpaintprobe.h"
#include "platform/fonts.h"
#include "platform/qtprompter.h"
#include "platform/settingsstore.h"
#include "shell/mainform.h"
#include "startup/splashform.h"
#include "system/systemsheetform.h"

namespace {

// The options that print a text and end the program before any window opens.
bool asksOnlyForText(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "-h" || arg == "-?" || arg == "--help" || arg == "--help-all" || arg == "-v" ||
            arg == "--version")
            return true;
    }
    return false;
}

}  // namespace

int main(int argc, char* argv[]) {
    // Help and version need no display: on the offscreen platform they answer in a terminal
    // without one too (over ssh, say).
    if (asksOnlyForText(argc, argv)) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvel"));
    QApplication::setOrganizationName(QStringLiteral("Quorvel"));
    QApplication::setApplicationVersion(QStringLiteral(QUORVEL_VERSION));
    // Ties the windows to the installed desktop entry, whose icon a Wayland task bar shows.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.quorvel.Quorvel"));

    QCommandLineParser options;
    options.addHelpOption();
    options.addVersionOption();
    const QCommandLineOption noSplash(QStringLiteral("no-splash"),
                                      QStringLiteral("Open the main window at once."));
    options.addOption(noSplash);
    options.addPositionalArgument(QStringLiteral("FILE.qvs"),
                                  QStringLiteral("A water-system project to open in the sheet."));
    options.process(app);
    const QStringList files = options.positionalArguments();

    // The program speaks Chinese, so the standard buttons and dialogs do too (确定, 取消, 是, 否).
    QTranslator qtTexts;
    if (qtTexts.load(QStringLiteral("qtbase_zh_CN"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

    // Title bars and the task bar show it on every window; each size is drawn pixel for pixel.
    QIcon icon;
    for (const int size : {16, 32, 48, 128})
        icon.addFile(QStringLiteral(":/app-icon/icons/quorvel-%1.png").arg(size),
                     QSize(size, size));
    QApplication::setWindowIcon(icon);

    installFontSubstitutions();
    QApplication::setFont(QFont(QStringLiteral("Noto Sans CJK SC"), 9));

    QtPrompter prompter;
    SettingsStore settings;
    std::unique_ptr<MainForm> mainForm;
    const auto showMainWindow = [&] {
        mainForm = std::make_unique<MainForm>(prompter, settings);
        prompter.setMainWindow(mainForm.get());
        if (qEnvironmentVariableIsSet("QUORVEL_STARTUP_PROBE"))
            mainForm->installEventFilter(new FirstPaintProbe(mainForm.get()));
        mainForm->show();
        // Work a crash interrupted comes first; a project named on the command line then asks
        // before it replaces what was restored.
        SystemSheetForm::offerRecovery(*mainForm);
        if (!files.isEmpty()) SystemSheetForm::openProjectInSheet(*mainForm, files.first());
    };

    if (options.isSet(noSplash)) {
        showMainWindow();
        return QApplication::exec();
    }
    // The splash is the only window until it opens the main window; closing it early ends
    // the program, because it was the last window.
    QPointer<SplashForm> splash = new SplashForm(showMainWindow);
    splash->setAttribute(Qt::WA_DeleteOnClose);
    splash->show();
    const int result = QApplication::exec();
    delete splash.data();
    return result;
}
