#include "Host.h"

#include "Controls.h"
#include "Gdi.h"
#include "NumberText.h"
#include "ResourceTypes.h"
#include "Wnd.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextDocument>
#include <QWindow>

#include <algorithm>
#include <cmath>

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

bool IsPushButton(QWidget* w) {
    return qobject_cast<QPushButton*>(w) != nullptr;
}

} // namespace

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::optional<int> ParseWholeNumber(const QString& text, int nMin, int nMax) {
    const QByteArray utf8 = text.toUtf8();
    return ::ParseWholeNumber(
        std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())), nMin, nMax);
}

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

DialogHost::DialogHost(CDialog* pDlg, const DialogTemplate& tpl, QWidget* parent)
    : QDialog(parent), m_pDlg(pDlg) {
    Build(tpl);
}

DialogHost::~DialogHost() {
    delete m_pBalloon;
}

void DialogHost::Build(const DialogTemplate& tpl) {
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (tpl.style & WS_SYSMENU)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    setWindowFlags(flags);
    // Without a caption the window is titled with the application's name.
    // The toolkit tells window managers and compositors that much already,
    // but a title bar it draws itself (Wayland) shows only the title set here.
    setWindowTitle(tpl.caption.empty() ? QGuiApplication::applicationName()
                                       : FromUtf8(tpl.caption));
    setContextMenuPolicy(Qt::PreventContextMenu);

    // The template's 8-point face stands for the system's sans-serif at the
    // same size.
    QFont face = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    face.setStyleHint(QFont::SansSerif);
    face.setPointSizeF(tpl.pointSize);
    setFont(face);

    // The client area is painted whole from the surface.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    setFixedSize(MapDialogX(tpl.cx), MapDialogY(tpl.cy));

    const ControlTemplate* previous = nullptr;
    QWidget* previousWidget = nullptr;
    for (const ControlTemplate& ctl : tpl.controls) {
        QWidget* widget = MakeControl(ctl, previous, previousWidget);
        m_entries.push_back({&ctl, widget});
        previous = &ctl;
        previousWidget = widget;
    }
    FitTexts();
}

void DialogHost::FitTexts() {
    // The template's widths were measured for another font. A radio button
    // or static text whose text does not fit grows to the right, keeping its
    // position, as far as the inside of the group box around it, or else the
    // client area's edge, allows.
    for (const Entry& entry : m_entries) {
        if (entry.tpl->kind != ControlKind::AutoRadioButton &&
            entry.tpl->kind != ControlKind::Static)
            continue;
        const QRect own = entry.widget->geometry();
        const int wanted = entry.widget->sizeHint().width();
        if (wanted <= own.width())
            continue;
        int limit = std::min(own.left() + wanted, width() - 4);
        for (const Entry& group : m_entries) {
            const QRect frame = group.widget->geometry();
            if (group.tpl->kind == ControlKind::GroupBox && frame.contains(own.topLeft()))
                limit = std::min(limit, frame.right() - 3);
        }
        entry.widget->resize(std::max(own.width(), limit - own.left()), own.height());
    }
}

