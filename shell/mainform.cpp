#include "shell/mainform.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <exception>

#include "platform/settingsstore.h"
#include "platform/twips.h"
#include "screens/frictionlossform.h"
#include "screens/locallossform.h"
#include "shell/childwindow.h"
#include "shell/mainposition.h"
#include "shell/statuspanels.h"
#include "startup/aboutform.h"
#include "startup/helpform.h"

// Resources of a static library are registered by hand; Q_INIT_RESOURCE must be called
// outside any namespace.
static void registerToolbarIcons() { Q_INIT_RESOURCE(toolbaricons); }

namespace {

const QString kCaption = QStringLiteral("Quorvel管理界面");

// Minimum width of every status bar panel, twips.
constexpr double kPanelMinTwips = 2540;

struct ToolButton {
    const char* key;  // empty for a separator
    const char* icon;
};

const ToolButton kToolButtons[] = {
    {"New", "new"},
    {"Open", "open"},
    {"Save", "save"},
    {"", nullptr},
    {"Print", "print"},
    {"", nullptr},
    {"Cut", "cut"},
    {"Copy", "copy"},
    {"Paste", "paste"},
    {"", nullptr},
    {"Bold", "bold"},
    {"Italic", "italic"},
    {"Underline", "underline"},
    {"", nullptr},
    {"Align Left", "alignleft"},
    {"Center", "center"},
    {"Align Right", "alignright"},
};

// Child windows without a picture of their own show none, rather than the toolkit's logo.
QIcon blankIcon() {
    QPixmap blank(16, 16);
    blank.fill(Qt::transparent);
    return QIcon(blank);
}

double screenDpi() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInch() : 96.0;
}

QAction* addItem(QMenu* menu, const char* name, const QString& caption,
                 const QKeySequence& shortcut = {}) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromUtf8(name));
    action->setShortcut(shortcut);
    return action;
}

void addBar(QMenu* menu, const char* name) {
    menu->addSeparator()->setObjectName(QString::fromUtf8(name));
}

QMenu* addMenu(QMenuBar* bar, const char* name, const QString& caption) {
    QMenu* menu = bar->addMenu(caption);
    menu->setObjectName(QString::fromUtf8(name));
    menu->menuAction()->setObjectName(QString::fromUtf8(name) + QStringLiteral("Action"));
    return menu;
}

}  // namespace

MainForm::MainForm(Prompter& prompter, SettingsStore& settings, QWidget* parent)
    : QMainWindow(parent), prompter_(prompter), settings_(settings) {
    registerToolbarIcons();
    setObjectName(QStringLiteral("fMainform_计算管理界面"));
    setWindowTitle(kCaption);
    // The toolbar and status bar are shown and hidden through the View menu only, so that its
    // check marks always match.
    setContextMenuPolicy(Qt::NoContextMenu);

    mdiArea_ = new QMdiArea(this);
    mdiArea_->setObjectName(QStringLiteral("mdiArea"));
    // The calculation screens are larger than the default 6500-twip frame: scroll to them.
    mdiArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdiArea_);

    buildMenus();
    buildToolBar();
    buildStatusBar();
    loadPosition();
}

MainForm::~MainForm() = default;

