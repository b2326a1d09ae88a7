#pragma once

#include <QRect>
#include <QString>
#include <optional>

class Prompter;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// Pieces the calculation screens share: their controls, the texts of their common messages,
// and the reading of an input box.
namespace formparts {

inline const QString PromptTitle = QStringLiteral("提示");
inline const QString MissingParameters = QStringLiteral("你还没输入参数呢！现在输入？");
inline const QString ClearQuestion = QStringLiteral("各数据将被删除，确定吗？");
inline const QString ClearTitle = QStringLiteral("警告！！！");
inline const QString ComputeText = QStringLiteral("计算");
inline const QString RecomputeText = QStringLiteral("重算");
inline const QString ExitText = QStringLiteral("退出");
inline const QString RecordText = QStringLiteral("记入表格");

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, const QRect& geometry,
                  Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter);
QLineEdit* makeBox(QWidget* parent, const char* name, const QString& text, const QRect& geometry);
// A button that Enter presses while it has the focus, as on a dialog.
QPushButton* makeButton(QWidget* parent, const char* name, const QString& text,
                        const QRect& geometry);

// The text with the full-width digits, signs, point and blanks that a Chinese input method
// types (５０, －, ．, 。, ｅ) in their ASCII forms; other characters stay as they are.
QString asciiNumberText(const QString& text);

// The box's text as a 32-bit number, full-width forms read as their ASCII ones. When it is not a
// number or out of range, tells the user which box (by its label) and what it holds, and returns
// nothing.
std::optional<float> readSingle(Prompter& prompter, const QLabel* label, const QLineEdit* box);

}  // namespace formparts
