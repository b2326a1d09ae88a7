// The floor of bench/startup_compare.sh: the least a Qt program does to show a main window
// with Quorvel's Chinese menus in its font. It prints what the probe in app/main.cpp prints.
//   quorvel-startup-floor [WIDTHxHEIGHT]

#include <QApplication>
#include <QFont>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <cstdio>

#include "app/firstpaintprobe.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setFont(QFont(QStringLiteral("Noto Sans CJK SC"), 9));
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Quorvel管理界面"));
    QMenuBar* bar = window.menuBar();
    const char* const menus[][2] = {
        {"文件", "新建"},
        {"编辑", "剪切"},
        {"记录", "保存记录的内容"},
        {"水管阻力损失计算部分", "水管沿程阻力损失计算"},
        {"供查数据库", "推荐水速表"},
        {"视图", "Toolbar"},
        {"帮助", "帮助内容"},
    };
    for (const auto& menu : menus)
        bar->addMenu(QString::fromUtf8(menu[0]))->addAction(QString::fromUtf8(menu[1]));
    int width = 800, height = 600;
    if (argc > 1) std::sscanf(argv[1], "%dx%d", &width, &height);
    window.resize(width, height);
    window.installEventFilter(new FirstPaintProbe(&window));
    window.show();
    return QApplication::exec();
}
