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
#include <QPrinter>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>

#include "notebook/notebookform.h"
#include "platform/documentwindow.h"
#include "platform/prompter.h"
#include "platform/settingsstore.h"
#include "platform/twips.h"
#include "reference/equipmentlossform.h"
#include "reference/lookupdatabaseform.h"
#include "screens/frictionlossform.h"
#include "screens/locallossform.h"
#include "shell/childwindow.h"
#include "shell/mainposition.h"
#include "shell/statuspanels.h"
#include "startup/aboutform.h"
#include "startup/helpform.h"
#include "system/systemsheetform.h"

// Resources of a static library are registered by hand; Q_INIT_RESOURCE must be called
// outside any namespace.
static void registerToolbarIcons() { Q_INIT_RESOURCE(toolbaricons); }

namespace {

const QString Caption = QStringLiteral("Quorvel管理界面");
const QString PageSetupTitle = QStringLiteral("Page Setup");

// Minimum width of every status bar panel, twips.
constexpr double PanelMinTwips = 2540;

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

QMenu* addMenu(QMenuBar* bar, const char* name, const QString& caption) {
    QMenu* menu = bar->addMenu(caption);
    menu->setObjectName(QString::fromUtf8(name));
    menu->menuAction()->setObjectName(QString::fromUtf8(name) + QStringLiteral("Action"));
    return menu;
}

void addBar(QMenu* menu, const char* name) {
    menu->addSeparator()->setObjectName(QString::fromUtf8(name));
}

}  // namespace

MainForm::MainForm(Prompter& prompter, SettingsStore& settings, QWidget* parent)
    : QMainWindow(parent), prompter_(prompter), settings_(settings) {
    registerToolbarIcons();
    setObjectName(QStringLiteral("fMainform_计算管理界面"));
    setWindowTitle(Caption);
    // The toolbar and status bar are shown and hidden through the View menu only, so that its
    // check marks always match.
    setContextMenuPolicy(Qt::NoContextMenu);

    mdiArea_ = new QMdiArea(this);
    mdiArea_->setObjectName(QStringLiteral("mdiArea"));
    // The calculation screens are larger than the default 6500-twip frame: scroll to them.
    mdiArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdiArea_);
    mdiArea_->installEventFilter(this);

    createActions();
    buildMenus();
    buildToolBar();
    buildStatusBar();
    loadPosition();
}

MainForm::~MainForm() = default;

QAction* MainForm::newAction(const char* name, const QString& caption,
                             const QKeySequence& shortcut) {
    auto* action = new QAction(caption, this);
    action->setObjectName(QString::fromUtf8(name));
    action->setShortcut(shortcut);
    return action;
}

QAction* MainForm::newToolAction(const char* name, const QString& caption, const char* key,
                                 const char* icon, const QKeySequence& shortcut) {
    QAction* action = newAction(name, caption, shortcut);
    const QString keyText = QString::fromLatin1(key);
    action->setIcon(QIcon(QStringLiteral(":/toolbar/icons/%1.xpm").arg(QLatin1String(icon))));
    // The menus show no pictures; the toolbar button shows its key as its tip.
    action->setIconVisibleInMenu(false);
    action->setToolTip(keyText);
    action->setData(keyText);
    return action;
}

