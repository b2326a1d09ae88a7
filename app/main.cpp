#include <QApplication>
#include <QCommandLineParser>
#include <QFont>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>
#include <memory>

#include "platform/fonts.h"
#include "platform/qtprompter.h"
#include "platform/settingsstore.h"
#include "shell/mainform.h"
#include "startup/splashform.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvel"));
    QApplication::setOrganizationName(QStringLiteral("Quorvel"));

    QCommandLineParser options;
    options.addHelpOption();
    const QCommandLineOption noSplash(QStringLiteral("no-splash"),
                                      QStringLiteral("Open the main window at once."));
    options.addOption(noSplash);
    options.process(app);

    // The program speaks Chinese, so the standard buttons and dialogs do too (确定, 取消, 是, 否).
    QTranslator qtTexts;
    if (qtTexts.load(QStringLiteral("qtbase_zh_CN"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

    installFontSubstitutions();
    QApplication::setFont(QFont(QStringLiteral("Noto Sans CJK SC"), 9));

    QtPrompter prompter;
    SettingsStore settings;
    std::unique_ptr<MainForm> mainForm;
    const auto showMainWindow = [&] {
        mainForm = std::make_unique<MainForm>(prompter, settings);
        prompter.setMainWindow(mainForm.get());
        mainForm->show();
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
