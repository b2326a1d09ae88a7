#include "platform/fonts.h"

#include <QFont>
#include <QStringList>

void installFontSubstitutions() {
    // 宋体 is a Song (Ming) face; 隶书 and 华文行楷 are brush faces, for which the Kai face is
    // the closest calligraphic one installed.
    const QStringList song{QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC")};
    const QStringList brush{QStringLiteral("AR PL UKai CN"), QStringLiteral("AR PL UKai TW"),
                            QStringLiteral("Noto Serif CJK SC")};
    for (const char* name : {"宋体", "SimSun", "新宋体", "NSimSun"})
        QFont::insertSubstitutions(QString::fromUtf8(name), song);
    for (const char* name :
         {"隶书", "LiSu", "华文行楷", "STXingkai", "楷体", "KaiTi", "楷体_GB2312"})
        QFont::insertSubstitutions(QString::fromUtf8(name), brush);
}
