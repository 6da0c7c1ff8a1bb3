// The program's own dialog templates were measured for another font: every
// text must still show whole in the system's sans-serif, in both dialogs,
// clear of the frames around it, at whatever ratio the suite runs.

#include "DialogHost.h"
#include "DlgTemplate.h"
#include "Handles.h"
#include "Resource.h"
#include "WidgetTest.h"
#include "Wnd.h"

#include <QFontMetrics>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <vector>

using namespace glimmet_test;

namespace {

// Succeeds if every text of the dialog, as drawn at the screen's ratio,
// keeps at least one client pixel, in whole device pixels, clear of every
// group frame's lines. The texts are drawn in a colour of their own for the
// check; the lines are the pixels in the frames' shadow and highlight
// colours outside the other controls, which draw frames of their own.
::testing::AssertionResult TextsKeepClearOfTheFrames(CDialog& dialog) {
    QWidget* window = platform_detail::WidgetOf(dialog.GetSafeHwnd());
    QPalette marked = window->palette();
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText})
        marked.setColor(role, Qt::red);
    window->setPalette(marked);
    const QImage shot = window->grab().toImage();
    const qreal ratio = shot.devicePixelRatio();
    const QRgb shadow = marked.color(QPalette::Mid).rgb();
    const QRgb highlight = marked.color(QPalette::Light).rgb();
    std::vector<QRect> others;
    for (const auto& entry : Host(dialog).Controls().Entries()) {
        if (!entry.widget)
            continue; // the dialog paints it
        const QRect g = entry.widget->geometry();
        others.emplace_back(QPoint(static_cast<int>(std::floor(g.left() * ratio)),
                                   static_cast<int>(std::floor(g.top() * ratio))),
                            QPoint(static_cast<int>(std::ceil((g.right() + 1) * ratio)) - 1,
                                   static_cast<int>(std::ceil((g.bottom() + 1) * ratio)) - 1));
    }
    const auto isLine = [&](int x, int y) {
        const QRgb pixel = shot.pixel(x, y) | 0xFF000000u;
        return (pixel == shadow || pixel == highlight) &&
               std::none_of(others.begin(), others.end(),
                            [&](const QRect& other) { return other.contains(x, y); });
    };
    const int clear = static_cast<int>(std::ceil(ratio));
    const QRect all = shot.rect();
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            const QRgb ink = shot.pixel(x, y);
            if (qRed(ink) - qGreen(ink) < 40)
                continue;
            for (int dy = -clear; dy <= clear; ++dy)
                for (int dx = -clear; dx <= clear; ++dx)
                    if (all.contains(x + dx, y + dy) && isLine(x + dx, y + dy))
                        return ::testing::AssertionFailure()
                               << "text at device pixel (" << x << "," << y << ") is within "
                               << clear << " of a frame line at (" << x + dx << "," << y + dy
                               << ") at ratio " << ratio;
        }
    }
    return ::testing::AssertionSuccess();
}

TEST(Templates, EveryTextFitsItsControl) {
    for (const UINT nIDTemplate : {UINT{IDD_EDITOR_DIALOG}, UINT{IDD_ABOUTBOX}}) {
        CDialog dialog(nIDTemplate);
        ASSERT_TRUE(dialog.Create());
        EXPECT_TRUE(TextsKeepClearOfTheFrames(dialog)) << "dialog " << nIDTemplate;
        const QWidget* window = platform_detail::WidgetOf(dialog.GetSafeHwnd());
        for (const auto& frame : Host(dialog).Controls().Frames())
            EXPECT_LE(window->fontMetrics().horizontalAdvance(frame.Title()) + 12,
                      frame.Rect().width())
                << frame.Title().toStdString();
        for (const auto& text : Host(dialog).Controls().Texts()) {
            const QRect needed = window->fontMetrics().boundingRect(
                text.Rect().left(), 0, 2000, 2000, Qt::AlignLeft | Qt::AlignTop, text.Text());
            EXPECT_LE(needed.width(), text.Rect().width()) << text.Text().toStdString();
            EXPECT_LE(text.Rect().right(), window->width()) << text.Text().toStdString();
        }
        for (const auto& entry : Host(dialog).Controls().Entries()) {
            const QWidget* w = entry.widget;
            if (!w)
                continue;
            const QFontMetrics metrics(w->font());
            if (entry.tpl->kind == ControlKind::PushButton) {
                // A button's size hint adds the style's minimum width; the
                // text itself needs its advance and a little room.
                const QString text = static_cast<const QPushButton*>(w)->text();
                EXPECT_LE(metrics.horizontalAdvance(text) + 8, w->width()) << entry.tpl->text;
            } else if (entry.tpl->kind == ControlKind::AutoRadioButton) {
                // The indicator, the gap after it, then the text.
                const QString text = static_cast<const QRadioButton*>(w)->text();
                const int needed = w->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) +
                                   w->style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing) +
                                   metrics.horizontalAdvance(text);
                EXPECT_LE(needed, w->width()) << entry.tpl->text;
                EXPECT_LE(w->geometry().right(), w->parentWidget()->width()) << entry.tpl->text;
            } else if (entry.tpl->kind == ControlKind::Static) {
                EXPECT_LE(w->sizeHint().width(), w->width()) << entry.tpl->text;
                EXPECT_LE(w->geometry().right(), w->parentWidget()->width()) << entry.tpl->text;
            }
        }
    }
}

} // namespace
