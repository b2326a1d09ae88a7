#pragma once

class QWidget;

// A fixed dialog border: a title bar with a close box and no minimize or maximize button. The
// main window's MDI area honours these hints; a top-level window gets the same decoration.
void setDialogFrame(QWidget* window);
