#include "startup/helpform.h"

#include <QFont>
#include <QLabel>
#include <QPalette>

#include "platform/childhost.h"
#include "platform/fonts.h"
#include "startup/infowindow.h"

namespace {

const QString Caption = QStringLiteral("帮助内容");
const QString Text = QStringLiteral("在编制中，请不要着急......！！！");
const QString ButtonCaption = QStringLiteral("退出");

// XingKaiFace is a brush face; where it is missing the font substitutions pick a Kai face.
constexpr double TextPoints = 14.25;
const QColor TextColour(255, 0, 0);

// Twips.
constexpr InfoWindowLayout Layout{
    5400, 2160,             // client area
    360,  360,  4680, 720,  // Label1
    2092, 1440, 1215, 420,  // Command1
};

}  // namespace

HelpForm::HelpForm(ChildHost&, QWidget* parent) : QWidget(parent) {
    QFont font(XingKaiFace);
    font.setPointSizeF(TextPoints);
    const InfoWindowControls controls =
        buildInfoWindow(this, QStringLiteral("help"), Caption, Text, ButtonCaption, font, Layout);
    QPalette palette = controls.label->palette();
    palette.setColor(QPalette::WindowText, TextColour);
    controls.label->setPalette(palette);
}
