// Names for controls from the labels beside them.
#include "common/widgets/accessible_names.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollBar>
#include <QTabBar>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QTimer>

#include <algorithm>
#include <climits>

namespace kyvo {
namespace {

// A name we gave from another widget's text: refreshed from it when the
// control is shown or focused, so it follows the language.
const char kNameSource[] = "kyvoAccessibleNameSource";

constexpr int kLeftReach = 160; // how far left of a control its label may stand
constexpr int kAboveReach = 24; // how far above

bool isLinkLabel(const QWidget *widget)
{
    const auto *label = qobject_cast<const QLabel *>(widget);
    if (!label) return false;
    if (label->property("controlLink").toBool()) return true; // a link widget of the programs
    return (label->textInteractionFlags() & Qt::LinksAccessibleByMouse) &&
           label->text().contains(QLatin1String("<a"), Qt::CaseInsensitive);
}

// The inner parts of composite controls have their owner's name.
bool isInnerPart(const QWidget *widget)
{
    for (const QWidget *p = widget->parentWidget(); p && !p->isWindow(); p = p->parentWidget()) {
        if (qobject_cast<const QComboBox *>(p) || qobject_cast<const QAbstractSpinBox *>(p) ||
            qobject_cast<const QAbstractItemView *>(p) || qobject_cast<const QTabBar *>(p))
            return true;
    }
    return false;
}

QString plainText(const QString &text)
{
    QString plain = Qt::mightBeRichText(text) ? QTextDocumentFragment::fromHtml(text).toPlainText() : text;
    plain.remove(QLatin1Char('&'));
    return plain.simplified();
}

bool hasBuddyLabel(const QWidget *widget)
{
    const QWidget *parent = widget->parentWidget();
    if (!parent) return false;
    for (const QObject *child : parent->children()) {
        const auto *label = qobject_cast<const QLabel *>(child);
        if (label && label->buddy() == widget && !plainText(label->text()).isEmpty()) return true;
    }
    return false;
}

// Buttons and check boxes say their own caption; so do link labels.
bool hasOwnText(const QWidget *widget)
{
    if (const auto *button = qobject_cast<const QAbstractButton *>(widget))
        return !plainText(button->text()).isEmpty();
    if (const auto *label = qobject_cast<const QLabel *>(widget)) return !plainText(label->text()).isEmpty();
    return qobject_cast<const QTabBar *>(widget) != nullptr;
}

const QGroupBox *groupOf(const QWidget *widget)
{
    for (const QWidget *p = widget->parentWidget(); p && !p->isWindow(); p = p->parentWidget())
        if (const auto *group = qobject_cast<const QGroupBox *>(p)) return group;
    return nullptr;
}

QRect rectIn(const QWidget *widget, const QWidget *window)
{
    return QRect(widget->mapTo(window, QPoint(0, 0)), widget->size());
}

// The label left of the control on its line, else the one just above it,
// within the same group.
QLabel *labelFor(QWidget *control, QWidget *window, const QList<QLabel *> &labels)
{
    const QRect c = rectIn(control, window);
    const QGroupBox *group = groupOf(control);
    QLabel *best = nullptr;
    int bestScore = INT_MAX;
    for (QLabel *label : labels) {
        if (groupOf(label) != group) continue;
        const QRect l = rectIn(label, window);
        int score = INT_MAX;
        const bool sameLine = (l.center().y() >= c.top() - 4 && l.center().y() <= c.bottom() + 4) ||
                              (c.center().y() >= l.top() && c.center().y() <= l.bottom());
        if (sameLine && l.right() <= c.left() + 4 && c.left() - l.right() <= kLeftReach)
            score = c.left() - l.right();
        else if (l.bottom() <= c.top() + 4 && c.top() - l.bottom() <= kAboveReach && l.left() < c.right() &&
                 l.right() > c.left())
            score = 1000 + c.top() - l.bottom();
        if (score < bestScore) {
            bestScore = score;
            best = label;
        }
    }
    return best;
}

QString sourceText(const QObject *source)
{
    if (const auto *label = qobject_cast<const QLabel *>(source)) return plainText(label->text());
    if (const auto *group = qobject_cast<const QGroupBox *>(source)) return plainText(group->title());
    if (const auto *window = qobject_cast<const QWidget *>(source)) return plainText(window->windowTitle());
    return {};
}

QString sourcesText(const QObjectList &sources)
{
    QStringList parts;
    for (const QObject *source : sources)
        if (const QString text = sourceText(source); !text.isEmpty()) parts << text;
    return parts.join(QLatin1Char(' '));
}

void refreshFallbackName(QWidget *control)
{
    const QVariant stored = control->property(kNameSource);
    if (!stored.isValid()) return;
    const QString text = sourcesText(stored.value<QObjectList>());
    if (!text.isEmpty() && text != control->accessibleName()) control->setAccessibleName(text);
}

void nameFrom(QWidget *control, const QObjectList &sources)
{
    control->setProperty(kNameSource, QVariant::fromValue(sources));
    control->setAccessibleName(sourcesText(sources));
}

// A cell of a table of edits: the column's heading above it and the row's
// label at the start of its line, at any distance within the group.
QObjectList cellLabels(QWidget *control, QWidget *window, const QList<QLabel *> &labels)
{
    const QRect c = rectIn(control, window);
    const QGroupBox *group = groupOf(control);
    QLabel *column = nullptr;
    QLabel *row = nullptr;
    for (QLabel *label : labels) {
        if (groupOf(label) != group) continue;
        const QRect l = rectIn(label, window);
        if (l.bottom() <= c.top() && l.left() < c.right() && l.right() > c.left() &&
            (!column || l.bottom() > rectIn(column, window).bottom()))
            column = label;
        if (l.right() <= c.left() && l.center().y() >= c.top() && l.center().y() <= c.bottom() &&
            (!row || l.right() > rectIn(row, window).right()))
            row = label;
    }
    QObjectList sources;
    if (row) sources << row;
    if (column) sources << column;
    return sources;
}

void nameOne(QWidget *control, QWidget *window, const QList<QLabel *> &labels)
{
    if (control->property(kNameSource).isValid()) return refreshFallbackName(control);
    if (!control->accessibleName().isEmpty() || hasOwnText(control) || hasBuddyLabel(control)) return;
    // Item views take no name from a buddy label: they get the label's text.
    const bool field = qobject_cast<QLineEdit *>(control) || qobject_cast<QComboBox *>(control) ||
                       qobject_cast<QAbstractSpinBox *>(control);
    if (QLabel *label = labelFor(control, window, labels)) {
        if (field && label->parentWidget() == control->parentWidget() && !label->buddy())
            label->setBuddy(control); // the name follows the label from now on
        else
            nameFrom(control, {label});
        return;
    }
    if (const QObjectList cell = field ? cellLabels(control, window, labels) : QObjectList(); !cell.isEmpty())
        return nameFrom(control, cell);
    if (const QGroupBox *group = groupOf(control); group && !plainText(group->title()).isEmpty())
        return nameFrom(control, {const_cast<QGroupBox *>(group)});
    QString text = control->toolTip();
    if (text.isEmpty())
        if (const auto *edit = qobject_cast<const QLineEdit *>(control)) text = edit->placeholderText();
    if (!text.isEmpty()) return control->setAccessibleName(plainText(text));
    // A list or text view that is the window's content: the window's title says what it holds.
    if (!plainText(window->windowTitle()).isEmpty()) nameFrom(control, {window});
}

bool takesTab(const QWidget *widget, const QWidget *window)
{
    return !widget->isWindow() && widget->isVisibleTo(window) && widget->isEnabled() &&
           !widget->focusProxy() && (widget->focusPolicy() & Qt::TabFocus) && !isInnerPart(widget);
}

// Children in reading order: lines from top to bottom (a child belongs to the
// line of the first child whose middle is within kLine pixels of its own),
// each line from left to right.
QList<QWidget *> inReadingOrder(QList<QWidget *> children)
{
    constexpr int kLine = 10;
    std::stable_sort(children.begin(), children.end(), [](const QWidget *a, const QWidget *b) {
        return a->geometry().center().y() < b->geometry().center().y();
    });
    QList<QWidget *> ordered;
    for (qsizetype first = 0; first < children.size();) {
        qsizetype end = first + 1;
        const int line = children[first]->geometry().center().y();
        while (end < children.size() && children[end]->geometry().center().y() - line <= kLine)
            ++end;
        QList<QWidget *> row = children.mid(first, end - first);
        std::stable_sort(row.begin(), row.end(), [](const QWidget *a, const QWidget *b) {
            return a->geometry().x() < b->geometry().x();
        });
        ordered << row;
        first = end;
    }
    return ordered;
}

void collectTabStops(QWidget *parent, QWidget *window, QList<QWidget *> &stops)
{
    QList<QWidget *> children;
    for (QObject *child : parent->children()) {
        auto *widget = qobject_cast<QWidget *>(child);
        if (widget && !widget->isWindow() && widget->isVisibleTo(window)) children << widget;
    }
    for (QWidget *child : inReadingOrder(children)) {
        if (takesTab(child, window)) stops << child;
        if (!isInnerPart(child) && !qobject_cast<QComboBox *>(child) &&
            !qobject_cast<QAbstractSpinBox *>(child))
            collectTabStops(child, window, stops);
    }
}

class Pending : public QObject
{
public:
    using QObject::QObject;
    void schedule(QWidget *window)
    {
        for (const QPointer<QWidget> &w : m_windows)
            if (w == window) return;
        m_windows << window;
        if (m_windows.size() == 1)
            QTimer::singleShot(0, this, [this] {
                const QList<QPointer<QWidget>> windows = std::exchange(m_windows, {});
                for (const QPointer<QWidget> &w : windows)
                    if (w && w->isVisible()) {
                        nameControls(w);
                        orderTabChain(w);
                    }
            });
    }

private:
    QList<QPointer<QWidget>> m_windows;
};

} // namespace

bool isInteractiveControl(const QWidget *widget)
{
    if (isInnerPart(widget)) return false;
    if (qobject_cast<const QScrollBar *>(widget) || qobject_cast<const QHeaderView *>(widget)) return false;
    return qobject_cast<const QAbstractButton *>(widget) || qobject_cast<const QLineEdit *>(widget) ||
           qobject_cast<const QComboBox *>(widget) || qobject_cast<const QAbstractSpinBox *>(widget) ||
           qobject_cast<const QAbstractItemView *>(widget) || qobject_cast<const QTextEdit *>(widget) ||
           qobject_cast<const QPlainTextEdit *>(widget) || qobject_cast<const QAbstractSlider *>(widget) ||
           qobject_cast<const QTabBar *>(widget) || isLinkLabel(widget);
}

QString accessibleNameOf(QWidget *widget)
{
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(QAccessible::Name).trimmed() : QString();
}

void nameControls(QWidget *window)
{
    QList<QLabel *> labels;
    for (QLabel *label : window->findChildren<QLabel *>())
        if (label->isVisibleTo(window) && !isLinkLabel(label) && !plainText(label->text()).isEmpty())
            labels << label;
    for (QWidget *widget : window->findChildren<QWidget *>())
        if (!widget->isWindow() && widget->isVisibleTo(window) && isInteractiveControl(widget))
            nameOne(widget, window, labels);
}

void orderTabChain(QWidget *window)
{
    QList<QWidget *> stops;
    collectTabStops(window, window, stops);
    for (qsizetype i = 1; i < stops.size(); ++i)
        QWidget::setTabOrder(stops[i - 1], stops[i]);
}

void AccessibleNames::install()
{
    static AccessibleNames *names = nullptr;
    if (names) return;
    names = new AccessibleNames(qApp);
    qApp->installEventFilter(names);
}

bool AccessibleNames::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Show && event->type() != QEvent::FocusIn) return false;
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget) return false;
    if (event->type() == QEvent::FocusIn) {
        refreshFallbackName(widget);
    } else if (widget->isWindow()) {
        nameControls(widget);
        orderTabChain(widget);
    } else if (widget->window()->isVisible()) {
        // A panel shown later: one pass over its window once the events settle.
        static Pending *pending = new Pending(qApp);
        pending->schedule(widget->window());
    }
    return false;
}

} // namespace kyvo