void MainForm::createActions() {
    actions_.fileNew = newToolAction("mnuFileNew", QStringLiteral("&新建"), "New", "new",
                                     QKeySequence(Qt::CTRL | Qt::Key_N));
    connect(actions_.fileNew, &QAction::triggered, this, [this] { showChild<NotebookForm>(); });
    actions_.fileOpen = newToolAction("mnuFileOpen", QStringLiteral("&打开..."), "Open", "open",
                                      QKeySequence(Qt::CTRL | Qt::Key_O));
    connect(actions_.fileOpen, &QAction::triggered, this, [this] {
        if (DocumentWindow* document = activeDocument())
            document->openDocument();
        else
            openWithoutDocument();
    });
    actions_.fileSaveAs =
        newToolAction("mnuFileSaveAs", QStringLiteral("保存为..."), "Save", "save");
    connect(actions_.fileSaveAs, &QAction::triggered, this, [this] {
        if (DocumentWindow* document = activeDocument())
            document->saveDocumentAs();
        else
            saveAsWithoutDocument();
    });
    actions_.filePageSetup = newAction("mnuFilePageSetup", QStringLiteral("Page Set&up..."));
    // Works without any window open: the choices wait for the next Print.
    connect(actions_.filePageSetup, &QAction::triggered, this,
            [this] { prompter_.setupPrinter(printer(), PageSetupTitle); });
    actions_.filePrint =
        newToolAction("mnuFilePrint", QStringLiteral("&Print..."), "Print", "print");
    connect(actions_.filePrint, &QAction::triggered, this, [this] {
        if (DocumentWindow* document = activeDocument()) document->printDocument(printer());
    });
    actions_.fileExit = newAction("mnuFileExit", QStringLiteral("E&xit"));
    connect(actions_.fileExit, &QAction::triggered, this, &QWidget::close);

    actions_.editCut = newToolAction("mnuEditCut", QStringLiteral("Cu&t"), "Cut", "cut",
                                     QKeySequence(Qt::CTRL | Qt::Key_X));
    connect(actions_.editCut, &QAction::triggered, this,
            [this] { onDocument(&DocumentWindow::cut); });
    actions_.editCopy = newToolAction("mnuEditCopy", QStringLiteral("&Copy"), "Copy", "copy",
                                      QKeySequence(Qt::CTRL | Qt::Key_C));
    connect(actions_.editCopy, &QAction::triggered, this,
            [this] { onDocument(&DocumentWindow::copy); });
    actions_.editPaste = newToolAction("mnuEditPaste", QStringLiteral("&Paste"), "Paste", "paste",
                                       QKeySequence(Qt::CTRL | Qt::Key_V));
    connect(actions_.editPaste, &QAction::triggered, this,
            [this] { onDocument(&DocumentWindow::paste); });

    actions_.saveRecorded = newAction("savetxt", QStringLiteral("保存记录的内容"));
    connect(actions_.saveRecorded, &QAction::triggered, this,
            [this] { onDocument(&DocumentWindow::saveRecordedContent); });

    // The format buttons live on the toolbar only: their key is their name.
    const struct {
        const char* key;
        const char* icon;
        DocumentWindow::Attribute attribute;
    } attributes[] = {{"Bold", "bold", DocumentWindow::Attribute::Bold},
                      {"Italic", "italic", DocumentWindow::Attribute::Italic},
                      {"Underline", "underline", DocumentWindow::Attribute::Underline}};
    for (const auto& a : attributes) {
        QAction* action = newToolAction(a.key, QString::fromLatin1(a.key), a.key, a.icon);
        action->setCheckable(true);
        const DocumentWindow::Attribute attribute = a.attribute;
        // The button shows what the selection reads back as after the click, whatever the
        // click made of the button itself; with no document it stays as it was.
        connect(action, &QAction::triggered, this, [this, action, attribute](bool checked) {
            DocumentWindow* document = activeDocument();
            const std::optional<bool> state =
                document ? document->toggleAttribute(attribute) : std::nullopt;
            action->setChecked(state ? *state : !checked);
        });
        actions_.attributes.append(action);
    }

    alignGroup_ = new QActionGroup(this);
    alignGroup_->setObjectName(QStringLiteral("alignGroup"));
    alignGroup_->setExclusive(true);
    const struct {
        const char* key;
        const char* icon;
        Qt::Alignment alignment;
    } alignments[] = {{"Align Left", "alignleft", Qt::AlignLeft},
                      {"Center", "center", Qt::AlignHCenter},
                      {"Align Right", "alignright", Qt::AlignRight}};
    for (const auto& a : alignments) {
        QAction* action = newToolAction(a.key, QString::fromLatin1(a.key), a.key, a.icon);
        action->setCheckable(true);
        alignGroup_->addAction(action);
        const Qt::Alignment alignment = a.alignment;
        connect(action, &QAction::triggered, this, [this, alignment] {
            if (DocumentWindow* document = activeDocument()) document->setAlignment(alignment);
        });
        actions_.alignments.append(action);
    }

    actions_.frictionScreen = newAction("sgyzss", QStringLiteral("水管沿程阻力损失计算"));
    connect(actions_.frictionScreen, &QAction::triggered, this,
            [this] { showChild<FrictionLossForm>(); });
    actions_.localScreen = newAction("sgjzss", QStringLiteral("水管局部阻力损失计算"));
    connect(actions_.localScreen, &QAction::triggered, this,
            [this] { showChild<LocalLossForm>(); });
    actions_.systemSheet = newAction("sgxtjs", QStringLiteral("水系统水力计算"));
    connect(actions_.systemSheet, &QAction::triggered, this,
            [this] { showChild<SystemSheetForm>(); });

    actions_.roughnessTable = newAction("ccdb", QStringLiteral("不同材料管道粗糙度值表"));
    connect(actions_.roughnessTable, &QAction::triggered, this,
            [this] { showChild<LookupDatabaseForm>()->showPage(2); });
    actions_.waterVelocityTable = newAction("tjssb", QStringLiteral("推荐水速表"));
    connect(actions_.waterVelocityTable, &QAction::triggered, this,
            [this] { showChild<LookupDatabaseForm>()->showPage(5); });
    actions_.equipmentLossTable = newAction("sbzlssb", QStringLiteral("设备阻力损失表"));
    connect(actions_.equipmentLossTable, &QAction::triggered, this,
            [this] { showChild<EquipmentLossForm>(); });

    actions_.viewToolbar = newAction("mnuViewToolbar", QStringLiteral("&Toolbar"));
    actions_.viewToolbar->setCheckable(true);
    actions_.viewToolbar->setChecked(true);
    connect(actions_.viewToolbar, &QAction::triggered, this,
            [this](bool checked) { toolBar_->setVisible(checked); });
    actions_.viewStatusBar = newAction("mnuViewStatusBar", QStringLiteral("Status &Bar"));
    actions_.viewStatusBar->setCheckable(true);
    actions_.viewStatusBar->setChecked(true);
    connect(actions_.viewStatusBar, &QAction::triggered, this,
            [this](bool checked) { statusBar_->setVisible(checked); });

    actions_.helpContents = newAction("hlp", QStringLiteral("帮助内容"));
    connect(actions_.helpContents, &QAction::triggered, this, [this] { showChild<HelpForm>(); });
    actions_.about = newAction("mnuHelpContents", QStringLiteral("关于Quorvel"));
    connect(actions_.about, &QAction::triggered, this, [this] { showChild<AboutForm>(); });
}

