#include "startup/infowindow.h"

#include <QFont>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

#include "platform/windowframe.h"
#include "startup/twipsgeometry.h"

InfoWindowControls buildInfoWindow(QWidget* window, const QString& objectName,
                                   const QString& caption, const QString& text,
                                   const QString& buttonCaption, const QFont& font,
                                   const InfoWindowLayout& layout) {
    window->setObjectName(objectName);
    window->setWindowTitle(caption);
    setDialogFrame(window);
    window->setFixedSize(twipsSize(window, layout.clientWidth, layout.clientHeight));

    auto* label = new QLabel(text, window);
    label->setObjectName(QStringLiteral("Label1"));
    label->setFont(font);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(twipsRect(window, layout.labelLeft, layout.labelTop, layout.labelWidth,
                                 layout.labelHeight));

    auto* button = new QPushButton(buttonCaption, window);
    button->setObjectName(QStringLiteral("Command1"));
    button->setGeometry(twipsRect(window, layout.buttonLeft, layout.buttonTop, layout.buttonWidth,
                                  layout.buttonHeight));
    button->setDefault(true);
    QObject::connect(button, &QPushButton::clicked, window, &QWidget::close);
    return {label, button};
}