void MainForm::buildMenus() {
    QMenuBar* bar = menuBar();

    QMenu* file = addMenu(bar, "mnuFile", QStringLiteral("文件"));
    addItem(file, "mnuFileNew", QStringLiteral("&新建"), QKeySequence(Qt::CTRL | Qt::Key_N));
    connect(addItem(file, "mnuFileOpen", QStringLiteral("&打开..."),
                    QKeySequence(Qt::CTRL | Qt::Key_O)),
            &QAction::triggered, this, &MainForm::fileOpen);
    addBar(file, "mnuFileBar0");
    connect(addItem(file, "mnuFileSaveAs", QStringLiteral("保存为...")), &QAction::triggered, this,
            &MainForm::fileSaveAs);
    addBar(file, "mnuFileBar1");
    connect(addItem(file, "mnuFilePageSetup", QStringLiteral("Page Set&up...")),
            &QAction::triggered, this, &MainForm::filePageSetup);
    connect(addItem(file, "mnuFilePrint", QStringLiteral("&Print...")), &QAction::triggered, this,
            &MainForm::filePrint);
    addBar(file, "mnuFileBar4");
    connect(addItem(file, "mnuFileExit", QStringLiteral("E&xit")), &QAction::triggered, this,
            &QWidget::close);

    QMenu* edit = addMenu(bar, "mnuEdit", QStringLiteral("编辑"));
    connect(addItem(edit, "mnuEditCut", QStringLiteral("Cu&t"), QKeySequence(Qt::CTRL | Qt::Key_X)),
            &QAction::triggered, this, &MainForm::editCut);
    connect(
        addItem(edit, "mnuEditCopy", QStringLiteral("&Copy"), QKeySequence(Qt::CTRL | Qt::Key_C)),
        &QAction::triggered, this, &MainForm::editCopy);
    connect(
        addItem(edit, "mnuEditPaste", QStringLiteral("&Paste"), QKeySequence(Qt::CTRL | Qt::Key_V)),
        &QAction::triggered, this, &MainForm::editPaste);

    QMenu* record = addMenu(bar, "txtbook", QStringLiteral("记录"));
    connect(addItem(record, "savetxt", QStringLiteral("保存记录的内容")), &QAction::triggered, this,
            &MainForm::saveRecordedContent);

    QMenu* pipes = addMenu(bar, "sgzlss", QStringLiteral("水管阻力损失计算部分"));
    connect(addItem(pipes, "sgyzss", QStringLiteral("水管沿程阻力损失计算")), &QAction::triggered,
            this, [this] { showChild<FrictionLossForm>(); });
    connect(addItem(pipes, "sgjzss", QStringLiteral("水管局部阻力损失计算")), &QAction::triggered,
            this, [this] { showChild<LocalLossForm>(); });

    // The reference tables have no opening command yet.
    QMenu* lookup = addMenu(bar, "gcsjk", QStringLiteral("供查数据库"));
    addItem(lookup, "ccdb", QStringLiteral("不同材料管道粗糙度值表"));
    addItem(lookup, "tjssb", QStringLiteral("推荐水速表"));
    addItem(lookup, "sbzlssb", QStringLiteral("设备阻力损失表"));

    QMenu* view = addMenu(bar, "mnuView", QStringLiteral("视图"));
    viewToolbar_ = addItem(view, "mnuViewToolbar", QStringLiteral("&Toolbar"));
    viewToolbar_->setCheckable(true);
    viewToolbar_->setChecked(true);
    connect(viewToolbar_, &QAction::triggered, this,
            [this](bool checked) { toolBar_->setVisible(checked); });
    viewStatusBar_ = addItem(view, "mnuViewStatusBar", QStringLiteral("Status &Bar"));
    viewStatusBar_->setCheckable(true);
    viewStatusBar_->setChecked(true);
    connect(viewStatusBar_, &QAction::triggered, this,
            [this](bool checked) { statusBar_->setVisible(checked); });

    QMenu* help = addMenu(bar, "mnuHelp", QStringLiteral("帮助"));
    connect(addItem(help, "hlp", QStringLiteral("帮助内容")), &QAction::triggered, this,
            [this] { showChild<HelpForm>(); });
    connect(addItem(help, "mnuHelpContents", QStringLiteral("关于Quorvel")), &QAction::triggered,
            this, [this] { showChild<AboutForm>(); });
}

void MainForm::buildToolBar() {
    toolBar_ = new QToolBar(this);
    toolBar_->setObjectName(QStringLiteral("tbToolBar"));
    toolBar_->setMovable(false);
    toolBar_->setFloatable(false);
    toolBar_->setIconSize(QSize(16, 16));
    addToolBar(Qt::TopToolBarArea, toolBar_);

    alignGroup_ = new QActionGroup(this);
    alignGroup_->setObjectName(QStringLiteral("alignGroup"));
    alignGroup_->setExclusive(true);

    int position = 0;
    for (const ToolButton& b : kToolButtons) {
        ++position;
        if (!b.icon) {
            toolBar_->addSeparator()->setObjectName(QStringLiteral("tbSeparator%1").arg(position));
            continue;
        }
        const QString key = QString::fromLatin1(b.key);
        QAction* button = toolBar_->addAction(
            QIcon(QStringLiteral(":/toolbar/icons/%1.xpm").arg(QLatin1String(b.icon))), key);
        button->setObjectName(key);
        button->setToolTip(key);
        if (position >= 15) {
            button->setCheckable(true);
            alignGroup_->addAction(button);
        }
    }
    connect(toolBar_, &QToolBar::actionTriggered, this, &MainForm::toolbarClick);
}

void MainForm::toolbarClick(QAction* button) {
    using Command = void (MainForm::*)();
    struct Match {
        const char* key;
        Command command;  // nullptr: the button does nothing
    };
    static const Match kOrder[] = {
        {"New", nullptr},
        {"Open", &MainForm::fileOpen},
        {"Save", &MainForm::fileSaveAs},
        {"Print", &MainForm::filePrint},
        {"Cut", &MainForm::editCut},
        {"Copy", &MainForm::editCopy},
        {"Paste", &MainForm::editPaste},
        {"Bold", &MainForm::formatBold},
        {"Italic", &MainForm::formatItalic},
        {"Underline", &MainForm::formatUnderline},
        {"Align Left", &MainForm::alignLeft},
        {"Center", &MainForm::alignCenter},
        {"Align Right", &MainForm::alignRight},
    };
    const QString key = button->objectName();
    for (const Match& m : kOrder) {
        if (key != QLatin1String(m.key)) continue;
        // The toolbar shows no messages: a failing command just ends.
        try {
            if (m.command) (this->*m.command)();
        } catch (const std::exception&) {
        } catch (...) {
        }
        return;
    }
}

