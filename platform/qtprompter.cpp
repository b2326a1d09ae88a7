#include "platform/qtprompter.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QStringList>

namespace {

QString qtPatterns(const QString& patterns) {
    QStringList list = patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (QString& p : list) {
        p = p.trimmed();
        if (p == QLatin1String("*.*")) p = QStringLiteral("*");
    }
    return list.join(QLatin1Char(' '));
}

}  // namespace

QString qtFileFilter(const QString& commonDialogFilter) {
    if (!commonDialogFilter.contains(QLatin1Char('|'))) return commonDialogFilter;
    const QStringList parts = commonDialogFilter.split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        const QString patterns = qtPatterns(parts[i + 1]);
        // Qt reads the patterns from a trailing "(...)" of the description. A description
        // that already ends in exactly these patterns is shown as it is; any other (a
        // full-width "（", "*.*") gets the patterns Qt should use appended.
        static const QRegularExpression trailing(QStringLiteral("\\(([^()]*)\\)$"));
        const QRegularExpressionMatch own = trailing.match(description);
        if (own.hasMatch() && own.captured(1).simplified() == patterns)
            entries.append(description);
        else
            entries.append(description + QStringLiteral(" (") + patterns + QLatin1Char(')'));
    }
    return entries.join(QStringLiteral(";;"));
}

QWidget* QtPrompter::dialogParent() const {
    return mainWindow_ ? mainWindow_.data() : QApplication::activeWindow();
}

PromptAnswer QtPrompter::ask(const QString& text, const QString& title, PromptButtons buttons) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::NoButton, dialogParent());
    box.setTextFormat(Qt::PlainText);
    switch (buttons) {
        case PromptButtons::YesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setDefaultButton(QMessageBox::Yes);
            box.setEscapeButton(QMessageBox::No);
            break;
        case PromptButtons::Ok:
            box.setStandardButtons(QMessageBox::Ok);
            box.setDefaultButton(QMessageBox::Ok);
            box.setEscapeButton(QMessageBox::Ok);
            break;
        case PromptButtons::OkCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            box.setDefaultButton(QMessageBox::Ok);
            box.setEscapeButton(QMessageBox::Cancel);
            break;
        case PromptButtons::YesNoCancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            box.setDefaultButton(QMessageBox::Yes);
            box.setEscapeButton(QMessageBox::Cancel);
            break;
    }
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    const QMessageBox::StandardButton chosen =
        clicked ? box.standardButton(clicked) : QMessageBox::NoButton;
    switch (chosen) {
        case QMessageBox::Yes:
            return PromptAnswer::Yes;
        case QMessageBox::Ok:
            return PromptAnswer::Ok;
        case QMessageBox::Cancel:
            return PromptAnswer::Cancel;
        case QMessageBox::No:
            return PromptAnswer::No;
        default:
            return buttons == PromptButtons::YesNo ? PromptAnswer::No
                   : buttons == PromptButtons::Ok  ? PromptAnswer::Ok
                                                   : PromptAnswer::Cancel;
    }
}

QString QtPrompter::openFileName(const QString& title, const QString& filter) {
    return QFileDialog::getOpenFileName(dialogParent(), title, QString(), qtFileFilter(filter));
}

QString QtPrompter::saveFileName(const QString& title, const QString& filter,
                                 const QString& startPath) {
    return QFileDialog::getSaveFileName(dialogParent(), title, startPath, qtFileFilter(filter),
                                        nullptr, QFileDialog::DontConfirmOverwrite);
}

bool QtPrompter::choosePrinter(QPrinter& printer, const QString& title) {
    QPrintDialog dialog(&printer, dialogParent());
    dialog.setWindowTitle(title);
    // The program never prints page ranges; a selection is offered only when the caller
    // preset one on the printer.
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection,
                     printer.printRange() == QPrinter::Selection);
    return dialog.exec() == QDialog::Accepted;
}

bool QtPrompter::setupPrinter(QPrinter& printer, const QString& title) {
    QPrintDialog dialog(&printer, dialogParent());
    dialog.setWindowTitle(title);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    return dialog.exec() == QDialog::Accepted;
}
