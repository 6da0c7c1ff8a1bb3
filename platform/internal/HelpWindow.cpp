#include "HelpWindow.h"

#include "Text.h"

#include <QDialog>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <QStringList>
#include <QStyle>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>

#include <algorithm>

namespace platform_detail {

QSize RoomOnScreen(const QWidget* near) {
    const QScreen* screen = near ? near->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return {640, 480};
    // A title bar and the frame's edges, at any scale the screen has.
    const QSize frame(16, 48);
    return (screen->availableGeometry().size() - frame).expandedTo(QSize(160, 120));
}

void PlaceOnScreen(QWidget* window, const QWidget* near) {
    const QScreen* screen = near ? near->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect room = screen->availableGeometry();
    // A window not shown yet has no frame: it will get one like its owner's.
    const QRect owner = near ? near->frameGeometry() : room;
    const QMargins frame = near ? QMargins(near->geometry().left() - owner.left(),
                                           near->geometry().top() - owner.top(),
                                           owner.right() - near->geometry().right(),
                                           owner.bottom() - near->geometry().bottom())
                                : QMargins();
    QRect place = QRect(QPoint(), window->size()).marginsAdded(frame);
    place.moveCenter(owner.center());
    place.moveLeft(std::max(room.left(), std::min(place.left(), room.right() + 1 - place.width())));
    place.moveTop(std::max(room.top(), std::min(place.top(), room.bottom() + 1 - place.height())));
    window->move(place.topLeft());
}

namespace {

int Indent(const QString& line) {
    int n = 0;
    while (n < line.size() && line[n] == QLatin1Char(' '))
        ++n;
    return n;
}

// Where the gap between a key row's keys and what they do starts, or -1.
qsizetype GapIn(const QString& body) {
    const qsizetype tab = body.indexOf(QLatin1Char('\t'));
    const qsizetype spaces = body.indexOf(QLatin1String("  "));
    if (tab < 0)
        return spaces;
    return spaces < 0 ? tab : std::min(tab, spaces);
}

// Builds the rich text one block at a time: a paragraph, a key table or an
// example stays open until a line of another kind or a blank line.
class HtmlWriter {
public:
    enum class Block { None, Paragraph, Table, Example };

    void Heading(const QString& text) {
        Close();
        m_html += QStringLiteral("<h3 style=\"margin-top:12px; margin-bottom:4px\">") +
                  text.toHtmlEscaped() + QStringLiteral("</h3>");
    }
    void Prose(const QString& text) {
        Open(Block::Paragraph);
        m_lines << text.trimmed();
    }
    void KeyRow(const QString& keys, const QString& what, int column) {
        Open(Block::Table);
        m_rows.push_back({keys.trimmed(), what.trimmed()});
        m_nColumn = column;
    }
    // A line that goes on with the last key row, if it is indented to where
    // that row's text starts.
    bool Continues(const QString& line, int indent) {
        if (m_block != Block::Table || indent != m_nColumn)
            return false;
        m_rows.back().second += QLatin1Char(' ') + line.trimmed();
        return true;
    }
    void Example(const QString& text) {
        Open(Block::Example);
        m_lines << text;
    }
    void Close() {
        switch (m_block) {
        case Block::None:
            break;
        case Block::Paragraph:
            m_html += QStringLiteral("<p style=\"margin-left:12px; margin-top:0; "
                                     "margin-bottom:6px\">") +
                      m_lines.join(QLatin1Char(' ')).toHtmlEscaped() + QStringLiteral("</p>");
            break;
        case Block::Table:
            m_html += QStringLiteral("<table style=\"margin-left:12px; margin-bottom:6px\" "
                                     "cellspacing=\"0\" cellpadding=\"1\">");
            for (const auto& [keys, what] : m_rows)
                m_html += QStringLiteral("<tr><td style=\"white-space:nowrap; "
                                         "padding-right:16px\"><b>") +
                          keys.toHtmlEscaped() + QStringLiteral("</b></td><td>") +
                          what.toHtmlEscaped() + QStringLiteral("</td></tr>");
            m_html += QStringLiteral("</table>");
            break;
        case Block::Example:
            m_html += QStringLiteral("<p style=\"margin-left:24px; margin-top:0; "
                                     "margin-bottom:6px; white-space:pre-wrap; "
                                     "font-family:'") +
                      QFontDatabase::systemFont(QFontDatabase::FixedFont).family().toHtmlEscaped() +
                      QStringLiteral("'\">") + m_lines.join(QLatin1Char('\n')).toHtmlEscaped() +
                      QStringLiteral("</p>");
            break;
        }
        m_block = Block::None;
        m_lines.clear();
        m_rows.clear();
    }
    QString Html() {
        Close();
        return m_html;
    }

private:
    void Open(Block block) {
        if (m_block != block)
            Close();
        m_block = block;
    }

