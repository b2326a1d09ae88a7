#pragma once

// The windows ask for Windows font names (宋体, 隶书, 华文行楷) that Linux lacks; map them to the
// installed CJK faces. Call once after the application object exists.
void installFontSubstitutions();