void MainForm::buildStatusBar() {
    statusBar_ = new QStatusBar(this);
    statusBar_->setObjectName(QStringLiteral("sbStatusBar"));
    setStatusBar(statusBar_);

    panels_ = new StatusPanels(twipsToPixels(kPanelMinTwips, screenDpi()), statusBar_);
    // Permanent: a temporary message of the status bar never hides the panels.
    statusBar_->addPermanentWidget(panels_, 1);
}

void MainForm::loadPosition() {
    const double dpi = screenDpi();
    const MainPosition read = readMainPosition(settings_);
    const QRect stored = positionToPixels(read, dpi);
    QList<QRect> available;
    QRect desktop;
    for (const QScreen* screen : QGuiApplication::screens()) {
        available.append(screen->availableGeometry());
        desktop |= screen->geometry();
    }
    // No window grows beyond the desktop, as on the desktop the settings were written for: a
    // stored size of millions of pixels would otherwise take minutes and gigabytes to draw.
    const QSize size = desktop.isEmpty() ? stored.size() : stored.size().boundedTo(desktop.size());
    const QRect placed = reachablePlacement(QRect(stored.topLeft(), size), available,
                                            positionToPixels(MainPosition{}, dpi).topLeft());
    // What was placed, in twips: the values read where they were used as they are, the
    // defaults where the window was moved to the default corner.
    const MainPosition defaults;
    loadedPosition_ = read;
    if (placed.topLeft() != stored.topLeft()) {
        loadedPosition_.left = defaults.left;
        loadedPosition_.top = defaults.top;
    }
    if (placed.width() != stored.width())
        loadedPosition_.width = static_cast<float>(pixelsToTwips(placed.width(), dpi));
    if (placed.height() != stored.height())
        loadedPosition_.height = static_cast<float>(pixelsToTwips(placed.height(), dpi));
    loadedPixels_ = placed;
    // Left and top place the outer frame; width and height are the window's own size, so that
    // a size stored at closing comes back unchanged whatever the window decorations measure.
    move(placed.topLeft());
    resize(placed.size());
}

void MainForm::storePosition() {
    if (isMinimized()) return;
    const QRect now(pos(), size());
    // Twips are finer than pixels: an edge the user did not move keeps the twips it was loaded
    // with, so that 1000 stays 1000 instead of drifting to the nearest whole pixel, 1005.
    MainPosition position = pixelsToPosition(now, screenDpi());
    if (now.left() == loadedPixels_.left()) position.left = loadedPosition_.left;
    if (now.top() == loadedPixels_.top()) position.top = loadedPosition_.top;
    if (now.width() == loadedPixels_.width()) position.width = loadedPosition_.width;
    if (now.height() == loadedPixels_.height()) position.height = loadedPosition_.height;
    writeMainPosition(settings_, position);
    // A store that cannot be written loses only the window position; the program ends
    // anyway.
    settings_.flush();
}

void MainForm::closeEvent(QCloseEvent* event) {
    // Each child runs its own closing steps and may refuse, for example to keep unsaved
    // data; then the main window stays open. Children closed before the refusal stay closed.
    for (QMdiSubWindow* sub : mdiArea_->subWindowList()) {
        // A frame closed earlier in this round of events has run its closing steps already.
        if (const auto* child = qobject_cast<ChildWindow*>(sub); child && child->isClosed())
            continue;
        if (!sub->close()) {
            event->ignore();
            return;
        }
    }
    storePosition();
    event->accept();
}

void MainForm::setCaptionPanelText(const QString& text) {
    panels_->setPanelText(StatusPanels::Caption, text);
}

QWidget* MainForm::showChild(const QString& key, const std::function<QWidget*()>& create) {
    ChildWindow* sub = children_.value(key);
    // A frame that has closed waits for its deletion; the next opening starts afresh.
    if (!sub || sub->isClosed() || !sub->widget()) {
        QWidget* window = create();
        sub = new ChildWindow(window);
        if (!window->testAttribute(Qt::WA_SetWindowIcon)) sub->setWindowIcon(blankIcon());
        mdiArea_->addSubWindow(sub);
        sub->fitToWindow();
        children_.insert(key, sub);
        sub->show();
    } else {
        if (sub->isMinimized()) sub->showNormal();
        sub->show();
    }
    mdiArea_->setActiveSubWindow(sub);
    sub->raise();
    return sub->widget();
}

QWidget* MainForm::activeChild() const {
    // The current sub-window stays current while a dialog of the program has the focus.
    const QMdiSubWindow* sub = mdiArea_->currentSubWindow();
    return sub ? sub->widget() : nullptr;
}

Prompter& MainForm::prompter() { return prompter_; }