QWidget* DialogHost::MakeControl(const ControlTemplate& ctl, const ControlTemplate* previous,
                                 QWidget* previousWidget) {
    const QString text = FromUtf8(ctl.text);
    const int id = ctl.id;
    QWidget* widget = nullptr;
    switch (ctl.kind) {
    case ControlKind::GroupBox:
        widget = new GroupFrame(text, this);
        break;
    case ControlKind::Static:
    case ControlKind::StaticIcon: {
        auto* label = new QLabel(this);
        if (ctl.kind == ControlKind::StaticIcon) {
            if (HICON icon = LoadIcon(ctl.image))
                label->setPixmap(icon->icon.pixmap(QSize(32, 32)));
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        } else {
            label->setText(text);
            label->setTextFormat(Qt::PlainText);
            Qt::Alignment align = (ctl.style & SS_CENTER) ? Qt::AlignHCenter : Qt::AlignLeft;
            align |= (ctl.style & SS_CENTERIMAGE) ? Qt::AlignVCenter : Qt::AlignTop;
            label->setAlignment(align);
        }
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
        widget = label;
        break;
    }
    case ControlKind::AutoRadioButton: {
        auto* radio = new QRadioButton(text, this);
        connect(radio, &QAbstractButton::clicked, this, [this, id] { Command(id, BN_CLICKED); });
        radio->installEventFilter(this);
        widget = radio;
        break;
    }
    case ControlKind::PushButton: {
        auto* button = new QPushButton(text, this);
        // Enter is the dialog's to handle: it presses the focused button or
        // sends the OK command.
        button->setAutoDefault(false);
        button->setDefault(false);
        connect(button, &QAbstractButton::clicked, this, [this, id] { Command(id, BN_CLICKED); });
        widget = button;
        break;
    }
    case ControlKind::Edit:
        if (ctl.style & ES_MULTILINE) {
            auto* edit = new QPlainTextEdit(this);
            edit->setReadOnly(ctl.style & ES_READONLY);
            edit->setTabChangesFocus(true);
            edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
            edit->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
            // The text reads left to right, as in the native control without
            // a right-to-left reading style. Left to the toolkit, an empty
            // box asks the input method for its direction whenever it draws
            // its cursor, and Qt's Wayland client crashes answering that on
            // a compositor with no input seat.
            QTextOption option = edit->document()->defaultTextOption();
            option.setTextDirection(Qt::LeftToRight);
            edit->document()->setDefaultTextOption(option);
            edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            if (ctl.style & ES_READONLY)
                edit->setTextInteractionFlags(Qt::TextSelectableByMouse |
                                              Qt::TextSelectableByKeyboard);
            connect(edit, &QPlainTextEdit::textChanged, this,
                    [this, id] { Command(id, EN_CHANGE); });
            widget = edit;
        } else {
            auto* edit = new QLineEdit(this);
            edit->setReadOnly(ctl.style & ES_READONLY);
            connect(edit, &QLineEdit::textChanged, this, [this, id] { Command(id, EN_CHANGE); });
            widget = edit;
        }
        break;
    case ControlKind::UpDown: {
        auto* updown = new UpDownControl(this);
        updown->setGeometry(MapDialogRect(ctl.x, ctl.y, ctl.cx, ctl.cy));
        if ((ctl.style & UDS_AUTOBUDDY) && previous && previous->kind == ControlKind::Edit) {
            auto* buddy = qobject_cast<QLineEdit*>(previousWidget);
            if (ctl.style & UDS_ALIGNRIGHT)
                updown->SetBuddy(buddy);
        }
        updown->setAccessibleName(text);
        return updown;
    }
    }

    widget->setGeometry(MapDialogRect(ctl.x, ctl.y, ctl.cx, ctl.cy));
    if (ctl.style & WS_TABSTOP)
        widget->setFocusPolicy(Qt::StrongFocus);
    else if (ctl.kind == ControlKind::AutoRadioButton || ctl.kind == ControlKind::PushButton)
        widget->setFocusPolicy(Qt::ClickFocus);
    else
        widget->setFocusPolicy(Qt::NoFocus);
    if (!text.isEmpty())
        widget->setAccessibleName(QString(text).remove(QLatin1Char('&')));
    if (widget->focusPolicy() != Qt::NoFocus && ctl.kind != ControlKind::AutoRadioButton)
        widget->installEventFilter(this);
    return widget;
}

std::pair<std::size_t, std::size_t> DialogHost::RadioGroupOf(QWidget* radio) const {
    std::size_t at = 0;
    while (at < m_entries.size() && m_entries[at].widget != radio)
        ++at;
    if (at == m_entries.size() || m_entries[at].tpl->kind != ControlKind::AutoRadioButton)
        return {0, 0};
    // A group starts at a button with WS_GROUP and runs up to the next such
    // button or the first control of another kind.
    std::size_t first = at;
    while (first > 0 && !(m_entries[first].tpl->style & WS_GROUP) &&
           m_entries[first - 1].tpl->kind == ControlKind::AutoRadioButton)
        --first;
    std::size_t last = at + 1;
    while (last < m_entries.size() && m_entries[last].tpl->kind == ControlKind::AutoRadioButton &&
           !(m_entries[last].tpl->style & WS_GROUP))
        ++last;
    return {first, last};
}

QWidget* DialogHost::Control(int nID) const {
    for (const Entry& entry : m_entries)
        if (entry.tpl->id == nID)
            return entry.widget;
    return nullptr;
}

LRESULT DialogHost::Deliver(const MSG& msg) {
    ++m_nDeliverDepth;
    const LRESULT result = m_pDlg->SendMessage(msg.message, msg.wParam, msg.lParam);
    --m_nDeliverDepth;
    if (m_nDeliverDepth == 0)
        Flush();
    return result;
}

void DialogHost::Command(int nID, UINT nCode) {
    if (m_bInTransfer)
        return;
    Deliver({WM_COMMAND, MAKEWPARAM(static_cast<UINT>(nID), nCode), 0});
}

