#include "startup/aboutform.h"

#include <QFont>

#include "platform/childhost.h"
#include "platform/fonts.h"
#include "startup/infowindow.h"

namespace {

const QString Caption = QStringLiteral("关于Quorvel");
// The four leading spaces indent the paragraph.
const QString Text = QStringLiteral(
    "    由于本软件系本人匆忙中编制而成，因而存在许多不足，还请多多包涵！本软件还有待进一步改进，"
    "功能有待进一步完善，希望多提宝贵意见！并与本人联系。");
const QString ButtonCaption = QStringLiteral("确定");

// Twips.
constexpr InfoWindowLayout Layout{
    5400, 2760,              // client area
    360,  240,  4680, 1560,  // Label1
    2092, 2040, 1215, 420,   // Command1
};

}  // namespace

AboutForm::AboutForm(ChildHost&, QWidget* parent) : QWidget(parent) {
    QFont font(SongFace);
    font.setPointSizeF(10.5);
    buildInfoWindow(this, QStringLiteral("about"), Caption, Text, ButtonCaption, font, Layout);
}
