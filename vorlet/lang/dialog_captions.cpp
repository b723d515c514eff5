// Finding controls by their number and setting their captions.
#include "vorlet/lang/dialog_captions.h"

#include "vorlet/lang/english_supplement.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

namespace vorlet {

namespace {

bool startsOwnScope(const QWidget *widget)
{
    return widget->isWindow() || widget->property(kDialogIdProperty).isValid();
}

// Control number -> first widget with it, in depth-first child order.
void collectControls(const QWidget *parent, QHash<int, QWidget *> &controls)
{
    for (QObject *child : parent->children()) {
        auto *widget = qobject_cast<QWidget *>(child);
        if (!widget || startsOwnScope(widget)) continue;
        bool ok = false;
        const int control = widget->property(kControlIdProperty).toInt(&ok);
        if (ok && !controls.contains(control)) controls.insert(control, widget);
        collectControls(widget, controls);
    }
}

void setLabelCaption(QLabel *label, const QString &caption)
{
    // The shared link widget draws its caption as a link itself.
    if (label->property(kControlLinkProperty).toBool() && !label->inherits("vorlet::LinkLabel")) {
        label->setTextFormat(Qt::RichText);
        label->setText(QStringLiteral("<a href=\"#\">%1</a>").arg(caption.toHtmlEscaped()));
        return;
    }
    // Table texts are never markup: "更多>>" must not be read as a tag.
    label->setTextFormat(Qt::PlainText);
    label->setText(caption);
}

} // namespace

void setControlId(QWidget *widget, int control)
{
    widget->setProperty(kControlIdProperty, control);
}

QWidget *findControl(QWidget *dialogRoot, int control)
{
    QHash<int, QWidget *> controls;
    collectControls(dialogRoot, controls);
    return controls.value(control, nullptr);
}

bool setControlCaption(QWidget *control, const QString &caption)
{
    if (auto *button = qobject_cast<QAbstractButton *>(control))
        button->setText(caption);
    else if (auto *group = qobject_cast<QGroupBox *>(control))
        group->setTitle(caption);
    else if (auto *label = qobject_cast<QLabel *>(control))
        setLabelCaption(label, caption);
    else if (auto *edit = qobject_cast<QLineEdit *>(control))
        edit->setText(caption);
    else
        return false;
    return true;
}

void applyDialogTable(QWidget *dialogRoot, const DialogTable &table)
{
    dialogRoot->setProperty(kDialogIdProperty, table.dialog);
    QHash<int, QWidget *> controls;
    collectControls(dialogRoot, controls);
    for (const PreparedRow &row : table.rows) {
        if (row.control == 0 || !row.current) continue;
        const QString caption = QString::fromUtf8(row.current);
        if (row.control == table.dialog)
            dialogRoot->setWindowTitle(caption);
        else if (QWidget *control = controls.value(row.control, nullptr))
            setControlCaption(control, caption);
    }
}

void applyDialogTable(QWidget *dialogRoot, int dialog, const Language &language)
{
    applyDialogTable(dialogRoot, language.prepareDialogTable(dialog));
    applyEnglishSupplement(dialogRoot, language.isEnglish());
}

} // namespace vorlet
