#pragma once

#include <QString>

// The faces the windows ask for, by the Windows names their layouts were made with.
inline const QString SongFace = QStringLiteral("宋体");         // the plain text face
inline const QString LiShuFace = QStringLiteral("隶书");        // a brush face, for titles
inline const QString XingKaiFace = QStringLiteral("华文行楷");  // a running-hand brush face

// Linux lacks those faces; map them to the installed CJK faces. Call once after the
// application object exists.
void installFontSubstitutions();
