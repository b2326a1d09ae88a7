#include "screens/formparts.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "core/numbertext.h"
#include "platform/prompter.h"

namespace formparts {
namespace {
const QString NotANumberMessage = QStringLiteral("“%1”中的“%2”不是有效的数字。");
const QString OutOfRangeMessage = QStringLiteral("“%1”中的“%2”超出了允许的数值范围。");
}  // namespace

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, const QRect& geometry,
                  Qt::Alignment alignment) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    label->setAlignment(alignment);
    return label;
}

QLineEdit* makeBox(QWidget* parent, const char* name, const QString& text, const QRect& geometry) {
    auto* box = new QLineEdit(text, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(geometry);
    return box;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& text,
                        const QRect& geometry) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    button->setAutoDefault(true);
    return button;
}

QString asciiNumberText(const QString& text) {
    QString folded = text;
    for (QChar& c : folded) {
        const char16_t u = c.unicode();
        // The full-width forms of the ASCII characters, as a Chinese input method types them.
        if (u >= 0xFF01 && u <= 0xFF5E)
            c = QChar(char16_t(u - 0xFEE0));
        else if (u == 0x3002 || u == 0xFF61)  // 。 as a decimal point
            c = QLatin1Char('.');
        else if (u == 0x2212)  // the minus sign
            c = QLatin1Char('-');
        else if (u == 0x3000)  // the ideographic space
            c = QLatin1Char(' ');
    }
    return folded;
}

std::optional<float> readSingle(Prompter& prompter, const QLabel* label, const QLineEdit* box) {
    const numbertext::ParsedSingle parsed =
        numbertext::parseSingle(asciiNumberText(box->text()).toStdString());
    if (parsed.ok()) return parsed.value;
    const QString& message =
        parsed.error == numbertext::ParseError::OutOfRange ? OutOfRangeMessage : NotANumberMessage;
    prompter.ask(message.arg(label->text(), box->text()), PromptTitle, PromptButtons::Ok);
    return std::nullopt;
}

}  // namespace formparts
