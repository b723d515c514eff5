// Captions of a dialog's controls from its language sub-table.
//
// Control numbers reach our widgets by one convention:
// - every widget built for a design control carries the dynamic property
//   "controlId" (int, the control number), set with setControlId();
// - a dialog root or an embedded panel carries "dialogId" (int); applying a
//   table marks its root so. A walk from an outer root does not enter such a
//   panel, nor a separate window, so the main window's 1006 and the MQTT
//   panel's 1006 stay apart;
// - a link text is a button or a QLabel that also carries "controlLink"
//   (true); its caption is shown as a link.
#pragma once

#include "vorlet/lang/language.h"

#include <QString>

class QWidget;

namespace vorlet {

inline constexpr char kControlIdProperty[] = "controlId";
inline constexpr char kDialogIdProperty[] = "dialogId";
inline constexpr char kControlLinkProperty[] = "controlLink";

void setControlId(QWidget *widget, int control);

// The first widget with this control number inside the root's own scope.
QWidget *findControl(QWidget *dialogRoot, int control);

// By the widget's kind: a button's text, a group box's title, a label's text
// (plain, or a link for a link label), a line edit's text. False for a kind
// without a caption.
bool setControlCaption(QWidget *control, const QString &caption);

// ApplyDialogTable: every row with a control number and a current text sets
// that control's caption, in row order, so a control named by two rows shows
// the later one. A row whose control number is the dialog's own sets the
// root's window title. Rows whose control the dialog lacks are skipped.
void applyDialogTable(QWidget *dialogRoot, const DialogTable &table);

// PrepareDialogTable and ApplyDialogTable together, as each secondary dialog
// does at the end of its set-up.
void applyDialogTable(QWidget *dialogRoot, int dialog, const Language &language);

} // namespace vorlet
