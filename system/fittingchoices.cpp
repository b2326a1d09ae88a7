#include "system/fittingchoices.h"

#include <QRegularExpression>

#include "core/numbertext.h"
#include "screens/coefficienttables.h"

namespace {

QString tidy(const char* text) { return QString::fromUtf8(text).simplified().remove(u' '); }

// The column of a table by diameter for a section: the largest listed diameter the section
// reaches, or the first column for a smaller or unsized section.
template <typename Columns>
std::size_t columnFor(const Columns& diameters, double nominalDiameter) {
    std::size_t chosen = 0;
    for (std::size_t i = 0; i < diameters.size(); ++i)
        if (numbertext::leadingNumber(diameters[i]) <= nominalDiameter) chosen = i;
    return chosen;
}

bool isFigure(const char* text) { return numbertext::parseSingle(text).ok(); }

}  // namespace

QList<FittingChoice> fittingChoices(double nominalDiameter) {
    using namespace coefficienttables;
    QList<FittingChoice> choices;
    for (const SingleValueRow& row : TableA) {
        QString name = tidy(row.fitting) + tidy(row.reference);
        if (row.ends) name += QLatin1Char(' ') + tidy(row.ends);
        choices.append({name, QString::fromUtf8(row.value)});
    }
    const std::size_t b = columnFor(TableBDiameters, nominalDiameter);
    for (const DiameterRow& row : TableB) {
        if (!isFigure(row.values[b])) continue;
        QString name = tidy(row.fitting);
        if (row.angle) name = QString::fromUtf8(row.angle) + QStringLiteral("°") + name;
        name += QStringLiteral("（DN%1）").arg(QString::fromUtf8(TableBDiameters[b]));
        choices.append({name, QString::fromUtf8(row.values[b])});
    }
    const std::size_t c = columnFor(TableCDiameters, nominalDiameter);
    choices.append({QString::fromUtf8(TableCFitting) +
                        QStringLiteral("（DN%1）").arg(QString::fromUtf8(TableCDiameters[c])),
                    QString::fromUtf8(TableCValues[c])});
    return choices;
}

QString upperLossText(const QString& lossText) {
    static const QRegularExpression Figure(QStringLiteral("[0-9]+(\\.[0-9]+)?"));
    QString last;
    for (auto it = Figure.globalMatch(lossText); it.hasNext();) last = it.next().captured();
    return last;
}
