// The dialog floor: the cheapest plain Qt program that shows the editor's
// window as it first appears. It has the same controls at the same places in
// the same font (radio buttons, the code box, the buttons, the name and
// height fields and the height's arrows), while the group frames and the
// static texts are painted by the dialog itself in its one paint call.
// startup.sh measures Glimmet against it beside the one-label floor; nothing
// of Glimmet's code is in it, only the template's numbers and texts.
//
// A press of the left button in a grid cell paints what the editor paints
// for it: the 10 x 10 cell black and the sprite pixel's 2 x 2 square of the
// preview black, both brought to the screen the plain way, by updating the
// two rectangles, so that startup.sh can compare the click's cost too.

#include "Resource.h"
#include "ResourceTypes.h"

#include <QApplication>
#include <QDialog>
#include <QFontDatabase>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include <algorithm>
#include <vector>

namespace {

// The editor's grid and preview, in client pixels, and the largest sprite.
constexpr int kCellSize = 10;
constexpr int kGridOrigin = 20;
constexpr int kColumns = 32;
constexpr int kRows = 16;
constexpr int kPreviewLeft = 280;
constexpr int kPreviewTop = 210;
constexpr int kPreviewScale = 2;

// Dialog units to pixels with the editor's fixed base units 6 x 13, each
// edge rounded to the nearest pixel.
int ToPixelsX(int units) {
    return (units * 6 + 2) / 4;
}
int ToPixelsY(int units) {
    return (units * 13 + 4) / 8;
}
QRect ToPixels(const ControlTemplate& ctl) {
    const int left = ToPixelsX(ctl.x);
    const int top = ToPixelsY(ctl.y);
    return QRect(left, top, ToPixelsX(ctl.x + ctl.cx) - left, ToPixelsY(ctl.y + ctl.cy) - top);
}

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The dialog paints the frames and the static texts; the other controls are
// widgets.
class FloorDialog : public QDialog {
public:
    explicit FloorDialog(const DialogTemplate& tpl) {
        setWindowTitle(Text(tpl.caption));
        setFixedSize(ToPixelsX(tpl.cx), ToPixelsY(tpl.cy));
        QLineEdit* lastEdit = nullptr;
        for (const ControlTemplate& ctl : tpl.controls) {
            const QRect at = ToPixels(ctl);
            switch (ctl.kind) {
            case ControlKind::GroupBox:
                m_frames.push_back({at, Text(ctl.text)});
                break;
            case ControlKind::Static:
                m_texts.push_back({at, Text(ctl.text)});
                break;
            case ControlKind::AutoRadioButton: {
                auto* radio = new QRadioButton(Text(ctl.text), this);
                radio->setGeometry(at);
                radio->setChecked(ctl.id == IDC_WIDTH8);
                m_radios.push_back(radio);
                break;
            }
            case ControlKind::PushButton: {
                auto* button = new QPushButton(Text(ctl.text), this);
                button->setAutoDefault(false); // as the editor's: Enter is the dialog's
                button->setGeometry(at);
                break;
            }
            case ControlKind::Edit:
                if (ctl.style & ES_MULTILINE) {
                    auto* code = new QPlainTextEdit(this);
                    code->setReadOnly(true);
                    code->setGeometry(at);
                    code->setFocus();
                } else {
                    lastEdit = new QLineEdit(this);
                    lastEdit->setGeometry(at);
                }
                break;
            case ControlKind::UpDown:
                if (lastEdit) {
                    // Two arrow buttons at the right edge of the field before.
                    const QRect field = lastEdit->geometry();
                    const int w = at.width();
                    lastEdit->resize(field.width() - w, field.height());
                    const int half = field.height() / 2;
                    auto* up = new QToolButton(this);
                    up->setArrowType(Qt::UpArrow);
                    up->setGeometry(field.right() + 1 - w, field.top(), w, half);
                    auto* down = new QToolButton(this);
                    down->setArrowType(Qt::DownArrow);
                    down->setGeometry(field.right() + 1 - w, field.top() + half, w,
                                      field.height() - half);
                }
                break;
            case ControlKind::StaticIcon:
                break;
            }
        }
        // The template's widths were measured for another font: a radio
        // button grows to its text, inside the frame around it.
        for (QRadioButton* radio : m_radios) {
            const QRect own = radio->geometry();
            int limit = own.left() + radio->sizeHint().width();
            for (const Label& frame : m_frames)
                if (frame.at.contains(own.topLeft()))
                    limit = std::min(limit, frame.at.right() - 3);
            radio->resize(std::max(own.width(), limit - own.left()), own.height());
        }
    }

protected:
    void mousePressEvent(QMouseEvent* event) override {
        const QPoint at = event->position().toPoint() - QPoint(kGridOrigin, kGridOrigin);
        if (event->button() != Qt::LeftButton || at.x() < 0 || at.y() < 0 ||
            at.x() >= kCellSize * kColumns || at.y() >= kCellSize * kRows)
            return QDialog::mousePressEvent(event);
        const QPoint cell(at.x() / kCellSize, at.y() / kCellSize);
        if (std::find(m_black.begin(), m_black.end(), cell) != m_black.end())
            return;
        m_black.push_back(cell);
        update(CellRect(cell));
        update(PreviewRect(cell));
    }