void DialogHost::Flush() {
    if ((m_dirtyRun.isEmpty() && m_dirty.isEmpty()) || m_bFlushing)
        return;
    QRegion dirty(m_dirtyRun.adjusted(-1, -1, 1, 1));
    for (const QRect& area : m_dirty)
        dirty += area.adjusted(-1, -1, 1, 1);
    m_dirtyRun = QRect();
    m_dirty = QRegion();
    m_bFlushing = true;
    repaint(dirty);
    m_bFlushing = false;
}

QImage& DialogHost::Surface() {
    const qreal ratio = devicePixelRatioF();
    const QSize deviceSize(static_cast<int>(std::ceil(width() * ratio)),
                           static_cast<int>(std::ceil(height() * ratio)));
    if (m_surface.size() != deviceSize || m_surface.devicePixelRatio() != ratio) {
        m_surface = QImage(deviceSize, QImage::Format_RGB32);
        m_surface.setDevicePixelRatio(ratio);
        const COLORREF face = GetSysColor(COLOR_BTNFACE);
        m_surface.fill(QColor(GetRValue(face), GetGValue(face), GetBValue(face)));
        // What was drawn is gone with the old surface: paint it all again.
        m_bNeedsFullPaint = true;
        update();
    }
    return m_surface;
}

void DialogHost::MarkDirty(const QRect& logical) {
    // Touching rectangles (a row of cells, the preview's squares) grow one
    // area; a distant one starts another. So a click repaints its cell and
    // the preview, not everything between them: the controls there are slow
    // to paint.
    if (m_dirtyRun.isEmpty() || m_dirtyRun.adjusted(-1, -1, 1, 1).intersects(logical)) {
        m_dirtyRun |= logical;
        return;
    }
    m_dirty += m_dirtyRun;
    m_dirtyRun = logical;
}

void DialogHost::RepaintAll() {
    Surface();
    m_bNeedsFullPaint = false;
    m_paintRect = rect();
    Deliver({WM_PAINT, 0, 0});
    m_paintRect = QRect();
}

void DialogHost::paintEvent(QPaintEvent* event) {
    Surface();
    if (m_bNeedsFullPaint) {
        m_bNeedsFullPaint = false;
        m_paintRect = rect();
        m_bFlushing = true; // already painting: what the handler draws is shown below
        m_pDlg->SendMessage(WM_PAINT, 0, 0);
        m_bFlushing = false;
        m_paintRect = QRect();
        if (event->rect() != rect())
            update();
    }
    // What this paint shows needs no flush; what lies outside it still does.
    m_dirty += m_dirtyRun;
    m_dirtyRun = QRect();
    m_dirty -= event->region();
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QPointF(0, 0), m_surface);
}

void DialogHost::DeliverMouse(UINT message, QMouseEvent* event) {
    UINT flags = 0;
    if (event->buttons() & Qt::LeftButton)
        flags |= MK_LBUTTON;
    if (event->buttons() & Qt::RightButton)
        flags |= MK_RBUTTON;
    const QPointF pos = event->position();
    Deliver(
        {message, flags,
         MAKELPARAM(static_cast<int>(std::floor(pos.x())), static_cast<int>(std::floor(pos.y())))});
}

void DialogHost::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        DeliverMouse(WM_LBUTTONDOWN, event);
    else if (event->button() == Qt::RightButton)
        DeliverMouse(WM_RBUTTONDOWN, event);
}

void DialogHost::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        DeliverMouse(WM_LBUTTONUP, event);
    else if (event->button() == Qt::RightButton)
        DeliverMouse(WM_RBUTTONUP, event);
}

void DialogHost::mouseMoveEvent(QMouseEvent* event) {
    DeliverMouse(WM_MOUSEMOVE, event);
}

bool DialogHost::HandleDialogKey(QKeyEvent* event) {
    const auto mods = event->modifiers() & ~Qt::KeypadModifier;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (mods != Qt::NoModifier)
            return false;
        // Enter presses the push button that has the focus; elsewhere it is
        // the OK command.
        if (IsPushButton(focusWidget()))
            static_cast<QPushButton*>(focusWidget())->click();
        else
            Command(IDOK, BN_CLICKED);
        return true;
    case Qt::Key_Escape:
        if (mods != Qt::NoModifier)
            return false;
        Command(IDCANCEL, BN_CLICKED);
        return true;
    case Qt::Key_F1:
        if (mods != Qt::NoModifier)
            return false;
        Command(ID_HELP, 0);
        return true;
    case Qt::Key_F10:
        if (mods != Qt::NoModifier)
            return false;
        ShowSystemMenu();
        return true;
    case Qt::Key_Space:
        if (mods != Qt::AltModifier)
            return false;
        ShowSystemMenu();
        return true;
    default:
        return false;
    }
}

void DialogHost::keyPressEvent(QKeyEvent* event) {
    if (!HandleDialogKey(event))
        QDialog::keyPressEvent(event);
}