void MainForm::buildMenus() {
    QMenuBar* bar = menuBar();

    QMenu* file = addMenu(bar, "mnuFile", QStringLiteral("文件"));
    file->addAction(actions_.fileNew);
    file->addAction(actions_.fileOpen);
    addBar(file, "mnuFileBar0");
    file->addAction(actions_.fileSaveAs);
    addBar(file, "mnuFileBar1");
    file->addAction(actions_.filePageSetup);
    file->addAction(actions_.filePrint);
    addBar(file, "mnuFileBar4");
    file->addAction(actions_.fileExit);

    QMenu* edit = addMenu(bar, "mnuEdit", QStringLiteral("编辑"));
    edit->addActions({actions_.editCut, actions_.editCopy, actions_.editPaste});

    addMenu(bar, "txtbook", QStringLiteral("记录"))->addAction(actions_.saveRecorded);

    addMenu(bar, "sgzlss", QStringLiteral("水管阻力损失计算部分"))
        ->addActions({actions_.frictionScreen, actions_.localScreen, actions_.systemSheet});

    addMenu(bar, "gcsjk", QStringLiteral("供查数据库"))
        ->addActions(
            {actions_.roughnessTable, actions_.waterVelocityTable, actions_.equipmentLossTable});

    addMenu(bar, "mnuView", QStringLiteral("视图"))
        ->addActions({actions_.viewToolbar, actions_.viewStatusBar});

    addMenu(bar, "mnuHelp", QStringLiteral("帮助"))
        ->addActions({actions_.helpContents, actions_.about});
}

void MainForm::buildToolBar() {
    toolBar_ = new QToolBar(this);
    toolBar_->setObjectName(QStringLiteral("tbToolBar"));
    toolBar_->setMovable(false);
    toolBar_->setFloatable(false);
    toolBar_->setIconSize(QSize(16, 16));
    addToolBar(Qt::TopToolBarArea, toolBar_);

    int position = 0;
    const auto add = [&](const QList<QAction*>& actions) {
        for (QAction* action : actions) {
            ++position;
            toolBar_->addAction(action);
            // The button itself carries the key, so that it is found by the key as before.
            toolBar_->widgetForAction(action)->setObjectName(action->data().toString());
        }
    };
    const auto separate = [&] {
        ++position;
        toolBar_->addSeparator()->setObjectName(QStringLiteral("tbSeparator%1").arg(position));
    };
    add({actions_.fileNew, actions_.fileOpen, actions_.fileSaveAs});
    separate();
    add({actions_.filePrint});
    separate();
    add({actions_.editCut, actions_.editCopy, actions_.editPaste});
    separate();
    add(actions_.attributes);
    separate();
    add(actions_.alignments);
}

DocumentWindow* MainForm::activeDocument() const {
    return dynamic_cast<DocumentWindow*>(activeChild());
}

void MainForm::onDocument(void (DocumentWindow::*command)()) {
    if (DocumentWindow* document = activeDocument()) (document->*command)();
}

void MainForm::openWithoutDocument() {
    if (activeChild())
        NotebookForm::refuseForeignWindow(prompter_);
    else
        NotebookForm::openInNotebook(*this);
}

void MainForm::saveAsWithoutDocument() {
    // A calculation screen has nothing to save as a document; saying so beats naming it after
    // a file that was never written.
    if (activeChild()) NotebookForm::refuseForeignWindow(prompter_);
}

QPrinter& MainForm::printer() {
    if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer_;
}

