#include "DialogAccessible.h"

#include "DialogBuilder.h"
#include "DialogHost.h"

#include <QAccessibleWidget>
#include <QPointer>

#include <cstddef>
#include <vector>

namespace platform_detail {

namespace {

// A static text the dialog paints. It has no object of its own: it is the
// dialog's text at `index`, and stays valid while the dialog has it.
class PaintedTextAccessible : public QAccessibleInterface {
public:
    PaintedTextAccessible(DialogHost* host, std::size_t index) : m_pHost(host), m_index(index) {}

    bool isValid() const override {
        return m_pHost && m_index < m_pHost->Controls().Texts().size();
    }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_pHost ? m_pHost->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(m_pHost.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    // Read out as a label's text is: without the ampersands it shows.
    QString text(QAccessible::Text t) const override {
        if (t != QAccessible::Name || !isValid())
            return {};
        return QString(Text().Text()).remove(QLatin1Char('&'));
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!isValid())
            return {};
        const QRect r = Text().Rect();
        return QRect(m_pHost->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::Role role() const override { return QAccessible::StaticText; }
    QAccessible::State state() const override {
        QAccessible::State state;
        state.readOnly = true;
        if (!m_pHost || !m_pHost->isVisible())
            state.invisible = true;
        if (m_pHost && !m_pHost->isEnabled())
            state.disabled = true;
        return state;
    }

private:
    const PaintedText& Text() const { return m_pHost->Controls().Texts()[m_index]; }

    QPointer<DialogHost> m_pHost;
    std::size_t m_index;
};

// The dialog: its widgets as the toolkit lists them, then its painted texts.
// Their interfaces are made on demand and go with the dialog's.
class DialogAccessible : public QAccessibleWidget {
public:
    explicit DialogAccessible(DialogHost* host) : QAccessibleWidget(host, QAccessible::Dialog) {}
    ~DialogAccessible() override {
        for (QAccessible::Id id : m_texts)
            if (id)
                QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override {
        return QAccessibleWidget::childCount() + static_cast<int>(Texts().size());
    }
    QAccessibleInterface* child(int index) const override {
        const int widgets = QAccessibleWidget::childCount();
        if (index < widgets)
            return QAccessibleWidget::child(index);
        return TextAt(static_cast<std::size_t>(index - widgets));
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (std::size_t i = 0; i < m_texts.size(); ++i)
            if (m_texts[i] && QAccessible::accessibleInterface(m_texts[i]) == child)
                return QAccessibleWidget::childCount() + static_cast<int>(i);
        return QAccessibleWidget::indexOfChild(child);
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        if (QAccessibleInterface* widget = QAccessibleWidget::childAt(x, y))
            return widget;
        for (std::size_t i = 0; i < Texts().size(); ++i)
            if (QAccessibleInterface* text = TextAt(i); text && text->rect().contains(x, y))
                return text;
        return nullptr;
    }

private:
    DialogHost* Host() const { return static_cast<DialogHost*>(widget()); }
    const std::vector<PaintedText>& Texts() const { return Host()->Controls().Texts(); }

    QAccessibleInterface* TextAt(std::size_t index) const {
        if (index >= Texts().size())
            return nullptr;
        if (m_texts.size() <= index)
            m_texts.resize(index + 1, 0);
        QAccessible::Id& id = m_texts[index];
        if (!id)
            id = QAccessible::registerAccessibleInterface(new PaintedTextAccessible(Host(), index));
        return QAccessible::accessibleInterface(id);
    }

    mutable std::vector<QAccessible::Id> m_texts;
};

QAccessibleInterface* Factory(const QString& className, QObject* object) {
    if (className == QLatin1String("platform_detail::DialogHost"))
        return new DialogAccessible(static_cast<DialogHost*>(object));
    return nullptr;
}

} // namespace

void InstallDialogAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(&Factory);
        return true;
    }();
    (void)installed;
}

} // namespace platform_detail
