#include "DialogBuilder.h"

#include "Controls.h"
#include "DialogHost.h"
#include "DlgTemplate.h"
#include "Gdi.h"
#include "Handles.h"
#include "Text.h"

#include <QApplication>
#include <QButtonGroup>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTextDocument>

#include <algorithm>

namespace platform_detail {

namespace {

// Dialog base units of the template font: 6 x 13 client pixels. A dialog
// unit is a quarter of the width and an eighth of the height, rounded to the
// nearest pixel.
constexpr int kBaseUnitX = 6;
constexpr int kBaseUnitY = 13;

int MulDivRound(int value, int num, int den) {
    const long long product = static_cast<long long>(value) * num;
    const long long half = den / 2;
    return static_cast<int>(product >= 0 ? (product + half) / den : -((-product + half) / den));
}

// One factory per control kind. Each makes the widget and wires its
// notifications; MakeControl gives every one of them the common tail.

Qt::Alignment StaticAlignment(const ControlTemplate& ctl) {
    const Qt::Alignment across = (ctl.style & SS_CENTER) ? Qt::AlignHCenter : Qt::AlignLeft;
    return across | ((ctl.style & SS_CENTERIMAGE) ? Qt::AlignVCenter : Qt::AlignTop);
}

QWidget* MakeStatic(const ControlTemplate& ctl, const QString& text, DialogHost& host) {
    auto* label = new QLabel(text, &host);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(StaticAlignment(ctl));
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}

// The place of a group box the program names: an empty widget, which the
// dialog paints the box over and the mouse passes through.
QWidget* MakeFramePlaceholder(const ControlTemplate&, const QString&, DialogHost& host) {
    auto* placeholder = new QWidget(&host);
    placeholder->setAttribute(Qt::WA_TransparentForMouseEvents);
    return placeholder;
}

QWidget* MakeStaticIcon(const ControlTemplate& ctl, const QString&, DialogHost& host) {
    auto* label = new QLabel(&host);
    if (HICON icon = LoadIcon(ctl.image))
        label->setPixmap(
            IconOf(icon).pixmap(QSize(GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON))));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}

QWidget* MakeRadioButton(const ControlTemplate& ctl, const QString& text, DialogHost& host) {
    auto* radio = new QRadioButton(text, &host);
    // A radio group is one stop of the Tab key: its checked button.
    QObject::connect(radio, &QAbstractButton::toggled, radio, [radio](bool checked) {
        radio->setFocusPolicy(checked ? Qt::StrongFocus : Qt::ClickFocus);
    });
    QObject::connect(radio, &QAbstractButton::clicked, &host,
                     [&host, id = ctl.id] { host.Command(id, BN_CLICKED); });
    return radio;
}

QWidget* MakePushButton(const ControlTemplate& ctl, const QString& text, DialogHost& host) {
    auto* button = new QPushButton(text, &host);
    // Enter is the dialog's to handle: it presses the focused button or
    // sends the OK command.
    button->setAutoDefault(false);
    button->setDefault(false);
    QObject::connect(button, &QAbstractButton::clicked, &host,
                     [&host, id = ctl.id] { host.Command(id, BN_CLICKED); });
    return button;
}

QWidget* MakeMultiLineEdit(const ControlTemplate& ctl, DialogHost& host) {
    auto* edit = new QPlainTextEdit(&host);
    const bool readOnly = ctl.style & ES_READONLY;
    edit->setReadOnly(readOnly);
    if (readOnly) {
        edit->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        // It takes no text, so what is dropped on it goes to the dialog.
        edit->setAcceptDrops(false);
        edit->viewport()->setAcceptDrops(false);
    }
    edit->setTabChangesFocus(true);
    edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    edit->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    // C source reads left to right. Saying so spares the toolkit asking the
    // input method for the direction of an empty box, which crashes it on a
    // Wayland display with no input seat.
    QTextOption option = edit->document()->defaultTextOption();
    option.setTextDirection(Qt::LeftToRight);
    edit->document()->setDefaultTextOption(option);
    // A text taller than the box gets a scroll bar; one that fits looks as
    // if there were none.
    edit->setVerticalScrollBarPolicy((ctl.style & ES_AUTOVSCROLL) ? Qt::ScrollBarAsNeeded
                                                                  : Qt::ScrollBarAlwaysOff);
    edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QObject::connect(edit, &QPlainTextEdit::textChanged, &host,
                     [&host, id = ctl.id] { host.Command(id, EN_CHANGE); });
    return edit;
}

QWidget* MakeEdit(const ControlTemplate& ctl, const QString&, DialogHost& host) {
    if (ctl.style & ES_MULTILINE)
        return MakeMultiLineEdit(ctl, host);
    auto* edit = new QLineEdit(&host);
    edit->setValidator(new SingleLineText(edit));
    edit->setReadOnly(ctl.style & ES_READONLY);
    edit->setFrame(ctl.style & WS_BORDER);
    QObject::connect(edit, &QLineEdit::textChanged, &host,
                     [&host, id = ctl.id] { host.Command(id, EN_CHANGE); });
    return edit;
}

QWidget* MakeUpDown(const ControlTemplate&, const QString&, DialogHost& host) {
    return new UpDownControl(&host);
}

QWidget* MakeControl(const ControlTemplate& ctl, DialogHost& host) {
    using Factory = QWidget* (*)(const ControlTemplate&, const QString&, DialogHost&);
    Factory factory = nullptr;
    switch (ctl.kind) {
    case ControlKind::GroupBox:
        if (ctl.id == kUnnamedControlId)
            return nullptr; // no widget: the dialog paints it
        factory = &MakeFramePlaceholder;
        break;
    case ControlKind::Static:
        if (ctl.id == kUnnamedControlId)
            return nullptr; // no widget: the dialog paints it
        factory = &MakeStatic;
        break;
    case ControlKind::StaticIcon:
        factory = &MakeStaticIcon;
        break;
    case ControlKind::AutoRadioButton:
        factory = &MakeRadioButton;
        break;
    case ControlKind::PushButton:
        factory = &MakePushButton;
        break;
    case ControlKind::Edit:
        factory = &MakeEdit;
        break;
    case ControlKind::UpDown:
        factory = &MakeUpDown;
        break;
    }
    const QString text = FromUtf8(ctl.text);
    QWidget* widget = factory(ctl, text, host);

    // The common tail, for every kind.
    widget->setGeometry(MapDialogRect(ctl.x, ctl.y, ctl.cx, ctl.cy));
    if (ctl.style & WS_TABSTOP)
        widget->setFocusPolicy(Qt::StrongFocus);
    else if (ctl.kind == ControlKind::AutoRadioButton || ctl.kind == ControlKind::PushButton)
        widget->setFocusPolicy(Qt::ClickFocus);
    else
        widget->setFocusPolicy(Qt::NoFocus);
    if (!ctl.accessibleName.empty())
        widget->setAccessibleName(FromUtf8(ctl.accessibleName));
    else if (!text.isEmpty())
        widget->setAccessibleName(QString(text).remove(QLatin1Char('&')));
    if (widget->focusPolicy() != Qt::NoFocus)
        host.RouteKeysOf(widget);
    return widget;
}

// An up-down control with UDS_AUTOBUDDY takes the edit before it as its
// buddy, and with UDS_ALIGNRIGHT sits at that edit's right edge.
void AttachBuddies(const std::vector<ControlTable::Entry>& entries) {
    for (std::size_t i = 1; i < entries.size(); ++i) {
        const ControlTemplate& ctl = *entries[i].tpl;
        if (ctl.kind != ControlKind::UpDown || !(ctl.style & UDS_AUTOBUDDY) ||
            !(ctl.style & UDS_ALIGNRIGHT))
            continue;
        auto* updown = static_cast<UpDownControl*>(entries[i].widget);
        updown->SetBuddy(qobject_cast<QLineEdit*>(entries[i - 1].widget),
                         ctl.style & UDS_SETBUDDYINT, ctl.style & UDS_ARROWKEYS);
    }
}

// The width a control's text asks for. A plain static text is measured as
// its label measures it for its size hint, once: the hint measures it three
// times, which costs a visible share of the start-up.
int WantedWidth(const QWidget& widget) {
    // The style may set the font as it polishes, as it does before a hint.
    widget.ensurePolished();
    const auto* label = qobject_cast<const QLabel*>(&widget);
    if (!label || label->textFormat() != Qt::PlainText || label->wordWrap() ||
        label->margin() != 0 || label->indent() >= 0 || label->frameWidth() != 0 ||
        label->buddy() || label->minimumWidth() > 0 || label->contentsMargins() != QMargins())
        return widget.sizeHint().width();
    const int flags =
        static_cast<int>(QStyle::visualAlignment(label->layoutDirection(), label->alignment()) &
                         ~(Qt::AlignVCenter | Qt::AlignHCenter));
    return label->fontMetrics().boundingRect(0, 0, 2000, 2000, flags, label->text()).width();
}

// The template's widths were measured for another font. A radio button or
// static text whose text does not fit grows to the right, keeping its
// position, as far as the inside of the group box around it, or else the
// client area's edge, allows: a pixel clear of the frame's line, and one
// more where the line spills at the screen's ratio. Returns its new width.
int FittedWidth(const QRect& own, int wanted, const std::vector<GroupFrame>& frames,
                int clientWidth, qreal ratio) {
    if (wanted <= own.width())
        return own.width();
    int limit = std::min(own.left() + wanted, clientWidth - 4);
    for (const GroupFrame& frame : frames)
        if (frame.Rect().contains(own.topLeft()))
            limit = std::min(limit, frame.Rect().right() - 3 - FrameLineSpill(ratio));
    return std::max(own.width(), limit - own.left());
}

void FitTexts(const std::vector<ControlTable::Entry>& entries,
              const std::vector<GroupFrame>& frames, std::vector<PaintedText>& texts,
              const QFont& font, int clientWidth, qreal ratio) {
    for (const ControlTable::Entry& entry : entries) {
        if (!entry.widget || (entry.tpl->kind != ControlKind::AutoRadioButton &&
                              entry.tpl->kind != ControlKind::Static))
            continue;
        const QRect own = entry.widget->geometry();
        entry.widget->resize(
            FittedWidth(own, WantedWidth(*entry.widget), frames, clientWidth, ratio), own.height());
    }
    for (PaintedText& text : texts)
        text.SetWidth(FittedWidth(text.Rect(), text.LayOut(font), frames, clientWidth, ratio));
}

// The toolkit makes every radio button of a window exclusive with all the
// others; a template's radio groups are exclusive each on its own.
void GroupRadios(const ControlTable& table, DialogHost& host) {
    for (const ControlTable::Entry& entry : table.Entries()) {
        const auto group = table.RadioGroupOf(entry.widget);
        if (group.empty() || group.front().widget != entry.widget)
            continue;
        auto* buttons = new QButtonGroup(&host);
        for (const ControlTable::Entry& member : group)
            buttons->addButton(static_cast<QAbstractButton*>(member.widget));
    }
}

} // namespace