void MainForm::buildStatusBar() {
    statusBar_ = new QStatusBar(this);
    statusBar_->setObjectName(QStringLiteral("sbStatusBar"));
    setStatusBar(statusBar_);

    panels_ = new StatusPanels(twipsToPixels(PanelMinTwips, screenDpi()), statusBar_);
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
    // Left and top place the outer frame. Width and height are the outer size too; the frame
    // around the window is known only once the window system has shown it, so until then
    // the client takes the whole size, and fitOuterSize() takes the frame off afterwards.
    move(placed.topLeft());
    resize(placed.size());
}

bool MainForm::hasRealFrame() {
    // The headless platforms draw no frame; the one they report is made up.
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

QSize MainForm::outerSize() const {
    // Where no window frame exists, the window is its own outer size.
    return hasRealFrame() ? frameGeometry().size() : size();
}

void MainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (frameFitted_) return;
    frameFitted_ = true;
    // The window manager frames the window a moment after it is shown; look a few times.
    for (int delay : {0, 50, 150, 400, 1000})
        QTimer::singleShot(delay, this, &MainForm::fitOuterSize);
}

void MainForm::fitOuterSize() {
    if (outerFitted_ || !hasRealFrame() || isMaximized() || isMinimized() || isFullScreen()) return;
    const QSize frame = frameGeometry().size() - size();
    if (frame.isEmpty() && frame.width() <= 0 && frame.height() <= 0) return;
    outerFitted_ = true;
    // Only a size the user has not changed in between.
    if (size() != loadedPixels_.size()) return;
    resize(loadedPixels_.size() - frame);
}

void MainForm::storePosition() {
    if (isMinimized()) return;
    const QRect now(pos(), outerSize());
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
        QMdiSubWindow* previous = openChildren() == 0 ? nullptr : mdiArea_->currentSubWindow();
        mdiArea_->addSubWindow(sub);
        sub->fitToWindow();
        children_.insert(key, sub);
        sub->show();
        // The first child opens at the top left of what the user sees of the frame. A later
        // one keeps the place the area found for it when that is in view, and otherwise
        // cascades from the active child, one title bar lower and to the right.
        QPoint placed = sub->pos();
        if (!previous)
            placed = QPoint(0, 0);
        else if (placed.x() < 0 || placed.y() < 0)
            placed = previous->pos() + QPoint(1, 1) * sub->style()->pixelMetric(
                                                          QStyle::PM_TitleBarHeight, nullptr, sub);
        sub->move(std::max(placed.x(), 0), std::max(placed.y(), 0));
    } else {
        if (sub->isMinimized()) sub->showNormal();
        sub->show();
    }
    mdiArea_->setActiveSubWindow(sub);
    sub->raise();
    return sub->widget();
}

int MainForm::openChildren() const {
    int open = 0;
    for (QMdiSubWindow* sub : mdiArea_->subWindowList()) {
        const auto* child = qobject_cast<ChildWindow*>(sub);
        if (!child || !child->isClosed()) ++open;
    }
    return open;
}

bool MainForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == mdiArea_ && event->type() == QEvent::Resize)
        // Once the area has its new size and its scroll bars their new ranges.
        QTimer::singleShot(0, this, &MainForm::keepChildrenInView);
    return QMainWindow::eventFilter(watched, event);
}

void MainForm::keepChildrenInView() {
    const QRect view = mdiArea_->viewport()->rect();
    for (QMdiSubWindow* sub : mdiArea_->subWindowList()) {
        if (sub->isMaximized() || sub->isMinimized()) continue;
        QRect frame = sub->geometry();
        // A child that fits is moved the least way that shows all of it.
        if (frame.width() <= view.width()) {
            if (frame.left() < view.left()) frame.moveLeft(view.left());
            if (frame.right() > view.right()) frame.moveRight(view.right());
        }
        if (frame.height() <= view.height()) {
            if (frame.top() < view.top()) frame.moveTop(view.top());
            if (frame.bottom() > view.bottom()) frame.moveBottom(view.bottom());
        }
        if (frame.topLeft() != sub->pos()) sub->move(frame.topLeft());
    }
}

void MainForm::activateChild(QWidget* window) {
    for (QMdiSubWindow* sub : mdiArea_->subWindowList()) {
        if (sub->widget() != window) continue;
        if (const auto* child = qobject_cast<ChildWindow*>(sub); child && child->isClosed()) return;
        mdiArea_->setActiveSubWindow(sub);
        return;
    }
}

QWidget* MainForm::activeChild() const {
    // The current sub-window stays current while a dialog of the program has the focus.
    const QMdiSubWindow* sub = mdiArea_->currentSubWindow();
    return sub ? sub->widget() : nullptr;
}

Prompter& MainForm::prompter() { return prompter_; }
