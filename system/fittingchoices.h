#pragma once

#include <QList>
#include <QString>

// The fittings and valves of the local-loss reference tables, as one list to choose from for a
// section, each with the coefficient that applies at the section's nominal diameter.
struct FittingChoice {
    QString name;
    QString zeta;  // as printed in the table
};

// `nominalDiameter` in mm, 0 when the section has no size yet: the tables by diameter then give
// their first column. Fittings the tables give no coefficient for at that size are left out.
QList<FittingChoice> fittingChoices(double nominalDiameter);

// The upper figure of an equipment loss as the equipment list prints it ("20~50" gives "50",
// "7" gives "7"); empty when the text holds no figure.
QString upperLossText(const QString& lossText);
