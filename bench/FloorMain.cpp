// The start-up floor: the least a Qt program must do to show a dialog of the
// editor's size with one text in it. startup.sh measures the editor against
// it, so it does nothing that the toolkit does not need.

#include "Resource.h"
#include "ResourceTypes.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>

namespace {

// Dialog units to pixels with the editor's fixed base units 6 x 13, rounded
// to the nearest pixel as the editor rounds them.
int ToPixels(int units, int base, int per) {
    return (units * base + per / 2) / per;
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);

    int cx = 453;
    int cy = 349;
    QString caption;
    for (const DialogTemplate& tpl : DialogTemplates()) {
        if (tpl.id == IDD_EDITOR_DIALOG) {
            cx = ToPixels(tpl.cx, 6, 4);
            cy = ToPixels(tpl.cy, 13, 8);
            caption =
                QString::fromUtf8(tpl.caption.data(), static_cast<qsizetype>(tpl.caption.size()));
        }
    }

    QDialog dialog;
    dialog.setWindowTitle(caption);
    dialog.setFixedSize(cx, cy);
    QLabel text(QStringLiteral("Draw a sprite, then make its code."), &dialog);
    text.move(16, 16);
    text.adjustSize();
    dialog.show();
    return QApplication::exec();
}