int MapDialogX(int x) {
    return MulDivRound(x, kBaseUnitX, 4);
}
int MapDialogY(int y) {
    return MulDivRound(y, kBaseUnitY, 8);
}

QRect MapDialogRect(int x, int y, int cx, int cy) {
    const int left = MapDialogX(x);
    const int top = MapDialogY(y);
    return QRect(left, top, MapDialogX(x + cx) - left, MapDialogY(y + cy) - top);
}

void UseTemplateFont(const DialogTemplate& tpl) {
    // The template's 8-point face stands for the system's sans-serif at the
    // same size.
    QFont face = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    face.setStyleHint(QFont::SansSerif);
    face.setPointSizeF(tpl.pointSize);
    if (QApplication::font() != face)
        QApplication::setFont(face);
}

QWidget* ControlTable::Control(int nID) const {
    for (const Entry& entry : m_entries)
        if (entry.tpl->id == nID)
            return entry.widget;
    return nullptr;
}

std::span<const ControlTable::Entry> ControlTable::RadioGroupOf(const QWidget* radio) const {
    const auto isRadio = [](const Entry& e) { return e.tpl->kind == ControlKind::AutoRadioButton; };
    const auto at = std::find_if(m_entries.begin(), m_entries.end(),
                                 [radio](const Entry& e) { return e.widget == radio; });
    if (at == m_entries.end() || !isRadio(*at))
        return {};
    // A group starts at a button with WS_GROUP and runs up to the next such
    // button or the first control of another kind.
    auto first = at;
    while (first != m_entries.begin() && !(first->tpl->style & WS_GROUP) && isRadio(first[-1]))
        --first;
    auto last = at + 1;
    while (last != m_entries.end() && isRadio(*last) && !(last->tpl->style & WS_GROUP))
        ++last;
    return {first, last};
}

ControlTable BuildControls(const DialogTemplate& tpl, DialogHost& host) {
    ControlTable table;
    for (const ControlTemplate& ctl : tpl.controls) {
        QWidget* widget = MakeControl(ctl, host);
        if (ctl.kind == ControlKind::GroupBox)
            table.m_frames.emplace_back(MapDialogRect(ctl.x, ctl.y, ctl.cx, ctl.cy),
                                        FromUtf8(ctl.text), widget);
        else if (ctl.kind == ControlKind::Static && !widget)
            table.m_texts.emplace_back(MapDialogRect(ctl.x, ctl.y, ctl.cx, ctl.cy),
                                       FromUtf8(ctl.text), StaticAlignment(ctl));
        table.m_entries.push_back({&ctl, widget});
    }
    AttachBuddies(table.m_entries);
    GroupRadios(table, host);
    FitTexts(table.m_entries, table.m_frames, table.m_texts, QFont(host.font(), &host),
             host.width(), host.devicePixelRatioF());
    return table;
}

} // namespace platform_detail
