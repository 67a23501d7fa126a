// The toolkit's headers most files of the widget layers read, precompiled
// once for each layer (see src/CMakeLists.txt).
#include "core.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QWidget>
