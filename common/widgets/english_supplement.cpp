// The supplementary English of a window.
#include "common/widgets/english_supplement.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QVariant>
#include <QWidget>

namespace kyvo {

namespace {

constexpr char kChineseKept[] = "kyvoChineseText";
constexpr char kEnglishShown[] = "kyvoEnglishText";

// One text of an object, read and written through two functions.
struct Text
{
    std::function<QString()> get;
    std::function<void(const QString &)> set;
};

// The object remembers, per text slot, the Chinese it had and the English it got.
void supplement(QObject *owner, const QByteArray &slot, const Text &text, const EnglishLookup &lookup,
                bool english)
{
    const QByteArray kept = kChineseKept + slot;
    const QByteArray shown = kEnglishShown + slot;
    const QString current = text.get();
    if (english) {
        if (!containsChinese(current)) return;
        QString translated = lookup(current);
        if (translated.isEmpty()) translated = lookup(current.trimmed());
        if (translated.isEmpty()) return;
        owner->setProperty(kept.constData(), current);
        owner->setProperty(shown.constData(), translated);
        text.set(translated);
        return;
    }
    const QVariant chinese = owner->property(kept.constData());
    if (!chinese.isValid()) return;
    if (current == owner->property(shown.constData()).toString()) text.set(chinese.toString());
    owner->setProperty(kept.constData(), QVariant());
    owner->setProperty(shown.constData(), QVariant());
}

void supplementWidget(QWidget *w, const EnglishLookup &lookup, bool english)
{
    const auto one = [&](const QByteArray &slot, const Text &text) {
        supplement(w, slot, text, lookup, english);
    };
    one("tip", {[w] { return w->toolTip(); }, [w](const QString &t) { w->setToolTip(t); }});
    if (auto *label = qobject_cast<QLabel *>(w)) {
        if (label->textFormat() != Qt::RichText && !Qt::mightBeRichText(label->text()))
            one("", {[label] { return label->text(); }, [label](const QString &t) { label->setText(t); }});
    } else if (auto *button = qobject_cast<QAbstractButton *>(w)) {
        one("", {[button] { return button->text(); }, [button](const QString &t) { button->setText(t); }});
    } else if (auto *group = qobject_cast<QGroupBox *>(w)) {
        one("", {[group] { return group->title(); }, [group](const QString &t) { group->setTitle(t); }});
    } else if (auto *combo = qobject_cast<QComboBox *>(w); combo && !combo->isEditable()) {
        for (int i = 0; i < combo->count(); ++i)
            one(QByteArray::number(i), {[combo, i] { return combo->itemText(i); },
                                        [combo, i](const QString &t) { combo->setItemText(i, t); }});
    }
}

} // namespace

bool containsChinese(const QString &text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if ((u >= 0x4E00 && u <= 0x9FFF) || (u >= 0x3400 && u <= 0x4DBF) || (u >= 0x3000 && u <= 0x303F) ||
            (u >= 0xFF00 && u <= 0xFF60))
            return true;
    }
    return false;
}

void applyEnglishSupplement(QWidget *root, const EnglishLookup &lookup, bool english)
{
    supplement(
        root, "title",
        {[root] { return root->windowTitle(); }, [root](const QString &t) { root->setWindowTitle(t); }},
        lookup, english);
    supplementWidget(root, lookup, english);
    for (QWidget *w : root->findChildren<QWidget *>()) {
        if (w->isWindow()) continue;
        supplementWidget(w, lookup, english);
    }
    for (QAction *action : root->findChildren<QAction *>())
        supplement(action, "",
                   {[action] { return action->text(); }, [action](const QString &t) { action->setText(t); }},
                   lookup, english);
}

} // namespace kyvo