    void paintEvent(QPaintEvent* event) override {
        // What lies outside the rectangles to update is not painted at all:
        // a click's update draws no text.
        const QRegion dirty = event->region();
        QPainter painter(this);
        for (const QPoint& cell : m_black) {
            painter.fillRect(CellRect(cell), Qt::black);
            painter.fillRect(PreviewRect(cell), Qt::black);
        }
        const QFontMetrics metrics(font());
        const QColor shadow = palette().color(QPalette::Mid);
        const QColor light = palette().color(QPalette::Light);
        for (const Label& frame : m_frames) {
            if (!dirty.intersects(frame.at))
                continue;
            // An etched frame, open at the top where its title stands.
            const QRect r(frame.at.left(), frame.at.top() + metrics.height() / 2,
                          frame.at.width() - 2, frame.at.height() - metrics.height() / 2 - 2);
            const int titleWidth = frame.text.isEmpty() ? 0 : metrics.horizontalAdvance(frame.text);
            for (const auto& [color, d] : {std::pair{shadow, 0}, std::pair{light, 1}}) {
                const QRect e = r.translated(d, d);
                if (titleWidth == 0) {
                    painter.fillRect(e.left(), e.top(), e.width(), 1, color);
                } else {
                    painter.fillRect(e.left(), e.top(), 8 - 2, 1, color);
                    const int after = frame.at.left() + 8 + titleWidth + 2 + d;
                    painter.fillRect(after, e.top(), e.right() + 1 - after, 1, color);
                }
                painter.fillRect(e.left(), e.top(), 1, e.height(), color);
                painter.fillRect(e.left(), e.bottom(), e.width(), 1, color);
                painter.fillRect(e.right(), e.top(), 1, e.height(), color);
            }
        }
        painter.setPen(palette().color(QPalette::WindowText));
        for (const Label& frame : m_frames)
            if (!frame.text.isEmpty() && dirty.intersects(frame.at))
                painter.drawText(QRect(frame.at.left() + 8, frame.at.top(),
                                       metrics.horizontalAdvance(frame.text), metrics.height()),
                                 Qt::AlignLeft | Qt::AlignVCenter, frame.text);
        for (const Label& text : m_texts)
            if (dirty.intersects(text.at))
                painter.drawText(text.at, Qt::AlignCenter, text.text);
    }

private:
    static QRect CellRect(QPoint cell) {
        return QRect(kGridOrigin + kCellSize * cell.x(), kGridOrigin + kCellSize * cell.y(),
                     kCellSize, kCellSize);
    }
    static QRect PreviewRect(QPoint cell) {
        return QRect(kPreviewLeft + kPreviewScale * cell.x(),
                     kPreviewTop + kPreviewScale * cell.y(), kPreviewScale, kPreviewScale);
    }

    struct Label {
        QRect at;
        QString text;
    };
    std::vector<Label> m_frames;
    std::vector<Label> m_texts;
    std::vector<QRadioButton*> m_radios;
    std::vector<QPoint> m_black; // the cells pressed, in the order they were
};

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    for (const DialogTemplate& tpl : DialogTemplates()) {
        if (tpl.id != IDD_EDITOR_DIALOG)
            continue;
        // The template's 8-point face, as the system's sans-serif.
        QFont face = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
        face.setStyleHint(QFont::SansSerif);
        face.setPointSizeF(tpl.pointSize);
        QApplication::setFont(face);
        FloorDialog dialog(tpl);
        dialog.show();
        return QApplication::exec();
    }
    return 1;
}