    QString m_html;
    Block m_block = Block::None;
    QStringList m_lines;
    std::vector<std::pair<QString, QString>> m_rows;
    int m_nColumn = -1;
};

// The lines of the help text, without a last empty one.
QStringList LinesOf(std::string_view text) {
    QStringList lines = FromUtf8(text).split(QLatin1Char('\n'));
    for (QString& line : lines)
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

QString HelpHtml(std::string_view text) {
    HtmlWriter writer;
    for (const QString& line : LinesOf(text)) {
        const int indent = Indent(line);
        const QString body = line.mid(indent);
        if (body.trimmed().isEmpty())
            writer.Close();
        else if (indent == 0)
            writer.Heading(body);
        else if (writer.Continues(line, indent))
            continue;
        else if (indent >= 4)
            writer.Example(line.mid(4));
        else if (const qsizetype gap = GapIn(body); gap > 0) {
            const int start = Indent(body.mid(gap).replace(QLatin1Char('\t'), QLatin1Char(' ')));
            writer.KeyRow(body.left(gap), body.mid(gap),
                          body[gap] == QLatin1Char('\t') ? -1
                                                         : indent + static_cast<int>(gap) + start);
        } else
            writer.Prose(body);
    }
    return writer.Html();
}

void ShowHelpWindow(QWidget* owner, const QString& title, std::string_view text) {
    // Help belongs to the main window, whatever window is active: it stays
    // open when another of the program's windows closes.
    static QPointer<QDialog> window;
    if (!window) {
        window = new QDialog(owner);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->setObjectName(QStringLiteral("helpWindow"));
        auto* view = new QTextBrowser(window);
        view->setOpenLinks(false);
        view->setFrameShape(QFrame::NoFrame);
        auto* layout = new QVBoxLayout(window);
        layout->addWidget(view);
    }
    window->setWindowTitle(title);
    auto* view = window->findChild<QTextBrowser*>();
    view->setHtml(HelpHtml(text));

    if (!window->isVisible()) {
        // As wide as the text was typed, and as tall as it then runs, within
        // the room the screen has: beyond that it wraps and scrolls.
        const QFontMetrics prose(view->font());
        const QFontMetrics fixed(QFontDatabase::systemFont(QFontDatabase::FixedFont));
        int textWidth = 0;
        for (const QString& line : LinesOf(text))
            textWidth = std::max(textWidth, Indent(line) >= 4 ? fixed.horizontalAdvance(line) + 24
                                                              : prose.horizontalAdvance(line) + 12);
        QTextDocument* document = view->document();
        const int around = 2 * static_cast<int>(document->documentMargin()) +
                           2 * view->frameWidth() +
                           view->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        const QMargins margins = window->layout()->contentsMargins();
        const QSize room = RoomOnScreen(owner);
        const int width =
            std::min(textWidth + around + margins.left() + margins.right(), room.width());
        document->setTextWidth(width - margins.left() - margins.right() - around +
                               2 * document->documentMargin());
        const int height = std::min(static_cast<int>(document->size().height()) +
                                        2 * view->frameWidth() + margins.top() + margins.bottom(),
                                    room.height());
        window->resize(width, height);
        PlaceOnScreen(window, owner);
    }
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace platform_detail