bool DialogHost::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (HandleDialogKey(key))
        return true;

    // The arrow keys move the check within a radio group, as a click would.
    if (auto* radio = qobject_cast<QRadioButton*>(watched)) {
        int step = 0;
        if (key->key() == Qt::Key_Down || key->key() == Qt::Key_Right)
            step = 1;
        else if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Left)
            step = -1;
        if (step != 0) {
            const auto [first, last] = RadioGroupOf(radio);
            const int n = static_cast<int>(last - first);
            if (n > 0) {
                int at = 0;
                while (m_entries[first + static_cast<std::size_t>(at)].widget != radio)
                    ++at;
                auto* next = static_cast<QRadioButton*>(
                    m_entries[first + static_cast<std::size_t>((at + step + n) % n)].widget);
                next->setFocus(Qt::OtherFocusReason);
                next->click();
            }
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void DialogHost::reject() {
    Command(IDCANCEL, BN_CLICKED);
}

void DialogHost::closeEvent(QCloseEvent* event) {
    // The close box is the system menu's Close.
    event->ignore();
    Deliver({WM_SYSCOMMAND, SC_CLOSE, 0});
    if (!isVisible())
        event->accept();
}

void DialogHost::changeEvent(QEvent* event) {
    if (event->type() == QEvent::WindowStateChange) {
        // Minimised and restored windows paint differently: start afresh.
        m_bNeedsFullPaint = true;
        update();
        if (isMinimized() && m_pBalloon)
            m_pBalloon->hide();
    }
    QDialog::changeEvent(event);
}

void DialogHost::moveEvent(QMoveEvent* event) {
    if (m_pBalloon && m_pBalloon->isVisible() && m_pWarnedField)
        m_pBalloon->ShowAt(m_pWarnedField, m_pBalloon->text());
    QDialog::moveEvent(event);
}

void DialogHost::hideEvent(QHideEvent* event) {
    if (m_pBalloon)
        m_pBalloon->hide();
    QDialog::hideEvent(event);
}

bool DialogHost::event(QEvent* event) {
    if (event->type() == QEvent::ScreenChangeInternal || event->type() == QEvent::Show)
        Surface();
    return QDialog::event(event);
}

void DialogHost::ShowFieldWarning(QLineEdit* field, const QString& text, int nMin, int nMax) {
    if (m_pWarnedField && m_pWarnedField != field)
        ClearFieldWarning(m_pWarnedField);
    if (!m_pBalloon)
        m_pBalloon = new Balloon();
    if (m_pWarnedField != field) {
        m_pWarnedField = field;
        field->setProperty("invalid", true);
        QPalette marked = field->palette();
        marked.setColor(QPalette::Base, QColor(255, 224, 224));
        field->setPalette(marked);
        field->setAccessibleDescription(text);
        m_warnedFieldWatch =
            connect(field, &QLineEdit::textChanged, this, [this, field, nMin, nMax] {
                if (ParseWholeNumber(field->text(), nMin, nMax))
                    ClearFieldWarning(field);
            });
    }
    if (isVisible() && !isMinimized())
        m_pBalloon->ShowAt(field, text);
    else
        m_pBalloon->setText(text);
}

void DialogHost::ClearFieldWarning(QWidget* field) {
    if (!field || m_pWarnedField != field)
        return;
    disconnect(m_warnedFieldWatch);
    field->setProperty("invalid", false);
    field->setPalette(QPalette());
    field->setAccessibleDescription(QString());
    m_pWarnedField = nullptr;
    if (m_pBalloon)
        m_pBalloon->hide();
}

bool DialogHost::IsFieldWarningShown(QWidget* field) const {
    return field && m_pWarnedField == field;
}

QString DialogHost::FieldWarningText() const {
    return m_pBalloon && m_pWarnedField ? m_pBalloon->text() : QString();
}

void DialogHost::ShowSystemMenu() {
    CMenu* menu = m_pDlg->GetSystemMenu(false);
    if (!menu)
        return;
    QMenu popup(this);
    for (const CMenu::Item& item : menu->Items()) {
        if (item.nFlags & MF_SEPARATOR) {
            popup.addSeparator();
            continue;
        }
        QAction* action = popup.addAction(QString::fromUtf8(item.text.GetString()));
        action->setEnabled(!(item.nFlags & MF_GRAYED));
        action->setData(item.nID);
    }
    QAction* chosen = popup.exec(mapToGlobal(QPoint(0, 0)));
    if (chosen)
        Deliver({WM_SYSCOMMAND, chosen->data().toUInt(), 0});
}

} // namespace platform_detail
